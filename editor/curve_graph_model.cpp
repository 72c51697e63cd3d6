#include "editor/curve_graph_model.h"

#include <algorithm>
#include <cmath>

#include "base/text_format.h"
#include "config/app_settings.h"
#include "editor/editor_texts.h"

namespace zentrik {

namespace {

constexpr int kLast = kPercentPoints - 1;
constexpr int kPageStep = 10;

int Truncate(float value) {
    return static_cast<int>(std::trunc(value));
}

}  // namespace

CurveGraphModel::CurveGraphModel(const AppSettings& settings) : m_settings(settings) {}

void CurveGraphModel::SetRange(double xStart, double xEnd) {
    m_xStart = xStart;
    m_xEnd = xEnd;
    Changed();
    bufferClean();
    RepaintWhole();
}

void CurveGraphModel::SetStartPoint(double xStart, std::uint8_t percent) {
    m_xStart = xStart;
    const bool changed = m_percents[0] != percent;
    m_percents[0] = percent;
    ComputeLayout();
    if (changed && m_settings.Smooth) {
        SmoothAroundAnchor(0);
    }
    Changed();
    bufferClean();
    RepaintWhole();
}

void CurveGraphModel::SetEndPoint(double xEnd, std::uint8_t percent) {
    m_xEnd = xEnd;
    const bool changed = m_percents[kLast] != percent;
    m_percents[kLast] = percent;
    ComputeLayout();
    if (changed && m_settings.Smooth) {
        SmoothAroundAnchor(kLast);
    }
    Changed();
    bufferClean();
    RepaintWhole();
}

void CurveGraphModel::SetCurve(double xStart, double xEnd, const Curve& percents) {
    m_xStart = xStart;
    m_xEnd = xEnd;
    m_percents = percents;
    ComputeLayout();
    Changed();
    RepaintWhole();
}

void CurveGraphModel::Resize(int width, int height) {
    m_width = width;
    m_height = height;
    bufferClean();
    m_layoutValid = false;
    ComputeLayout();
    Changed();
    RepaintWhole();
}

float CurveGraphModel::PointY(int index) const {
    const float top = m_plotRect.top;
    const float height = m_plotRect.height;
    const int percent = std::min<int>(m_percents[static_cast<std::size_t>(index)], 100);
    return top + height - height * static_cast<float>(percent) / 100.0f;
}

void CurveGraphModel::ComputeLayout() {
    if (!m_layoutValid) {
        m_plotRect = PlotRect{kInset, kInset, static_cast<float>(m_width) - 2 * kInset,
                              static_cast<float>(m_height) - 2 * kInset};
        m_layoutValid = true;
    }
    for (int i = 0; i < kPercentPoints; ++i) {
        const float x = m_plotRect.left + static_cast<float>(i) * m_plotRect.width * kOneNineteenth;
        m_points[static_cast<std::size_t>(i)] = GraphPoint{x, PointY(i)};
    }
}

int CurveGraphModel::HitTest(float x, float y) const {
    for (int i = 0; i < kPercentPoints; ++i) {
        const GraphPoint& p = m_points[static_cast<std::size_t>(i)];
        const int dx = Truncate(x - p.x);
        const int dy = Truncate(y - p.y);
        if (std::abs(dx) < kHitTolerance && std::abs(dy) < kHitTolerance) {
            return i;
        }
    }
    return -1;
}

std::vector<double> CurveGraphModel::VerticalGridX() const {
    std::vector<double> xs;
    const double span = m_xEnd - m_xStart;
    for (const double v : VerticalGridValues(m_xStart, m_xEnd)) {
        xs.push_back(
            static_cast<float>(m_plotRect.left + (v - m_xStart) / span * m_plotRect.width));
    }
    return xs;
}

std::vector<double> CurveGraphModel::HorizontalGridY() const {
    // The 10 % to 90 % lines.
    std::vector<double> ys;
    for (int k = 1; k < 10; ++k) {
        const double y = m_plotRect.top + k * m_plotRect.height * 0.1;
        if (y < m_plotRect.Bottom()) {
            ys.push_back(y);
        }
    }
    return ys;
}

void CurveGraphModel::SmoothAroundAnchor(int anchor) {
    m_dragIndex = anchor;
    const Curve before = m_percents;
    SmoothAround(m_percents, anchor);
    for (int i = 0; i < kPercentPoints; ++i) {
        const auto index = static_cast<std::size_t>(i);
        if (i != anchor && m_percents[index] != before[index]) {
            m_points[index].y = PointY(i);
        }
    }
    if (!m_dragging) {
        m_dragIndex = -1;
    }
}

void CurveGraphModel::MoveDraggedPoint(float /*x*/, float y) {
    // Points move only vertically, and stay within the plot area.
    const float top = m_plotRect.top;
    const float height = m_plotRect.height;
    if (y < top) {
        y = std::trunc(top);
    } else if (y > top + height) {
        y = std::trunc(top + height);
    }
    if (!m_dragging || m_dragIndex < 0) {
        RepaintWhole();
        return;
    }
    const Curve before = m_percents;
    const auto index = static_cast<std::size_t>(m_dragIndex);
    // The marker sits at the mouse, not at the truncated percent's height.
    m_points[index].y = y;
    const float percent = height > 0 ? 100.0f - (y - top) * 100.0f / height : 0.0f;
    m_percents[index] = static_cast<std::uint8_t>(std::clamp(Truncate(percent), 0, 100));
    if (m_settings.Smooth) {
        SmoothAroundAnchor(m_dragIndex);
    }
    Changed();
    int first = m_dragIndex;
    int last = m_dragIndex;
    for (int i = 0; i < kPercentPoints; ++i) {
        if (m_percents[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)]) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
    }
    RepaintAround(first, last);
}

void CurveGraphModel::RepaintAround(int first, int last) {
    // Only the segments either side of the moved points, with their markers and the ring of
    // the picked point.
    const float reach = kMarkerSize / 2.0f + 6;
    const float left = first > 0 ? m_points[static_cast<std::size_t>(first - 1)].x - reach : 0.0f;
    const float right = last < kLast ? m_points[static_cast<std::size_t>(last + 1)].x + reach
                                     : static_cast<float>(m_width);
    if (m_repaint.Empty()) {
        m_repaint.left = left;
        m_repaint.right = right;
    } else {
        m_repaint.left = std::min(m_repaint.left, left);
        m_repaint.right = std::max(m_repaint.right, right);
    }
}

GraphRepaint CurveGraphModel::TakeRepaint() {
    const GraphRepaint taken = m_repaint;
    m_repaint = GraphRepaint{};
    return taken;
}

double CurveGraphModel::PointXValue(int index) const {
    const double plotWidth = m_plotRect.width;
    // Before the graph has a size, the point's share of the axis as its place would give it.
    const double share =
        plotWidth > 0 ? (m_points[static_cast<std::size_t>(index)].x - m_plotRect.left) / plotWidth
                      : static_cast<double>(index * kOneNineteenth);
    return m_xStart + share * (m_xEnd - m_xStart);
}

std::string CurveGraphModel::PointXText(int index) const {
    const char* format =
        m_axisMode == 1 ? editor_texts::kTableTimeFormat : editor_texts::kTableMapFormat;
    return FormatNumbers(format, {PointXValue(index)});
}

void CurveGraphModel::SetTipFor(int index) {
    const char* format = m_axisMode == 1 ? editor_texts::kTimeTip : editor_texts::kMapTip;
    m_tipText = FormatNumbers(
        format,
        {PointXValue(index), static_cast<double>(m_percents[static_cast<std::size_t>(index)])});
    m_tipPoint = index;
}

void CurveGraphModel::HideTip() {
    m_tipText.clear();
    m_tipPoint = -1;
}

bool CurveGraphModel::MouseDown(float x, float y, bool shift) {
    if (m_dragging) {
        return false;
    }
    if (m_banding) {
        MouseUp(x, y);  // the release of the band was not seen
    }
    const int hit = HitTest(x, y);
    if (hit >= 0 && shift) {
        // In or out of the selection; the point is not moved.
        PointSet selection = m_selection;
        selection.flip(static_cast<std::size_t>(hit));
        m_selected = hit;
        m_anchor = hit;
        SetSelection(selection);
        return false;
    }
    if (hit < 0) {
        m_banding = true;
        m_bandStart = GraphPoint{x, y};
        m_bandBase = shift ? m_selection : PointSet{};
        HideTip();
        MoveBand(x, y);
        return true;
    }
    m_dragIndex = hit;
    m_selected = hit;
    m_dragging = true;
    MoveDraggedPoint(x, y);  // the point jumps to the mouse's height at once
    return true;
}

void CurveGraphModel::MouseMove(float x, float y) {
    if (m_banding) {
        MoveBand(x, y);
        return;
    }
    if (m_dragging) {
        MoveDraggedPoint(x, y);
        SetTipFor(m_dragIndex);
        return;
    }
    const int hit = HitTest(x, y);
    if (hit >= 0) {
        SetTipFor(hit);
    } else if (!m_tipText.empty()) {
        HideTip();
    }
}

void CurveGraphModel::MouseUp(float x, float y) {
    if (m_banding) {
        MoveBand(x, y);
        m_banding = false;
        RepaintWhole();
        return;
    }
    if (!m_dragging) {
        return;
    }
    MoveDraggedPoint(x, y);
    m_dragging = false;
    m_dragIndex = -1;
    EndOfDrag();
}

PlotRect CurveGraphModel::Band() const {
    const float left = std::min(m_bandStart.x, m_bandEnd.x);
    const float top = std::min(m_bandStart.y, m_bandEnd.y);
    return PlotRect{left, top, std::max(m_bandStart.x, m_bandEnd.x) - left,
                    std::max(m_bandStart.y, m_bandEnd.y) - top};
}

void CurveGraphModel::MoveBand(float x, float y) {
    m_bandEnd = GraphPoint{x, y};
    const PlotRect band = Band();
    PointSet selection = m_bandBase;
    for (int i = 0; i < kPercentPoints; ++i) {
        const GraphPoint& p = m_points[static_cast<std::size_t>(i)];
        if (p.x >= band.left && p.x <= band.Right() && p.y >= band.top && p.y <= band.Bottom()) {
            selection.set(static_cast<std::size_t>(i));
        }
    }
    SetSelection(selection);
    RepaintWhole();  // the band itself
}

void CurveGraphModel::SetSelection(const PointSet& points) {
    if (points == m_selection) {
        return;
    }
    m_selection = points;
    Changed();
    RepaintWhole();
}

void CurveGraphModel::EndOfDrag() {
    if (m_dragEnded) {
        m_dragEnded();
    }
}

void CurveGraphModel::PickPoint(int index) {
    m_selected = std::clamp(index, 0, kLast);
    SetTipFor(m_selected);
    RepaintWhole();
}

void CurveGraphModel::MovePickedPoint(int delta) {
    if (m_selected < 0) {
        PickPoint(0);
        return;
    }
    const auto index = static_cast<std::size_t>(m_selected);
    const int target = std::clamp(static_cast<int>(m_percents[index]) + delta, 0, 100);
    if (target == m_percents[index]) {
        return;  // already at the end of the scale: nothing to record
    }
    m_percents[index] = static_cast<std::uint8_t>(target);
    m_points[index].y = PointY(m_selected);
    if (m_settings.Smooth) {
        SmoothAroundAnchor(m_selected);
    }
    Changed();
    PickPoint(m_selected);
    EndOfDrag();
}

void CurveGraphModel::PickWithKey(int index, bool shift) {
    if (!shift) {
        m_anchor = -1;
        PickPoint(index);
        return;
    }
    if (m_anchor < 0) {
        m_anchor = m_selected < 0 ? std::clamp(index, 0, kLast) : m_selected;
    }
    PickPoint(index);
    PointSet range;
    for (int i = std::min(m_anchor, m_selected); i <= std::max(m_anchor, m_selected); ++i) {
        range.set(static_cast<std::size_t>(i));
    }
    SetSelection(range);
}

bool CurveGraphModel::Key(GraphKey key, bool shift) {
    if (HasMouse()) {
        return false;
    }
    switch (key) {
        case GraphKey::Left:
            PickWithKey(m_selected < 0 ? 0 : m_selected - 1, shift);
            break;
        case GraphKey::Right:
            PickWithKey(m_selected < 0 ? 0 : m_selected + 1, shift);
            break;
        case GraphKey::Home:
            PickWithKey(0, shift);
            break;
        case GraphKey::End:
            PickWithKey(kLast, shift);
            break;
        case GraphKey::Escape:
            if (m_selection.none()) {
                return false;  // the key goes on to the window
            }
            m_anchor = -1;
            SetSelection({});
            break;
        case GraphKey::Up:
            MovePickedPoint(1);
            break;
        case GraphKey::Down:
            MovePickedPoint(-1);
            break;
        case GraphKey::PageUp:
            MovePickedPoint(kPageStep);
            break;
        case GraphKey::PageDown:
            MovePickedPoint(-kPageStep);
            break;
    }
    return true;
}

void CurveGraphModel::SetFocused(bool focused) {
    m_focused = focused;
    RepaintWhole();
}

}  // namespace zentrik
