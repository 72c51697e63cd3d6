// The curve commands on the form: undo and redo, drags and keys on the graph, smoothing.
#include "editor/control_ids.h"
#include "form_fixture.h"

namespace zentrik::test {
namespace {

using namespace control_ids;

using CurveCommandsTest = FormTest;

TEST_F(CurveCommandsTest, TwentyUndosOfTwentyFiveChanges) {
    Build();
    EXPECT_TRUE(Hidden(kUndo) || !m_form->UndoAvailable());
    std::vector<Curve> after;
    for (int n = 1; n <= 25; ++n) {
        Enter(kStart, std::to_string(n));
        after.push_back(CurveOf(0));
    }
    ASSERT_EQ(CurveOf(0)[0], 25);
    for (int n = 0; n < 20; ++n) {
        ASSERT_TRUE(m_form->UndoAvailable());
        Click(kUndo);
    }
    EXPECT_EQ(CurveOf(0), after[4]);
    EXPECT_EQ(Shown(kStart), "5%");
    EXPECT_EQ(Graph().GetPercents(), after[4]);
    EXPECT_FALSE(m_form->UndoAvailable());
    EXPECT_TRUE(Hidden(kUndo));

    // A change of stage shows the button again; a click on it does nothing.
    Pick(kStage, 1);
    EXPECT_FALSE(Hidden(kUndo));
    const Curve stage2 = CurveOf(1);
    Click(kUndo);
    EXPECT_EQ(CurveOf(1), stage2);
    EXPECT_EQ(CurveOf(0), after[4]);
}

TEST_F(CurveCommandsTest, UndoWritesIntoTheStageOnDisplay) {
    Build();
    const Curve stage1 = CurveOf(0);
    Click(kResetToStraightLine);  // Reset to Straight Line on Stage 1
    Curve line = stage1;
    ResetToStraightLine(line);
    EXPECT_EQ(CurveOf(0), line);
    Pick(kStage, 1);
    Click(kUndo);
    EXPECT_EQ(CurveOf(1), stage1);
    EXPECT_EQ(CurveOf(0), line);
    EXPECT_EQ(Graph().GetPercents(), stage1);
}

TEST_F(CurveCommandsTest, ADownloadKeepsTheHistoryAnotherDocumentForgetsIt) {
    Build();
    Click(kResetToStraightLine);
    Click(kSmoothPoints);
    Click(kUndo);
    m_form->OnUpdate(StageForm::kHintChanged);
    EXPECT_TRUE(m_form->UndoAvailable());
    EXPECT_TRUE(m_form->RedoAvailable());
    // A file opened in its place: nothing of the curve before may come back.
    SetCurveOf(0, Curve{});
    m_form->OnUpdate(StageForm::kHintReplaced);
    EXPECT_FALSE(m_form->UndoAvailable());
    EXPECT_FALSE(m_form->RedoAvailable());
    m_form->UndoFromKeyboard();
    m_form->RedoFromKeyboard();
    EXPECT_EQ(CurveOf(0), Curve{});
}

TEST_F(CurveCommandsTest, TimeChangesPushTheUnchangedCurveAndUndoShowsTheEnds) {
    Build();
    Pick(kStage, 1);
    const Curve before = CurveOf(1);
    Enter(kDelay, "1.0");
    EXPECT_EQ(RecordStage(1).Delay_Time, 10);
    EXPECT_TRUE(m_form->UndoAvailable());
    Click(kUndo);
    EXPECT_EQ(CurveOf(1), before);
    EXPECT_EQ(RecordStage(1).Delay_Time, 10);  // the delay is not undone
    EXPECT_FALSE(m_form->UndoAvailable());

    Enter(kFinal, "90");
    EXPECT_EQ(Shown(kFinal), "90%");
    Click(kUndo);
    EXPECT_EQ(Shown(kFinal), std::to_string(before[19]) + "%");
    EXPECT_FALSE(m_form->UndoAvailable());  // the restored ends were shown without a snapshot
}

TEST_F(CurveCommandsTest, SmoothPointsAndRedo) {
    Curve spike{};
    spike[2] = 90;
    spike[19] = 100;
    SetCurveOf(0, spike);
    Build();
    Click(kSmoothPoints);
    const Curve smoothed = {0, 30, 40, 13, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 33, 100};
    EXPECT_EQ(CurveOf(0), smoothed);
    EXPECT_TRUE(Hidden(kRedo));

    Click(kUndo);
    EXPECT_EQ(CurveOf(0), spike);
    EXPECT_FALSE(Hidden(kRedo));
    EXPECT_TRUE(Hidden(kUndo));
    Click(kRedo);
    EXPECT_EQ(CurveOf(0), smoothed);
    EXPECT_EQ(Graph().GetPercents(), smoothed);
    EXPECT_TRUE(Hidden(kRedo));
    EXPECT_FALSE(Hidden(kUndo));

    // From the keyboard; a new change forgets what could be redone.
    m_form->UndoFromKeyboard();
    EXPECT_EQ(CurveOf(0), spike);
    m_form->RedoFromKeyboard();
    EXPECT_EQ(CurveOf(0), smoothed);
    m_form->UndoFromKeyboard();
    Click(kResetToStraightLine);
    EXPECT_FALSE(m_form->RedoAvailable());
    EXPECT_TRUE(Hidden(kRedo));

    // The keyboard's Undo and Redo act only while the stage's curve is on the form.
    Click(kStagePresent);  // Stage 1 no longer present
    const Curve line = CurveOf(0);
    m_form->UndoFromKeyboard();
    EXPECT_EQ(CurveOf(0), line);
}

TEST_F(CurveCommandsTest, ADragOrAKeyOnTheGraphReachesTheRecordAsOneStep) {
    Build();
    CurveGraphModel& graph = m_form->Graph();
    graph.Resize(400, 106);
    const Curve before = CurveOf(0);
    const GraphPoint start = graph.PointPosition(0);
    ASSERT_TRUE(graph.MouseDown(start.x, start.y));
    for (float y = start.y; y > 0; y -= 5) {
        graph.MouseMove(start.x, y);
        EXPECT_EQ(CurveOf(0), before);  // nothing reaches the record during the drag
    }
    graph.MouseUp(start.x, 0);
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    EXPECT_EQ(Shown(kStart), "100%");

    graph.Key(GraphKey::End);
    graph.Key(GraphKey::PageDown);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19] - 10);
    EXPECT_EQ(Shown(kFinal), std::to_string(before[19] - 10) + "%");
    Click(kUndo);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19]);
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    Click(kUndo);
    EXPECT_EQ(CurveOf(0), before);
    EXPECT_FALSE(m_form->UndoAvailable());

    // Smooth When Dragging: the box sets the setting the graph reads.
    Click(kSmoothWhenDragging);
    EXPECT_TRUE(m_settings.Smooth);
    graph.Key(GraphKey::Home);
    for (int i = 0; i < 10; ++i) {
        graph.Key(GraphKey::Right);
    }
    graph.Key(GraphKey::Up);
    EXPECT_EQ(CurveOf(0), graph.GetPercents());
    EXPECT_NE(CurveOf(0)[9], before[9]);
}

TEST_F(CurveCommandsTest, WithSmoothOnTheRecordAlwaysHoldsTheCurveOnScreen) {
    m_settings.Smooth = true;
    Build();
    // Showing a pressure-based stage moves its start point's x only: nothing is re-shaped.
    const Curve stage1 = CurveOf(0);
    EXPECT_EQ(Graph().GetPercents(), stage1);
    Pick(kStage, 1);
    Pick(kStage, 0);
    Enter(kMapTrigger, "2.5");
    Enter(kMapEnd, "20");
    EXPECT_EQ(CurveOf(0), stage1);
    EXPECT_EQ(Graph().GetPercents(), stage1);

    // A new Start re-shapes the neighbours, and the record takes them in the same step.
    Enter(kStart, "100");
    EXPECT_EQ(CurveOf(0), Graph().GetPercents());
    Curve expected = stage1;
    expected[0] = 100;
    SmoothAround(expected, 0);
    EXPECT_EQ(CurveOf(0), expected);
    EXPECT_EQ(Shown(kFinal), std::to_string(expected[19]) + "%");
    Click(kUndo);
    EXPECT_EQ(CurveOf(0), stage1);
    EXPECT_FALSE(m_form->UndoAvailable());

    Enter(kFinal, "0");
    EXPECT_EQ(CurveOf(0), Graph().GetPercents());
    EXPECT_NE(CurveOf(0)[18], stage1[18]);

    // Time changes move the x range only.
    Pick(kStage, 1);
    const Curve stage2 = CurveOf(1);
    Enter(kDelay, "2");
    Enter(kRampTime, "3");
    EXPECT_EQ(CurveOf(1), stage2);
    EXPECT_EQ(Graph().GetPercents(), stage2);
}

}  // namespace
}  // namespace zentrik::test
