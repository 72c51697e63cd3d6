#include "editor/curve_graph.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "config/app_settings.h"

namespace zentrik {
namespace {

Curve Flat(std::uint8_t value) {
    Curve c;
    c.fill(value);
    return c;
}

// A graph whose plot area is 8, 8, 384 x 90 pixels, showing a flat curve at 50 % over 0..19.
class CurveGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_graph.resize(400, 106);
        m_graph.CreateTip();
        m_graph.SetAxisMode(1);
        m_graph.SetRange(0, 19);
        m_graph.SetCurve(0, 19, Flat(50));
        m_graph.show();
        m_graph.activateWindow();
        QApplication::setActiveWindow(&m_graph);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_graph));
    }
    void TearDown() override {
        // Qt Test keeps one button state for the whole program.
        if (m_graph.IsDragging()) {
            QTest::mouseRelease(&m_graph, Qt::LeftButton);
        }
    }

    void Send(QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(
            type, pos, m_graph.mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
            type == QEvent::MouseMove && !m_graph.IsDragging() ? Qt::NoButton : buttons,
            Qt::NoModifier);
        QApplication::sendEvent(&m_graph, &event);
    }
    void Press(QPointF pos) { Send(QEvent::MouseButtonPress, pos); }
    void Move(QPointF pos) { Send(QEvent::MouseMove, pos); }
    void Release(QPointF pos) { Send(QEvent::MouseButtonRelease, pos); }
    QPointF At(int index) const { return m_graph.PointPosition(index); }

    AppSettings m_settings;
    CCurveGraph m_graph{m_settings};
    QSignalSpy m_dragged{&m_graph, &CCurveGraph::curveDragged};
};

TEST_F(CurveGraphTest, HitsWithinSixPixelsAndTheLowerIndexWins) {
    EXPECT_EQ(m_graph.PlotRect(), QRectF(8, 8, 384, 90));
    const QPointF p5 = At(5);
    EXPECT_EQ(m_graph.HitTest(p5 + QPointF(5.9, 5.9)), 5);
    EXPECT_EQ(m_graph.HitTest(p5 - QPointF(5.9, 5.9)), 5);
    EXPECT_EQ(m_graph.HitTest(p5 + QPointF(6.0, 0)), -1);
    EXPECT_EQ(m_graph.HitTest(p5 + QPointF(0, 6.0)), -1);

    // A press 5.9 pixels off starts dragging that point; 6 pixels off does nothing.
    Press(p5 + QPointF(0, 6.0));
    EXPECT_FALSE(m_graph.IsDragging());
    Press(p5 + QPointF(0, 5.9));
    EXPECT_TRUE(m_graph.IsDragging());
    EXPECT_EQ(m_graph.DragIndex(), 5);
    Release(p5);

    // Points 5 pixels apart: between 3 and 4, both are in reach and 3 wins.
    m_graph.resize(16 + 19 * 5, 106);
    const QPointF between = (At(3) + At(4)) / 2;
    EXPECT_EQ(m_graph.HitTest(between), 3);
}

TEST_F(CurveGraphTest, DragClampsToThePlotAndTakesThePercentFromY) {
    Press(At(10));
    Move(QPointF(At(10).x(), 45));
    // The marker sits at the mouse; the percent is truncated: 100 - 37 x 100 / 90 = 58.9.
    EXPECT_EQ(m_graph.PointPosition(10).y(), 45);
    EXPECT_EQ(m_graph.GetPercents()[10], 58);
    Move(QPointF(At(10).x(), -40));
    EXPECT_EQ(m_graph.GetPercents()[10], 100);
    EXPECT_EQ(m_graph.PointPosition(10).y(), 8);
    Move(QPointF(300, 400));  // x is ignored
    EXPECT_EQ(m_graph.GetPercents()[10], 0);
    EXPECT_EQ(m_graph.PointPosition(10).y(), 98);
    EXPECT_EQ(m_graph.PointPosition(10).x(), At(9).x() + (At(11).x() - At(9).x()) / 2);
    Release(QPointF(300, 400));

    // Smooth off: the other points stayed.
    Curve expected = Flat(50);
    expected[10] = 0;
    EXPECT_EQ(m_graph.GetPercents(), expected);
}

TEST_F(CurveGraphTest, SmoothOnMovesTheNeighboursWhileDragging) {
    m_settings.Smooth = true;
    Press(At(10));
    Move(QPointF(At(10).x(), 0));
    const Curve expected = {50,  50, 50, 50, 50, 50, 50, 50, 55, 74,
                            100, 74, 55, 50, 50, 50, 50, 50, 50, 50};
    EXPECT_EQ(m_graph.GetPercents(), expected);
    // The neighbours' markers follow their percents.
    EXPECT_FLOAT_EQ(m_graph.PointPosition(9).y(), 8 + 90 - 90 * 74 / 100.0f);
    Release(QPointF(At(10).x(), 0));
}

TEST_F(CurveGraphTest, ReportsTheEndOfADragOnceAndNeverDuringIt) {
    // Through Qt Test's own mouse events, as a user would drag.
    const QPoint start = At(4).toPoint();
    QTest::mousePress(&m_graph, Qt::LeftButton, Qt::NoModifier, start);
    for (int dy = 1; dy <= 20; ++dy) {
        QTest::mouseMove(&m_graph, start - QPoint(0, dy));
    }
    EXPECT_TRUE(m_graph.IsDragging());
    EXPECT_EQ(m_dragged.count(), 0);
    QTest::mouseRelease(&m_graph, Qt::LeftButton, Qt::NoModifier, start - QPoint(0, 20));
    EXPECT_EQ(m_dragged.count(), 1);
    EXPECT_FALSE(m_graph.IsDragging());
    EXPECT_EQ(m_graph.DragIndex(), -1);
    EXPECT_GT(m_graph.GetPercents()[4], 50);

    // A click beside every point starts nothing and reports nothing.
    QTest::mouseClick(&m_graph, Qt::LeftButton, Qt::NoModifier, QPoint(200, 100));
    EXPECT_EQ(m_dragged.count(), 1);
}

TEST_F(CurveGraphTest, TooltipGivesTheXValueAndPercentOfThePointUnderTheMouse) {
    Move(At(5));
    EXPECT_EQ(m_graph.TipText().toStdString(), "Time:5.0s 50%");
    m_graph.SetAxisMode(0);
    m_graph.SetRange(-1.0, 18.0);
    Move(At(5) + QPointF(1, 1));
    EXPECT_EQ(m_graph.TipText().toStdString(), "MAP:4.0 50%");
    Move(QPointF(200, 100));
    EXPECT_TRUE(m_graph.TipText().isEmpty());
    // While dragging, the tip follows the dragged point's new percent.
    Press(At(0));
    Move(QPointF(At(0).x(), 8));
    EXPECT_EQ(m_graph.TipText().toStdString(), "MAP:-1.0 100%");
    Release(QPointF(At(0).x(), 8));
}

TEST_F(CurveGraphTest, ADragRepaintsTheForegroundOnly) {
    m_graph.repaint();
    const int rendered = m_graph.BackgroundRenderCount();
    ASSERT_GE(rendered, 1);
    Press(At(7));
    for (int y = 90; y > 10; y -= 4) {
        Move(QPointF(At(7).x(), y));
        m_graph.repaint();
    }
    Release(QPointF(At(7).x(), 10));
    m_graph.repaint();
    EXPECT_EQ(m_graph.BackgroundRenderCount(), rendered);

    // A new range, a new start point and a resize each render it once more.
    m_graph.SetRange(0, 5);
    m_graph.repaint();
    m_graph.SetStartPoint(1, 50);
    m_graph.repaint();
    m_graph.resize(300, 120);
    m_graph.repaint();
    EXPECT_EQ(m_graph.BackgroundRenderCount(), rendered + 3);
}

TEST_F(CurveGraphTest, ANewRangeAloneReshapesNothingEvenWithSmoothOn) {
    m_settings.Smooth = true;
    Curve curve;  // a zigzag, which any smoothing would flatten
    for (std::size_t i = 0; i < curve.size(); ++i) {
        curve[i] = i % 2 ? 100 : 0;
    }
    m_graph.SetCurve(0, 19, curve);
    m_graph.SetStartPoint(2.0, 0);  // same percent, new x: the curve stays
    m_graph.SetEndPoint(7.0, 100);
    EXPECT_EQ(m_graph.GetPercents(), curve);
    EXPECT_EQ(m_graph.XStart(), 2.0);
    EXPECT_EQ(m_graph.XEnd(), 7.0);

    // A new percent re-shapes the neighbours on one side only.
    m_graph.SetStartPoint(2.0, 100);
    Curve expected = curve;
    expected[0] = 100;
    SmoothAround(expected, 0);
    EXPECT_EQ(m_graph.GetPercents(), expected);
    EXPECT_NE(m_graph.GetPercents()[2], 0);
    EXPECT_EQ(m_graph.DragIndex(), -1);
}

TEST_F(CurveGraphTest, KeysPickAndMovePointsLikeOneStepDrags) {
    m_graph.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(m_graph.hasFocus());
    QTest::keyClick(&m_graph, Qt::Key_End);
    EXPECT_EQ(m_graph.SelectedIndex(), 19);
    EXPECT_EQ(m_graph.TipText().toStdString(), "Time:19.0s 50%");
    QTest::keyClick(&m_graph, Qt::Key_Right);  // no point beyond the last
    EXPECT_EQ(m_graph.SelectedIndex(), 19);
    QTest::keyClick(&m_graph, Qt::Key_Up);
    EXPECT_EQ(m_graph.GetPercents()[19], 51);
    EXPECT_EQ(m_dragged.count(), 1);
    QTest::keyClick(&m_graph, Qt::Key_PageDown);
    EXPECT_EQ(m_graph.GetPercents()[19], 41);
    EXPECT_FLOAT_EQ(m_graph.PointPosition(19).y(), 8 + 90 - 90 * 41 / 100.0f);
    EXPECT_EQ(m_dragged.count(), 2);
    EXPECT_EQ(m_graph.GetPercents()[18], 50);  // Smooth off

    QTest::keyClick(&m_graph, Qt::Key_Home);
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(&m_graph, Qt::Key_PageUp);
    }
    EXPECT_EQ(m_graph.GetPercents()[0], 100);
    EXPECT_EQ(m_dragged.count(), 7);  // the sixth press had nothing left to move

    m_settings.Smooth = true;
    m_graph.SetCurve(0, 19, Flat(50));
    QTest::keyClick(&m_graph, Qt::Key_Home);
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(&m_graph, Qt::Key_Right);
    }
    ASSERT_EQ(m_graph.SelectedIndex(), 10);
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(&m_graph, Qt::Key_PageUp);
    }
    // Each step smooths around the point, as a drag through the same heights would.
    Curve expected = Flat(50);
    for (int target = 60; target <= 100; target += 10) {
        expected[10] = static_cast<std::uint8_t>(target);
        SmoothAround(expected, 10);
    }
    EXPECT_EQ(m_graph.GetPercents(), expected);
}

TEST(CurveGridTest, StepsFollowTheSpan) {
    EXPECT_EQ(VerticalGridValues(0, 20), (std::vector<double>{2, 4, 6, 8, 10, 12, 14, 16, 18}));
    EXPECT_EQ(VerticalGridValues(0, 5), (std::vector<double>{1, 2, 3, 4}));
    const std::vector<double> tenths = VerticalGridValues(0, 0.5);
    ASSERT_EQ(tenths.size(), 4u);
    EXPECT_DOUBLE_EQ(tenths[3], 0.4);
    EXPECT_EQ(VerticalGridValues(-14.7, 85.0).size(), 9u);  // step round(9.97) = 10
    EXPECT_TRUE(VerticalGridValues(3, 3).empty());
    EXPECT_TRUE(VerticalGridValues(3, 1).empty());
}

}  // namespace
}  // namespace zentrik
