#include "editor/curve_graph_model.h"

#include <gtest/gtest.h>

#include <functional>

#include "config/app_settings.h"

namespace zentrik {
namespace {

Curve Flat(std::uint8_t value) {
    Curve c;
    c.fill(value);
    return c;
}

struct P {
    float x;
    float y;
    P operator+(P o) const { return {x + o.x, y + o.y}; }
    P operator-(P o) const { return {x - o.x, y - o.y}; }
};

// A graph whose plot area is 8, 8, 384 x 90 pixels, showing a flat curve at 50 % over 0..19.
class CurveGraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_graph.SetDragEndedHandler([this] { ++m_dragged; });
        m_graph.Resize(400, 106);
        m_graph.CreateTip();
        m_graph.SetAxisMode(1);
        m_graph.SetRange(0, 19);
        m_graph.SetCurve(0, 19, Flat(50));
    }
    void Press(P p) { m_graph.MouseDown(p.x, p.y); }
    void Move(P p) { m_graph.MouseMove(p.x, p.y); }
    void Release(P p) { m_graph.MouseUp(p.x, p.y); }
    P At(int index) const {
        return {m_graph.PointPosition(index).x, m_graph.PointPosition(index).y};
    }
    int Hit(P p) const { return m_graph.HitTest(p.x, p.y); }

    AppSettings m_settings;
    CurveGraphModel m_graph{m_settings};
    int m_dragged = 0;
};

TEST_F(CurveGraphTest, HitsWithinSixPixelsAndTheLowerIndexWins) {
    const PlotRect& plot = m_graph.Plot();
    EXPECT_EQ(plot.left, 8);
    EXPECT_EQ(plot.top, 8);
    EXPECT_EQ(plot.width, 384);
    EXPECT_EQ(plot.height, 90);
    const P p5 = At(5);
    EXPECT_EQ(Hit(p5 + P{5.9f, 5.9f}), 5);
    EXPECT_EQ(Hit(p5 - P{5.9f, 5.9f}), 5);
    EXPECT_EQ(Hit(p5 + P{6.0f, 0}), -1);
    EXPECT_EQ(Hit(p5 + P{0, 6.0f}), -1);

    // A press 5.9 pixels off starts dragging that point; 6 pixels off does nothing.
    Press(p5 + P{0, 6.0f});
    EXPECT_FALSE(m_graph.IsDragging());
    Press(p5 + P{0, 5.9f});
    EXPECT_TRUE(m_graph.IsDragging());
    EXPECT_EQ(m_graph.DragIndex(), 5);
    Release(p5);

    // Points 5 pixels apart: between 3 and 4, both are in reach and 3 wins.
    m_graph.Resize(16 + 19 * 5, 106);
    const P between{(At(3).x + At(4).x) / 2, (At(3).y + At(4).y) / 2};
    EXPECT_EQ(Hit(between), 3);
}

TEST_F(CurveGraphTest, DragClampsToThePlotAndTakesThePercentFromY) {
    Press(At(10));
    Move(P{At(10).x, 45});
    // The marker sits at the mouse; the percent is truncated: 100 - 37 x 100 / 90 = 58.9.
    EXPECT_EQ(m_graph.PointPosition(10).y, 45);
    EXPECT_EQ(m_graph.GetPercents()[10], 58);
    Move(P{At(10).x, -40});
    EXPECT_EQ(m_graph.GetPercents()[10], 100);
    EXPECT_EQ(m_graph.PointPosition(10).y, 8);
    Move(P{300, 400});  // x is ignored
    EXPECT_EQ(m_graph.GetPercents()[10], 0);
    EXPECT_EQ(m_graph.PointPosition(10).y, 98);
    EXPECT_EQ(m_graph.PointPosition(10).x, At(9).x + (At(11).x - At(9).x) / 2);
    Release(P{300, 400});

    // Smooth off: the other points stayed.
    Curve expected = Flat(50);
    expected[10] = 0;
    EXPECT_EQ(m_graph.GetPercents(), expected);
}

TEST_F(CurveGraphTest, SmoothOnMovesTheNeighboursWhileDragging) {
    m_settings.Smooth = true;
    Press(At(10));
    Move(P{At(10).x, 0});
    const Curve expected = {50,  50, 50, 50, 50, 50, 50, 50, 55, 74,
                            100, 74, 55, 50, 50, 50, 50, 50, 50, 50};
    EXPECT_EQ(m_graph.GetPercents(), expected);
    // The neighbours' markers follow their percents.
    EXPECT_FLOAT_EQ(m_graph.PointPosition(9).y, 8 + 90 - 90 * 74 / 100.0f);
    Release(P{At(10).x, 0});
}

TEST_F(CurveGraphTest, ReportsTheEndOfADragOnceAndNeverDuringIt) {
    const P start = At(4);
    Press(start);
    for (int dy = 1; dy <= 20; ++dy) {
        Move(start - P{0, static_cast<float>(dy)});
    }
    EXPECT_TRUE(m_graph.IsDragging());
    EXPECT_EQ(m_dragged, 0);
    Release(start - P{0, 20});
    EXPECT_EQ(m_dragged, 1);
    EXPECT_FALSE(m_graph.IsDragging());
    EXPECT_EQ(m_graph.DragIndex(), -1);
    EXPECT_GT(m_graph.GetPercents()[4], 50);

    // A click beside every point starts nothing and reports nothing.
    Press(P{200, 100});
    Release(P{200, 100});
    EXPECT_EQ(m_dragged, 1);
}

TEST_F(CurveGraphTest, TooltipGivesTheXValueAndPercentOfThePointUnderTheMouse) {
    Move(At(5));
    EXPECT_EQ(m_graph.TipText(), "Time:5.0s 50%");
    EXPECT_EQ(m_graph.TipPoint(), 5);
    m_graph.SetAxisMode(0);
    m_graph.SetRange(-1.0, 18.0);
    Move(At(5) + P{1, 1});
    EXPECT_EQ(m_graph.TipText(), "MAP:4.0 50%");
    Move(P{200, 100});
    EXPECT_TRUE(m_graph.TipText().empty());
    EXPECT_EQ(m_graph.TipPoint(), -1);
    // While dragging, the tip follows the dragged point's new percent.
    Press(At(0));
    Move(P{At(0).x, 8});
    EXPECT_EQ(m_graph.TipText(), "MAP:-1.0 100%");
    Release(P{At(0).x, 8});
}

TEST_F(CurveGraphTest, ADragAsksForTheCurveAloneAndOnlyAroundIt) {
    m_graph.BackgroundDrawn();
    m_graph.TakeRepaint();
    Press(At(7));
    for (float y = 90; y > 10; y -= 4) {
        Move(P{At(7).x, y});
        const GraphRepaint repaint = m_graph.TakeRepaint();
        EXPECT_FALSE(repaint.whole);
        // From the point before the dragged one to the point after it, markers included.
        EXPECT_LE(repaint.left, At(6).x - 6);
        EXPECT_GE(repaint.right, At(8).x + 6);
        EXPECT_GT(repaint.left, At(5).x);
        EXPECT_LT(repaint.right, At(9).x);
    }
    Release(P{At(7).x, 10});
    EXPECT_FALSE(m_graph.BackgroundDirty());

    // A new range, a new start point and a resize each need the static layer again.
    for (const auto& change : std::vector<std::function<void()>>{
             [this] { m_graph.SetRange(0, 5); }, [this] { m_graph.SetStartPoint(1, 50); },
             [this] { m_graph.Resize(300, 120); }}) {
        change();
        EXPECT_TRUE(m_graph.BackgroundDirty());
        EXPECT_TRUE(m_graph.TakeRepaint().whole);
        m_graph.BackgroundDrawn();
    }
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
    m_graph.Key(GraphKey::End);
    EXPECT_EQ(m_graph.SelectedIndex(), 19);
    EXPECT_EQ(m_graph.TipText(), "Time:19.0s 50%");
    m_graph.Key(GraphKey::Right);  // no point beyond the last
    EXPECT_EQ(m_graph.SelectedIndex(), 19);
    m_graph.Key(GraphKey::Up);
    EXPECT_EQ(m_graph.GetPercents()[19], 51);
    EXPECT_EQ(m_dragged, 1);
    m_graph.Key(GraphKey::PageDown);
    EXPECT_EQ(m_graph.GetPercents()[19], 41);
    EXPECT_FLOAT_EQ(m_graph.PointPosition(19).y, 8 + 90 - 90 * 41 / 100.0f);
    EXPECT_EQ(m_dragged, 2);
    EXPECT_EQ(m_graph.GetPercents()[18], 50);  // Smooth off

    m_graph.Key(GraphKey::Home);
    for (int i = 0; i < 6; ++i) {
        m_graph.Key(GraphKey::PageUp);
    }
    EXPECT_EQ(m_graph.GetPercents()[0], 100);
    EXPECT_EQ(m_dragged, 7);  // the sixth press had nothing left to move

    m_settings.Smooth = true;
    m_graph.SetCurve(0, 19, Flat(50));
    m_graph.Key(GraphKey::Home);
    for (int i = 0; i < 10; ++i) {
        m_graph.Key(GraphKey::Right);
    }
    ASSERT_EQ(m_graph.SelectedIndex(), 10);
    for (int i = 0; i < 5; ++i) {
        m_graph.Key(GraphKey::PageUp);
    }
    // Each step smooths around the point, as a drag through the same heights would.
    Curve expected = Flat(50);
    for (int target = 60; target <= 100; target += 10) {
        expected[10] = static_cast<std::uint8_t>(target);
        SmoothAround(expected, 10);
    }
    EXPECT_EQ(m_graph.GetPercents(), expected);
}

TEST_F(CurveGraphTest, APointAboveTheScaleStaysOnThePlotMarkedAndWithinReach) {
    Curve curve = Flat(50);
    curve[3] = 250;  // a value no drag gives, from a file or the controller
    m_graph.SetCurve(0, 19, curve);
    EXPECT_FLOAT_EQ(At(3).y, m_graph.Plot().top);
    EXPECT_TRUE(m_graph.OutOfRange(3));
    EXPECT_FALSE(m_graph.OutOfRange(2));
    EXPECT_EQ(Hit(At(3)), 3);
    Press(At(3));
    Release(At(3));
    EXPECT_EQ(m_graph.GetPercents()[3], 100);
    EXPECT_FALSE(m_graph.OutOfRange(3));
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
