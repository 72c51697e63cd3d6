// The curve commands on the form: undo and redo, drags and keys on the graph, smoothing.
#include <QSignalSpy>

#include "view_fixture.h"

namespace zentrik::test {
namespace {

using CurveCommandsTest = ViewTest;

QPushButton* RedoButton(CQuarnelView& view) {
    return view.findChild<QPushButton*>(QStringLiteral("redoButton"));
}

TEST_F(CurveCommandsTest, TwentyUndosOfTwentyFiveChanges) {
    Build();
    EXPECT_TRUE(Get(1071)->isHidden() || !m_view->UndoAvailable());
    std::vector<Curve> after;
    for (int n = 1; n <= 25; ++n) {
        Enter(1010, QString::number(n));
        after.push_back(CurveOf(0));
    }
    ASSERT_EQ(CurveOf(0)[0], 25);
    for (int n = 0; n < 20; ++n) {
        ASSERT_TRUE(m_view->UndoAvailable());
        Click(1071);
    }
    EXPECT_EQ(CurveOf(0), after[4]);
    EXPECT_EQ(Shown(1010), "5%");
    EXPECT_EQ(m_view->Graph()->GetPercents(), after[4]);
    EXPECT_FALSE(m_view->UndoAvailable());
    EXPECT_TRUE(Get(1071)->isHidden());

    // A change of stage shows the button again; a click on it does nothing.
    Pick(1067, 1);
    EXPECT_FALSE(Get(1071)->isHidden());
    const Curve stage2 = CurveOf(1);
    Click(1071);
    EXPECT_EQ(CurveOf(1), stage2);
    EXPECT_EQ(CurveOf(0), after[4]);
}

TEST_F(CurveCommandsTest, UndoWritesIntoTheStageOnDisplay) {
    Build();
    const Curve stage1 = CurveOf(0);
    Click(1069);  // Reset to Straight Line on Stage 1
    Curve line = stage1;
    ResetToStraightLine(line);
    EXPECT_EQ(CurveOf(0), line);
    Pick(1067, 1);
    Click(1071);
    EXPECT_EQ(CurveOf(1), stage1);
    EXPECT_EQ(CurveOf(0), line);
    EXPECT_EQ(m_view->Graph()->GetPercents(), stage1);
}

TEST_F(CurveCommandsTest, TimeChangesPushTheUnchangedCurveAndUndoShowsTheEnds) {
    Build();
    Pick(1067, 1);
    const Curve before = CurveOf(1);
    Enter(1009, "1.0");
    EXPECT_EQ(RecordStage(1).Delay_Time, 10);
    EXPECT_TRUE(m_view->UndoAvailable());
    Click(1071);
    EXPECT_EQ(CurveOf(1), before);
    EXPECT_EQ(RecordStage(1).Delay_Time, 10);  // the delay is not undone
    EXPECT_FALSE(m_view->UndoAvailable());

    Enter(1011, "90");
    EXPECT_EQ(Shown(1011), "90%");
    Click(1071);
    EXPECT_EQ(Shown(1011), QString::number(before[19]).toStdString() + "%");
    EXPECT_FALSE(m_view->UndoAvailable());  // the restored ends were shown without a snapshot
}

TEST_F(CurveCommandsTest, SmoothPointsAndRedo) {
    Curve spike{};
    spike[2] = 90;
    spike[19] = 100;
    SetCurveOf(0, spike);
    Build();
    Click(1070);
    const Curve smoothed = {0, 30, 40, 13, 4, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 33, 100};
    EXPECT_EQ(CurveOf(0), smoothed);
    QPushButton* redo = RedoButton(*m_view);
    EXPECT_TRUE(redo->isHidden());

    Click(1071);
    EXPECT_EQ(CurveOf(0), spike);
    EXPECT_FALSE(redo->isHidden());
    EXPECT_TRUE(Get(1071)->isHidden());
    redo->click();
    EXPECT_EQ(CurveOf(0), smoothed);
    EXPECT_EQ(m_view->Graph()->GetPercents(), smoothed);
    EXPECT_TRUE(redo->isHidden());
    EXPECT_FALSE(Get(1071)->isHidden());

    // From the keyboard; a new change forgets what could be redone.
    m_view->Graph()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(CurveOf(0), spike);
    QTest::keyClick(m_view->Graph(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(CurveOf(0), smoothed);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(CurveOf(0), smoothed);
    QTest::keyClick(m_view->Graph(), Qt::Key_Z, Qt::ControlModifier);
    Click(1069);
    EXPECT_FALSE(m_view->RedoAvailable());
    EXPECT_TRUE(redo->isHidden());
}

TEST_F(CurveCommandsTest, ADragOrAKeyOnTheGraphReachesTheRecordAsOneStep) {
    Build();
    CCurveGraph* graph = m_view->Graph();
    const Curve before = CurveOf(0);
    const QPoint start = graph->PointPosition(0).toPoint();
    QTest::mousePress(graph, Qt::LeftButton, Qt::NoModifier, start);
    for (int y = start.y(); y > 0; y -= 5) {
        QTest::mouseMove(graph, QPoint(start.x(), y));
        EXPECT_EQ(CurveOf(0), before);  // nothing reaches the record during the drag
    }
    QTest::mouseRelease(graph, Qt::LeftButton, Qt::NoModifier, QPoint(start.x(), 0));
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    EXPECT_EQ(Shown(1010), "100%");

    graph->setFocus(Qt::TabFocusReason);
    QTest::keyClick(graph, Qt::Key_End);
    QTest::keyClick(graph, Qt::Key_PageDown);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19] - 10);
    EXPECT_EQ(Shown(1011), std::to_string(before[19] - 10) + "%");
    Click(1071);
    EXPECT_EQ(RecordStage(0).Percent[19], before[19]);
    EXPECT_EQ(RecordStage(0).Percent[0], 100);
    Click(1071);
    EXPECT_EQ(CurveOf(0), before);
    EXPECT_FALSE(m_view->UndoAvailable());

    // Smooth When Dragging: the box sets the setting the graph reads.
    Click(1068);
    EXPECT_TRUE(m_settings.Smooth);
    QTest::keyClick(graph, Qt::Key_Home);
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(graph, Qt::Key_Right);
    }
    QTest::keyClick(graph, Qt::Key_Up);
    EXPECT_EQ(CurveOf(0), graph->GetPercents());
    EXPECT_NE(CurveOf(0)[9], before[9]);
}

TEST_F(CurveCommandsTest, WithSmoothOnTheRecordAlwaysHoldsTheCurveOnScreen) {
    m_settings.Smooth = true;
    Build();
    // Showing a pressure-based stage moves its start point's x only: nothing is re-shaped.
    const Curve stage1 = CurveOf(0);
    EXPECT_EQ(m_view->Graph()->GetPercents(), stage1);
    Pick(1067, 1);
    Pick(1067, 0);
    Enter(1006, "2.5");
    Enter(1007, "20");
    EXPECT_EQ(CurveOf(0), stage1);
    EXPECT_EQ(m_view->Graph()->GetPercents(), stage1);

    // A new Start re-shapes the neighbours, and the record takes them in the same step.
    Enter(1010, "100");
    EXPECT_EQ(CurveOf(0), m_view->Graph()->GetPercents());
    Curve expected = stage1;
    expected[0] = 100;
    SmoothAround(expected, 0);
    EXPECT_EQ(CurveOf(0), expected);
    EXPECT_EQ(Shown(1011), std::to_string(expected[19]) + "%");
    Click(1071);
    EXPECT_EQ(CurveOf(0), stage1);
    EXPECT_FALSE(m_view->UndoAvailable());

    Enter(1011, "0");
    EXPECT_EQ(CurveOf(0), m_view->Graph()->GetPercents());
    EXPECT_NE(CurveOf(0)[18], stage1[18]);

    // Time changes move the x range only.
    Pick(1067, 1);
    const Curve stage2 = CurveOf(1);
    Enter(1009, "2");
    Enter(1008, "3");
    EXPECT_EQ(CurveOf(1), stage2);
    EXPECT_EQ(m_view->Graph()->GetPercents(), stage2);
}

}  // namespace
}  // namespace zentrik::test
