// The curve tools on the form: the point commands on the selection, the table's typed
// percents, copying to the other stage, and how their steps of history survive stage changes,
// a change of unit and a new document.
#include <cstring>

#include "editor/control_ids.h"
#include "form_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

class CurveToolsTest : public FormTest {
  protected:
    CurveTools& Tools() { return m_form->Tools(); }
    void Select(std::initializer_list<int> points) {
        PointSet rows;
        for (const int p : points) {
            rows.set(static_cast<std::size_t>(p));
        }
        m_form->OnTableSelected(rows);
    }
};

TEST(CurveToolsMath, InterpolationRoundsHalvesAwayFromZeroAndScalingKeepsWholePoints) {
    Curve c{};
    c[4] = 10;
    c[6] = 13;  // 11.5 between them
    c[9] = 99;
    InterpolatePoints(c, 6, 4);
    EXPECT_EQ(c[5], 12);
    std::swap(c[4], c[6]);
    InterpolatePoints(c, 4, 6);
    EXPECT_EQ(c[5], 11);  // 13 - 1.5 rounds to 13 - 2
    EXPECT_EQ(c[9], 99);  // outside the span
    Curve line{};
    line[19] = 100;
    Curve reference = line;
    InterpolatePoints(line, 0, 19);
    ResetToStraightLine(reference);
    EXPECT_EQ(line, reference);

    EXPECT_EQ(ScaledPercent(20, 115), 23);  // 22.999... in doubles
    EXPECT_EQ(ScaledPercent(55, 110), 60);  // 60.5 truncated
    EXPECT_EQ(ScaledPercent(90, 200), 100);
    EXPECT_EQ(ShiftedPercent(50, -2.5), 47);
    EXPECT_EQ(ShiftedPercent(3, -10), 0);
    EXPECT_EQ(ParseAmount("+12,5", kAddAmountRange), 12.5);
    EXPECT_EQ(ParseAmount("-250", kAddAmountRange), -100.0);
    EXPECT_FALSE(ParseAmount("ten", kScaleFactorRange).has_value());
}

TEST_F(CurveToolsTest, PointCommandsActOnTheSelectionOrOnEveryPointAsOneStepEach) {
    Build();
    const Curve before = CurveOf(0);  // 0, 5, 10, ... 95
    Tools().ScalePoints(200);
    Curve doubled = before;
    for (auto& p : doubled) {
        p = static_cast<std::uint8_t>(std::min(100, p * 2));
    }
    EXPECT_EQ(CurveOf(0), doubled);
    EXPECT_EQ(Graph().GetPercents(), doubled);
    EXPECT_EQ(Shown(kFinal), "100%");
    Click(kUndo);
    EXPECT_EQ(CurveOf(0), before);
    EXPECT_FALSE(m_form->UndoAvailable());

    Select({3, 4, 12});
    Tools().AddToPoints(-12);
    Curve expected = before;
    expected[3] = 3;
    expected[4] = 8;
    expected[12] = 48;
    EXPECT_EQ(CurveOf(0), expected);
    // Between the first and the last selected point, whether selected or not.
    RecordStage(0).Percent[3] = 0;
    Tools().InterpolatePoints();
    EXPECT_EQ(CurveOf(0)[3], 0);
    EXPECT_EQ(CurveOf(0)[12], 48);
    EXPECT_EQ(CurveOf(0)[7], 21);  // 0 + 48 x 4 / 9 = 21.3
    EXPECT_EQ(m_form->Tools().History().UndoCount(), 2u);
    // A command that changes nothing leaves no step to undo.
    Tools().ScalePoints(100);
    EXPECT_EQ(m_form->Tools().History().UndoCount(), 2u);

    // A percent typed for a point: clamped, truncated, one step; not a number changes nothing.
    EXPECT_TRUE(m_form->OnPointTyped(0, "150"));
    EXPECT_EQ(Shown(kStart), "100%");
    EXPECT_TRUE(m_form->OnPointTyped(19, "7.9"));
    EXPECT_EQ(CurveOf(0)[19], 7);
    EXPECT_FALSE(m_form->OnPointTyped(5, "x"));
    EXPECT_EQ(m_form->Tools().History().UndoCount(), 4u);

    // The selection is the curve's on display: another stage starts with none. The table's
    // x values are the tooltip's, before the graph has a size too.
    Pick(kStage, 1);
    EXPECT_TRUE(Graph().Selection().none());
    EXPECT_EQ(Graph().PointXText(0), "0.6s");
    EXPECT_EQ(Graph().PointXText(19), "8.7s");
}

TEST_F(CurveToolsTest, CopiesToTheOtherStageAreUndoneThereWhicheverStageIsShown) {
    Build();
    const Curve stage1 = CurveOf(0);
    const Curve stage2 = CurveOf(1);
    Tools().CopyCurveToOtherStage();
    EXPECT_EQ(CurveOf(1), stage1);
    Pick(kStage, 1);
    EXPECT_EQ(Graph().GetPercents(), stage1);
    Pick(kStage, 0);
    Click(kUndo);
    EXPECT_EQ(CurveOf(1), stage2);  // not into Stage 1, which is on display
    EXPECT_EQ(CurveOf(0), stage1);
    Click(kRedo);
    EXPECT_EQ(CurveOf(1), stage1);
    Click(kUndo);

    // All settings, the pressures with them, but each stage keeps its reserved bytes.
    RecordStage(1).reserved36[0] = 0xA5;
    const StageConfig before = RecordStage(1);
    const double stage2End = Pressure(1, PressureField::MAP_End);
    Tools().CopyAllSettingsToOtherStage();
    EXPECT_FALSE(TIME_Based(RecordStage(1)));
    EXPECT_EQ(RecordStage(1).RPM_Max, RecordStage(0).RPM_Max);
    EXPECT_EQ(RecordStage(1).Frequency, RecordStage(0).Frequency);
    EXPECT_EQ(Pressure(1, PressureField::MAP_End), Pressure(0, PressureField::MAP_End));
    EXPECT_EQ(RecordStage(1).reserved36[0], 0xA5);

    // Undone after a change of unit: the pressures come back in the unit now in use.
    Pick(kUnits, 1);
    Pick(kStage, 1);
    ASSERT_TRUE(m_form->Tools().UndoReady());
    m_form->UndoFromKeyboard();
    EXPECT_EQ(std::memcmp(&RecordStage(1), &before, sizeof before), 0);
    EXPECT_DOUBLE_EQ(Pressure(1, PressureField::MAP_End), stage2End * kPsiToBar);
    EXPECT_EQ(Shown(kDelay), "0.6 sec");  // Stage 2, time-based again, shown as it is now
}

TEST_F(CurveToolsTest, ANewDocumentForgetsTheStepsMadeForOneStageOnly) {
    Build();
    Click(kSmoothPoints);
    Tools().CopyAllSettingsToOtherStage();
    // A stage step is undone even while the stage on display is not present.
    Click(kStagePresent);
    EXPECT_TRUE(Tools().UndoReady());
    Click(kStagePresent);

    m_doc.record.stage[1].RPM_Max = 7777;  // what a download brings
    m_form->OnUpdate(1);
    EXPECT_EQ(Tools().History().UndoCount(), 1u);
    Click(kUndo);
    EXPECT_EQ(RecordStage(1).RPM_Max, 7777);  // the download is not overwritten
    EXPECT_FALSE(m_form->UndoAvailable());
}

TEST_F(CurveToolsTest, TheGraphSelectsByShiftClickBandAndShiftKeys) {
    Build();
    CurveGraphModel& graph = m_form->Graph();
    graph.Resize(400, 106);
    const GraphPoint p2 = graph.PointPosition(2);
    const GraphPoint p5 = graph.PointPosition(5);
    EXPECT_FALSE(graph.MouseDown(p2.x, p2.y, true));  // no drag
    EXPECT_TRUE(graph.Selection().test(2));
    const Curve before = CurveOf(0);

    // A band from empty space over points 4 to 6, added to the selection with Shift.
    const float left = (graph.PointPosition(3).x + p5.x - 20) / 2;
    const float right = graph.PointPosition(6).x + 3;
    ASSERT_TRUE(graph.MouseDown(left, 1, true));
    graph.MouseMove(right, 105);
    EXPECT_TRUE(graph.IsBanding());
    graph.MouseUp(right, 105);
    EXPECT_EQ(graph.Selection(), PointSet{0b1110100});
    EXPECT_EQ(CurveOf(0), before);
    graph.MouseDown(p2.x, p2.y, true);  // out again
    EXPECT_EQ(graph.Selection(), PointSet{0b1110000});

    // Shift with the keys selects from the picked point; Escape empties the selection.
    graph.Key(GraphKey::Home);
    graph.Key(GraphKey::Right, true);
    graph.Key(GraphKey::Right, true);
    EXPECT_EQ(graph.Selection(), PointSet{0b111});
    EXPECT_TRUE(graph.Key(GraphKey::Escape));
    EXPECT_TRUE(graph.Selection().none());
    EXPECT_FALSE(graph.Key(GraphKey::Escape));

    // A click on empty space alone empties it too.
    Select({8});
    graph.MouseDown(left, 1);
    graph.MouseUp(left, 1);
    EXPECT_TRUE(graph.Selection().none());
}

}  // namespace
}  // namespace zentrik::test
