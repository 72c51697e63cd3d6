#include "editor/setup_sheet.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/text_format.h"
#include "config/app_settings.h"
#include "config/config_difference.h"
#include "config/file_store.h"
#include "editor/control_ids.h"
#include "editor/curve_graph_model.h"
#include "editor/editor_texts.h"
#include "editor/field_setup.h"
#include "editor/setting_text.h"
#include "editor/sheet_texts.h"

namespace zentrik {

namespace {

namespace texts = sheet_texts;
namespace form = editor_texts;

// Room around the graph in the drawing: the percent labels on the left, the x values and the
// axis texts below.
constexpr int kMarginLeft = 44;
constexpr int kMarginTop = 6;
constexpr int kMarginRight = 14;
constexpr int kMarginBottom = 40;

// A4 and Letter alike: the page's margins leave at least 186 x 255 mm, and a stage's page
// is laid out to stay well inside that.
constexpr char kStyle[] = R"(
@page { margin: 12mm; }
* { box-sizing: border-box; }
html { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
body { margin: 0; color: #000; background: #fff;
  font: 10pt/1.3 "Segoe UI", "DejaVu Sans", Arial, sans-serif; }
.page { max-width: 186mm; margin: 0 auto; break-inside: avoid; page-break-inside: avoid;
  break-after: page; page-break-after: always; }
.page:last-child { break-after: auto; page-break-after: auto; }
@media screen {
  body { background: #ddd; }
  .page { max-width: 210mm; margin: 6mm auto; padding: 10mm 12mm; background: #fff;
    box-shadow: 0 1px 4px rgba(0, 0, 0, 0.35); }
}
header { border-bottom: 2px solid #000; padding-bottom: 2mm; margin-bottom: 4mm; }
h1 { font-size: 15pt; margin: 0 0 1.5mm; }
h2 { font-size: 13pt; margin: 0 0 2mm; }
dl { display: flex; flex-wrap: wrap; gap: 0.5mm 7mm; margin: 0; }
dl div { display: flex; gap: 2mm; }
dt { font-weight: bold; }
dd { margin: 0; word-break: break-all; }
.settings { display: flex; flex-wrap: wrap; gap: 4mm 6mm; align-items: flex-start;
  margin-bottom: 4mm; }
.settings table { flex: 1 1 70mm; }
table { border-collapse: collapse; }
caption { text-align: left; font-weight: bold; padding-bottom: 1mm; }
th, td { border: 1px solid #999; padding: 0.7mm 2mm; text-align: left; }
th { font-weight: normal; background: #f0f0f0; }
svg { display: block; width: 100%; height: auto; }
svg text { font: 11px "Segoe UI", "DejaVu Sans", Arial, sans-serif; fill: #000; }
table.points { width: 100%; table-layout: fixed; margin-top: 2mm; }
table.points th, table.points td { padding: 0.5mm 0.5mm; text-align: center; font-size: 9pt; }
table.points th { width: 15%; }
)";

// The text with HTML's special characters as references, for element content and attribute
// values alike.
std::string Escape(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
                break;
        }
    }
    return escaped;
}

// An element with escaped text content.
std::string Element(std::string_view tag, std::string_view text) {
    std::string html(1, '<');
    html.append(tag).append(">").append(Escape(text)).append("</").append(tag).append(">");
    return html;
}

std::string Number(double value) {
    return FormatFixed(value, 2);
}

// The last part of a path, either separator.
std::string_view FileName(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The facts of the header: the date, the file, the controller's serial number and firmware
// version (in the Controller Info box's words).
std::string Facts(const SheetContext& context) {
    std::vector<std::pair<std::string, std::string>> facts{{texts::kDateLabel, context.date}};
    if (!context.configFile.empty()) {
        facts.emplace_back(texts::kConfigFileLabel, std::string(FileName(context.configFile)));
    }
    if (context.controller) {
        const std::string info = ControllerInfoText(*context.controller);
        std::size_t begin = 0;
        while (begin < info.size()) {
            std::size_t end = info.find('\n', begin);
            end = end == std::string::npos ? info.size() : end;
            const std::string line = info.substr(begin, end - begin);
            const std::size_t colon = line.find(':');
            facts.emplace_back(line.substr(0, colon),
                               colon == std::string::npos ? "" : line.substr(colon + 1));
            begin = end + 1;
        }
    }
    std::string html = "<dl>";
    for (const auto& [label, value] : facts) {
        html += "<div>" + Element("dt", label) + Element("dd", value) + "</div>";
    }
    return html + "</dl>";
}

// A table of settings, one row each: the setting's caption and its value.
std::string SettingsTable(const ConfigDocument& doc, std::string_view caption, int stage) {
    const bool bar = MAP_In_bar(doc.record);
    std::string html = "<table>" + Element("caption", caption) + "<tbody>";
    for (const SettingRef& ref : AllSettings()) {
        if (ref.stage != stage || ref.setting == ConfigSetting::Percent) {
            continue;
        }
        html += "<tr>" + Element("th", SettingCaption(ref)) +
                Element("td", SettingValue(ref, doc, bar, true)) + "</tr>";
    }
    return html + "</tbody></table>";
}

// SVG text at (x, y) with its anchor ("start", "middle", "end").
std::string Text(double x, double y, std::string_view anchor, std::string_view text) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" +
           std::string(anchor) + "\">" + Escape(text) + "</text>";
}

std::string Line(double x1, double y1, double x2, double y2) {
    return "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) +
           "\" y2=\"" + Number(y2) + "\"/>";
}

std::string PointList(const std::vector<GraphPoint>& points) {
    std::string list;
    for (const GraphPoint& p : points) {
        if (!list.empty()) {
            list += ' ';
        }
        list.append(Number(p.x)).append(",").append(Number(p.y));
    }
    return list;
}

// The x axis's name and the formats of its end values and of its points' values.
struct Axis {
    const char* name;
    const char* endFormat;
};

Axis StageAxis(const ConfigDocument& doc, int stage) {
    if (TIME_Based(doc.record.stage[stage])) {
        return {form::kTimeAxis, form::kSecondsFormat};
    }
    return MAP_In_bar(doc.record) ? Axis{form::kMapAxisBar, form::kBarFormat}
                                  : Axis{form::kMapAxisPsi, form::kPsiFormat};
}

// The stage's curve as the form's graph draws it: plot area with its shadow, border and grid,
// the filled area under the curve, the line and the markers, all at the positions the graph's
// geometry gives; the percent scale on the left and the x values and axis texts below.
std::string CurveDrawing(const CurveGraphModel& graph, const Axis& axis, int stage) {
    const PlotRect& plot = graph.Plot();
    const std::string id = "s" + std::to_string(stage + 1);
    const int width = kMarginLeft + kSheetGraphWidth + kMarginRight;
    const int height = kMarginTop + kSheetGraphHeight + kMarginBottom;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + std::to_string(height) + "\" role=\"img\">" +
                      Element("title", form::kGraphName);
    svg += "<defs><linearGradient id=\"plot-" + id +
           "\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\"><stop offset=\"0\" stop-color=\"#f0f0f0\"/>"
           "<stop offset=\"1\" stop-color=\"#b4b4b4\"/></linearGradient>"
           "<radialGradient id=\"marker-" +
           id +
           "\" fx=\"0.25\" fy=\"0.25\"><stop offset=\"0\" stop-color=\"#f0f0f0\"/>"
           "<stop offset=\"1\" stop-color=\"#5abedc\"/></radialGradient></defs>";
    svg += "<g transform=\"translate(" + std::to_string(kMarginLeft) + " " +
           std::to_string(kMarginTop) + ")\">";

    const std::string rect = "x=\"" + Number(plot.left) + "\" y=\"" + Number(plot.top) +
                             "\" width=\"" + Number(plot.width) + "\" height=\"" +
                             Number(plot.height) + "\"";
    svg += "<rect " + rect + " transform=\"translate(4 4)\" fill=\"#000\" fill-opacity=\"0.3\"/>";
    svg += "<rect " + rect + " fill=\"url(#plot-" + id + ")\" stroke=\"#000\"/>";
    svg += "<g class=\"grid\" stroke=\"#969696\" stroke-opacity=\"0.86\">";
    for (const double x : graph.VerticalGridX()) {
        svg += Line(x, plot.top, x, plot.Bottom());
    }
    for (const double y : graph.HorizontalGridY()) {
        svg += Line(plot.left, y, plot.Right(), y);
    }
    svg += "</g>";

    // The area and the line: up from the bottom to the first point, through all points, on to
    // the right edge at the last point's height (and, for the area only, down and back).
    const auto& points = graph.Points();
    std::vector<GraphPoint> outline{{points.front().x, plot.Bottom()}};
    outline.insert(outline.end(), points.begin(), points.end());
    outline.push_back({plot.Right(), points.back().y});
    std::vector<GraphPoint> area = outline;
    area.push_back({plot.Right(), plot.Bottom()});
    svg += "<polygon class=\"area\" points=\"" + PointList(area) +
           "\" fill=\"#64dc64\" fill-opacity=\"0.75\" fill-rule=\"evenodd\"/>";
    svg += "<polyline class=\"line\" points=\"" + PointList(outline) +
           "\" fill=\"none\" stroke=\"#000\"/>";
    svg += "<g class=\"markers\" fill=\"url(#marker-" + id + ")\" stroke=\"#000\">";
    const double radius = CurveGraphModel::kMarkerSize / 2.0;
    for (const GraphPoint& p : points) {
        svg += "<circle cx=\"" + Number(p.x) + "\" cy=\"" + Number(p.y) + "\" r=\"" +
               Number(radius) + "\"/>";
    }
    svg += "</g>";

    // The percent scale: 0, 50 and 100 % beside the plot.
    const char* percentFormat = FindNumericField(control_ids::kStart)->unitFormat;
    for (const int percent : {0, 50, 100}) {
        const double y = plot.Bottom() - plot.height * percent / 100.0;
        svg += Text(-6, y + 4, "end", FormatNumbers(percentFormat, {static_cast<double>(percent)}));
    }
    // Below the plot: each grid line's value, then the axis's ends and its name, as the form
    // writes them.
    const std::vector<double> values = VerticalGridValues(graph.XStart(), graph.XEnd());
    const std::vector<double> xs = graph.VerticalGridX();
    for (std::size_t i = 0; i < values.size() && i < xs.size(); ++i) {
        svg += Text(xs[i], plot.Bottom() + 16, "middle",
                    FormatNumbers(form::kOneDecimal, {values[i]}));
    }
    const double labels = plot.Bottom() + 34;
    svg += Text(plot.left, labels, "start", FormatNumbers(axis.endFormat, {graph.XStart()}));
    svg += Text(plot.left + plot.width / 2, labels, "middle", axis.name);
    svg += Text(plot.Right(), labels, "end", FormatNumbers(axis.endFormat, {graph.XEnd()}));
    return svg + "</g></svg>";
}

// The curve's points in two tables of ten columns: number, x value and percent.
std::string PointTables(const CurveGraphModel& graph, const Axis& axis) {
    const char* percentFormat = FindNumericField(control_ids::kStart)->unitFormat;
    std::string html;
    for (int first = 0; first < kPercentPoints; first += kPercentPoints / 2) {
        std::string numbers = "<tr>" + Element("th", texts::kPointLabel);
        std::string xValues = "<tr>" + Element("th", axis.name);
        std::string percents = "<tr>" + Element("th", form::kPercentAxis);
        for (int i = first; i < first + kPercentPoints / 2; ++i) {
            numbers += Element("td", std::to_string(i));
            xValues += Element("td", FormatNumbers(form::kOneDecimal, {graph.PointXValue(i)}));
            percents += Element(
                "td", FormatNumbers(
                          percentFormat,
                          {static_cast<double>(graph.GetPercents()[static_cast<std::size_t>(i)])}));
        }
        html += "<table class=\"points\"><tbody>" + numbers + "</tr>" + xValues + "</tr>" +
                percents + "</tr></tbody></table>";
    }
    return html;
}

std::string StagePage(const ConfigDocument& doc, const SheetContext& context, int stage) {
    const char* stageName = stage == 0 ? form::kStage1 : form::kStage2;
    std::string html = "<section class=\"page\" id=\"stage" + std::to_string(stage + 1) + "\">";
    html += "<header>" + Element("h1", texts::kSheetTitle) + Facts(context) + "</header>";
    html += Element("h2", stageName);
    html += "<div class=\"settings\">" + SettingsTable(doc, texts::kBothStages, -1) +
            SettingsTable(doc, stageName, stage) + "</div>";

    // The graph as the form sets it up for the stage, at the drawing's size.
    const AppSettings settings;
    CurveGraphModel graph(settings);
    graph.Resize(kSheetGraphWidth, kSheetGraphHeight);
    const CurveSpan span = StageCurveSpan(doc, stage);
    Curve curve;
    std::copy(std::begin(doc.record.stage[stage].Percent),
              std::end(doc.record.stage[stage].Percent), curve.begin());
    graph.SetRange(span.start, span.end);
    graph.SetCurve(span.start, span.end, curve);
    const Axis axis = StageAxis(doc, stage);
    html += CurveDrawing(graph, axis, stage) + PointTables(graph, axis);
    return html + "</section>";
}

}  // namespace

std::string SetupSheetHtml(const ConfigDocument& doc, const SheetContext& context) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += Element("title", std::string(texts::kSheetTitle) + ", " + context.date);
    html += "\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n";
    for (int stage = 0; stage < 2; ++stage) {
        html += StagePage(doc, context, stage) + "\n";
    }
    return html + "</body>\n</html>\n";
}

bool WriteSetupSheet(const std::string& path, const ConfigDocument& doc,
                     const SheetContext& context) {
    return ReplaceFileBytes(path, SetupSheetHtml(doc, context), false);
}

}  // namespace zentrik
