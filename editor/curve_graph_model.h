#pragma once

#include <array>
#include <bitset>
#include <functional>
#include <string>
#include <vector>

#include "editor/curve_math.h"

namespace zentrik {

class AppSettings;

struct GraphPoint {
    float x = 0.0f;
    float y = 0.0f;
};

// The plot area: the window's client area inset by 8 pixels on every side.
struct PlotRect {
    float left = 0.0f;
    float top = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float Right() const { return left + width; }
    float Bottom() const { return top + height; }
};

// What has to be painted again since the skin last asked.
struct GraphRepaint {
    bool whole = false;  // the whole window
    // Otherwise this horizontal stretch, full height (empty when left >= right).
    float left = 0.0f;
    float right = 0.0f;
    bool Empty() const { return !whole && left >= right; }
};

// The keys the graph answers while it has the focus.
enum class GraphKey { Left, Right, Home, End, Up, Down, PageUp, PageDown, Escape };

// A set of the curve's points, by index.
using PointSet = std::bitset<kPercentPoints>;

// The behaviour of the percent curve graph: its copy of the stage's 20 percents, their
// positions in the window, the hit test, the drag with its smoothing, the keyboard editing,
// the grid and the tooltip text. A window's graph control hands it its size, the mouse and
// the keys, and paints what it says: the static layer (fill, shadow, plot area, border, grid)
// again only while BackgroundDirty(), then the area, the line and the markers at Points().
//
// The owner (the form) puts the record's values in and is told of the end of a drag through
// the handler it sets; nothing is reported during a drag.
//
// Keyboard: Left/Right pick a point (Home/End the first and last), Up/Down move it by 1 %,
// PageUp/PageDown by 10 %. Each key that moves a point acts as a one-step drag of it:
// smoothing when on, and one end-of-drag report.
//
// Selection: the curve commands act on the selected points. Shift with a click on a point
// adds it to the selection or takes it out; a press on empty space draws a band, and the
// points inside it are the selection (with Shift, added to it; a click on empty space alone
// empties it); Shift with Left/Right/Home/End selects from the point picked before to the one
// picked now; Escape empties the selection. The form sets it too (the table's rows).
class CurveGraphModel {
  public:
    static constexpr float kInset = 8.0f;
    static constexpr int kHitTolerance = 6;
    static constexpr int kMarkerSize = 12;

    explicit CurveGraphModel(const AppSettings& settings);

    // Called when a drag ends (the button was released, or a key moved the picked point).
    void SetDragEndedHandler(std::function<void()> handler) { m_dragEnded = std::move(handler); }

    // ---- the owner's operations
    // Tooltips are shown only once this has run; later calls do nothing.
    void CreateTip() { m_tipCreated = true; }
    // 1: time axis, 0: pressure axis (the tooltip's format).
    void SetAxisMode(int mode) {
        if (m_axisMode != mode) {
            m_axisMode = mode;
            Changed();
        }
    }
    void SetRange(double xStart, double xEnd);
    // A new start (end) point. Its neighbours follow it, when Smooth is on, only if its
    // percent changed: a change of the x range alone re-shapes nothing.
    void SetStartPoint(double xStart, std::uint8_t percent);
    void SetEndPoint(double xEnd, std::uint8_t percent);
    // The whole curve; it leaves the static layer as it is (an owner that changes the range
    // also calls SetRange).
    void SetCurve(double xStart, double xEnd, const Curve& percents);
    const Curve& GetPercents() const { return m_percents; }
    // The static layer is drawn again at the next paint.
    void bufferClean() { m_backgroundDirty = true; }

    // ---- the window's events (client coordinates, in the skin's logical pixels)
    void Resize(int width, int height);
    // True when the graph takes the mouse until the button is released (a point is dragged or
    // a band drawn): the window captures it.
    bool MouseDown(float x, float y, bool shift = false);
    void MouseMove(float x, float y);
    void MouseUp(float x, float y);
    // True when the key was the graph's.
    bool Key(GraphKey key, bool shift = false);
    void SetFocused(bool focused);

    // ---- state for painting and for tests
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const PlotRect& Plot() const { return m_plotRect; }
    // Every point lies inside the plot area: one whose percent is above 100 (a value the curve
    // cannot have, from a file or the controller) sits on the top edge, marked as out of range.
    const std::array<GraphPoint, kPercentPoints>& Points() const { return m_points; }
    bool OutOfRange(int index) const { return m_percents[static_cast<std::size_t>(index)] > 100; }
    GraphPoint PointPosition(int index) const { return m_points[static_cast<std::size_t>(index)]; }
    // The point within the tolerance of the position, the lowest index first; -1 for none.
    int HitTest(float x, float y) const;
    // The x positions of the vertical grid lines and the y positions of the horizontal ones.
    std::vector<double> VerticalGridX() const;
    std::vector<double> HorizontalGridY() const;
    bool IsDragging() const { return m_dragging; }
    bool IsBanding() const { return m_banding; }
    bool HasMouse() const { return m_dragging || m_banding; }
    // The band being drawn, in client coordinates (left, top, width, height).
    PlotRect Band() const;
    int DragIndex() const { return m_dragIndex; }
    int SelectedIndex() const { return m_selected; }
    bool Focused() const { return m_focused; }
    bool TipCreated() const { return m_tipCreated; }
    // The tooltip's text and the point it is about (-1 and empty: hidden).
    const std::string& TipText() const { return m_tipText; }
    int TipPoint() const { return m_tipPoint; }
    double XStart() const { return m_xStart; }
    double XEnd() const { return m_xEnd; }
    int AxisMode() const { return m_axisMode; }
    // A point's x value (seconds or pressure), and its text as the tooltip gives it ("1.5s",
    // "12.0"), for the table of the points.
    double PointXValue(int index) const;
    std::string PointXText(int index) const;

    const PointSet& Selection() const { return m_selection; }
    void SetSelection(const PointSet& points);
    // Counts every change of what the points show (their percents, x values, the axis, the
    // selection), so that a window's table can tell when to show them again.
    unsigned Revision() const { return m_revision; }

    bool BackgroundDirty() const { return m_backgroundDirty; }
    void BackgroundDrawn() { m_backgroundDirty = false; }
    // What changed on screen since the last call.
    GraphRepaint TakeRepaint();

  private:
    void ComputeLayout();
    float PointY(int index) const;
    void MoveDraggedPoint(float x, float y);
    void SmoothAroundAnchor(int anchor);
    void MoveBand(float x, float y);
    void SetTipFor(int index);
    void HideTip();
    void PickPoint(int index);
    void PickWithKey(int index, bool shift);
    void MovePickedPoint(int delta);
    void Changed() { ++m_revision; }
    void RepaintWhole() { m_repaint.whole = true; }
    void RepaintAround(int first, int last);
    void EndOfDrag();

    const AppSettings& m_settings;
    std::function<void()> m_dragEnded;
    int m_width = 0;
    int m_height = 0;
    bool m_dragging = false;
    int m_dragIndex = -1;
    std::array<GraphPoint, kPercentPoints> m_points{};
    Curve m_percents{};
    bool m_layoutValid = false;
    PlotRect m_plotRect;
    double m_xStart = 0.0;
    double m_xEnd = 0.0;
    int m_axisMode = 0;
    std::string m_tipText;
    int m_tipPoint = -1;
    bool m_tipCreated = false;
    int m_selected = -1;  // the point the keyboard works on
    int m_anchor = -1;    // where Shift with the keys began selecting
    PointSet m_selection;
    bool m_banding = false;
    GraphPoint m_bandStart;
    GraphPoint m_bandEnd;
    PointSet m_bandBase;  // the selection the band adds to
    unsigned m_revision = 0;
    bool m_focused = false;
    bool m_backgroundDirty = true;
    GraphRepaint m_repaint{true};
};

}  // namespace zentrik
