#include "editor/setup_sheet.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "config/app_settings.h"
#include "editor/curve_graph_model.h"
#include "support/sample_config.h"

namespace zentrik {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// The numbers of every `class="line"` polyline, one list per drawing.
std::vector<std::vector<double>> LinePoints(const std::string& html) {
    std::vector<std::vector<double>> lines;
    const std::regex line("class=\"line\" points=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), line), end; it != end; ++it) {
        std::vector<double> numbers;
        const std::string list = (*it)[1];
        const std::regex number("-?[0-9.]+");
        for (std::sregex_iterator n(list.begin(), list.end(), number); n != end; ++n) {
            numbers.push_back(std::strtod(n->str().c_str(), nullptr));
        }
        lines.push_back(numbers);
    }
    return lines;
}

TEST(SetupSheet, EverySettingInTheFormsWordsAndEachCurveWhereTheGraphDrawsIt) {
    const ConfigDocument doc = test::SampleConfigDocument();
    const std::string html =
        SetupSheetHtml(doc, {"2024-05-01", "/tunes/<race> & \"wet\" 'B'.zcfg", std::nullopt});

    // A page per stage, each with both stages' settings and its own, in the form's words,
    // formats and units; a pressure halfway between tenths rounds as the form rounds it.
    EXPECT_EQ(Count(html, "<section class=\"page\""), 2u);
    EXPECT_EQ(Count(html, "break-after: page"), 1u);
    for (const char* row :
         {"<th>Input #2</th><td>Activate with Ground</td>", "<th>RPM Present</th><td>on</td>",
          "<th>Multiplier</th><td>÷4</td>", "<th>MAP Units</th><td>psi</td>",
          "<th>Input_Type1</th><td>2</td>", "<th>Present</th><td>on</td>"}) {
        EXPECT_EQ(Count(html, row), 2u) << row;
    }
    for (const char* row :
         {"<th>Type</th><td>MAP-Based</td>", "<th>Enable First-Gear Lockout</th><td>on</td>",
          "<th>Input #2 Will</th><td>Enable</td>", "<th>RPM Cutoff</th><td>6500 RPM</td>",
          "<th>Solenoid Frequency</th><td>12 Hz</td>", "<th>MAP Cutoff</th><td>25.8 psi</td>",
          "<th>RPM Trigger</th><td>2500 RPM</td>", "<th>MAP Trigger</th><td>1.5 psi</td>",
          "<th>MAP End</th><td>10.3 psi</td>", "<th>Delay</th><td>0.5 sec</td>",
          "<th>Ramp Time</th><td>8.0 sec</td>", "<th>Trig_Sx1_Config</th><td>1</td>",
          "<th>Type</th><td>Time-Based</td>", "<th>Input #2 Will</th><td>Disable</td>",
          "<th>Ramp Time</th><td>8.1 sec</td>"}) {
        EXPECT_EQ(Count(html, row), 1u) << row;
    }
    // The points with their x values, under the axis's name: stage 1 over pressure, stage 2
    // over time (0.6 s to 8.7 s).
    EXPECT_NE(html.find("<th>MAP [PSI]</th><td>1.5</td><td>2.0</td>"), std::string::npos);
    EXPECT_NE(html.find("<th>Time</th><td>0.6</td><td>1.0</td>"), std::string::npos);
    EXPECT_NE(html.find("<td>8.7</td></tr><tr><th>%</th><td>53%</td>"), std::string::npos);

    // Only the file's name is given, escaped as every text is; nothing comes from outside.
    EXPECT_NE(html.find("<dd>&lt;race&gt; &amp; &quot;wet&quot; &#39;B&#39;.zcfg</dd>"),
              std::string::npos);
    EXPECT_EQ(html.find("<race>"), std::string::npos);
    EXPECT_EQ(html.find("tunes"), std::string::npos);
    for (const char* outside : {"src=", "href=", "<link", "<script", "@import"}) {
        EXPECT_EQ(html.find(outside), std::string::npos) << outside;
    }
    EXPECT_EQ(Count(html, "url("), Count(html, "url(#"));
    EXPECT_EQ(html.find("Serial Number"), std::string::npos);

    // The line runs up from the plot's bottom to point 0, through the 20 points and on to
    // the right edge, where the form's graph at the drawing's size puts them.
    const std::vector<std::vector<double>> lines = LinePoints(html);
    ASSERT_EQ(lines.size(), 2u);
    const AppSettings settings;
    for (int stage = 0; stage < 2; ++stage) {
        CurveGraphModel graph(settings);
        graph.Resize(kSheetGraphWidth, kSheetGraphHeight);
        const CurveSpan span = StageCurveSpan(doc, stage);
        Curve curve;
        std::copy_n(doc.record.stage[stage].Percent, kPercentPoints, curve.begin());
        graph.SetCurve(span.start, span.end, curve);
        std::vector<double> expected{graph.Points().front().x, graph.Plot().Bottom()};
        for (const GraphPoint& p : graph.Points()) {
            expected.insert(expected.end(), {p.x, p.y});
        }
        expected.insert(expected.end(), {graph.Plot().Right(), graph.Points().back().y});
        ASSERT_EQ(lines[stage].size(), expected.size()) << stage;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_NEAR(lines[stage][i], expected[i], 0.006) << stage << " " << i;
        }
    }

    // The controller, when it is known, in the Controller Info box's words.
    const std::string withController = SetupSheetHtml(
        doc, {"2024-05-01", "", ControllerIdentity{{0x03, 0x0A, 0, 0, 0, 0, 0xBE, 0xEF}, 0x0102}});
    EXPECT_EQ(Count(withController, "<dt>Serial Number</dt><dd>030A00000000BEEF</dd>"), 2u);
    EXPECT_EQ(Count(withController, "<dt>Firmware Version</dt><dd>0102</dd>"), 2u);
    EXPECT_EQ(withController.find("Configuration File"), std::string::npos);
}

}  // namespace
}  // namespace zentrik
