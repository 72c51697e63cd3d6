#include "editor/curve_graph.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "config/app_settings.h"
#include "editor/editor_texts.h"

namespace zentrik {

namespace {

constexpr int kLast = kPercentPoints - 1;
constexpr int kMarkerSize = 12;
constexpr int kPageStep = 10;
// The graph's place on the form: 315 x 99 dialog units (4 per average character across,
// 8 per line height down), and what still leaves the curve workable.
constexpr int kWidthDialogUnits = 315;
constexpr int kHeightDialogUnits = 99;
constexpr int kMinimumWidth = 240;
constexpr int kMinimumHeight = 100;

const QColor kShadowCentre(0, 0, 0, 150);
const QColor kShadowSurround(120, 120, 120, 50);
const QColor kPlotLight(240, 240, 240);
const QColor kPlotDark(180, 180, 180);
const QColor kGridColour(150, 150, 150, 220);
const QColor kAreaColour(100, 220, 100, 190);
const QColor kMarkerCentre(240, 240, 240);
const QColor kMarkerSurround(90, 190, 220);

int Truncate(float value) {
    return static_cast<int>(std::trunc(value));
}

}  // namespace

CCurveGraph::CCurveGraph(const AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // hovering a point shows its tooltip
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QString::fromUtf8(editor_texts::kGraphName));
    setAccessibleDescription(QString::fromUtf8(editor_texts::kGraphDescription));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize CCurveGraph::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    return {kWidthDialogUnits * metrics.averageCharWidth() / 4,
            kHeightDialogUnits * metrics.height() / 8};
}

QSize CCurveGraph::minimumSizeHint() const {
    return {kMinimumWidth, kMinimumHeight};
}

void CCurveGraph::CreateTip() {
    m_tipCreated = true;
}

void CCurveGraph::SetAxisMode(int mode) {
    m_axisMode = mode;
}

void CCurveGraph::SetRange(double xStart, double xEnd) {
    m_xStart = xStart;
    m_xEnd = xEnd;
    bufferClean();
    update();
}

void CCurveGraph::SetStartPoint(double xStart, std::uint8_t percent) {
    m_xStart = xStart;
    const bool changed = m_percents[0] != percent;
    m_percents[0] = percent;
    ComputeLayout();
    if (changed && m_settings.Smooth) {
        SmoothAroundAnchor(0);
    }
    bufferClean();
    update();
}

void CCurveGraph::SetEndPoint(double xEnd, std::uint8_t percent) {
    m_xEnd = xEnd;
    const bool changed = m_percents[kLast] != percent;
    m_percents[kLast] = percent;
    ComputeLayout();
    if (changed && m_settings.Smooth) {
        SmoothAroundAnchor(kLast);
    }
    bufferClean();
    update();
}

void CCurveGraph::SetCurve(double xStart, double xEnd, const Curve& percents) {
    m_xStart = xStart;
    m_xEnd = xEnd;
    m_percents = percents;
    ComputeLayout();
    update();
}

void CCurveGraph::bufferClean() {
    m_backgroundDirty = true;
}

QPointF CCurveGraph::PointPosition(int index) const {
    return m_points[static_cast<std::size_t>(index)];
}

float CCurveGraph::PointY(int index) const {
    const float top = static_cast<float>(m_plotRect.top());
    const float height = static_cast<float>(m_plotRect.height());
    return top + height - height * m_percents[static_cast<std::size_t>(index)] / 100.0f;
}

void CCurveGraph::ComputeLayout() {
    if (!m_layoutValid) {
        m_plotRect = QRectF(kInset, kInset, width() - 2 * kInset, height() - 2 * kInset);
        m_layoutValid = true;
    }
    const float left = static_cast<float>(m_plotRect.left());
    const float plotWidth = static_cast<float>(m_plotRect.width());
    for (int i = 0; i < kPercentPoints; ++i) {
        const float x = left + static_cast<float>(i) * plotWidth * kOneNineteenth;
        m_points[static_cast<std::size_t>(i)] = QPointF(x, PointY(i));
    }
}

int CCurveGraph::HitTest(const QPointF& position) const {
    for (int i = 0; i < kPercentPoints; ++i) {
        const QPointF& p = m_points[static_cast<std::size_t>(i)];
        const int dx = Truncate(static_cast<float>(position.x()) - static_cast<float>(p.x()));
        const int dy = Truncate(static_cast<float>(position.y()) - static_cast<float>(p.y()));
        if (std::abs(dx) < kHitTolerance && std::abs(dy) < kHitTolerance) {
            return i;
        }
    }
    return -1;
}

void CCurveGraph::SmoothAroundAnchor(int anchor) {
    m_dragIndex = anchor;
    const Curve before = m_percents;
    SmoothAround(m_percents, anchor);
    for (int i = 0; i < kPercentPoints; ++i) {
        auto& point = m_points[static_cast<std::size_t>(i)];
        if (i != anchor &&
            m_percents[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)]) {
            point.setY(PointY(i));
        }
    }
    if (!m_dragging) {
        m_dragIndex = -1;
    }
}

void CCurveGraph::MoveDraggedPoint(const QPointF& position) {
    const float top = static_cast<float>(m_plotRect.top());
    const float height = static_cast<float>(m_plotRect.height());
    float y = static_cast<float>(position.y());
    if (y < top) {
        y = std::trunc(top);
    } else if (y > top + height) {
        y = std::trunc(top + height);
    }
    if (!m_dragging || m_dragIndex < 0) {
        update();
        return;
    }
    const Curve before = m_percents;
    const auto index = static_cast<std::size_t>(m_dragIndex);
    m_points[index].setY(y);
    const float percent = height > 0 ? 100.0f - (y - top) * 100.0f / height : 0.0f;
    m_percents[index] = static_cast<std::uint8_t>(std::clamp(Truncate(percent), 0, 100));
    if (m_settings.Smooth) {
        SmoothAroundAnchor(m_dragIndex);
    }
    // Only the stretch of curve around the points that moved is painted again.
    int first = m_dragIndex;
    int last = m_dragIndex;
    for (int i = 0; i < kPercentPoints; ++i) {
        if (m_percents[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)]) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
    }
    UpdateAround(first, last);
}

void CCurveGraph::UpdateAround(int first, int last) {
    // The segments either side of the moved points, their markers and the picked-point ring.
    const double reach = kMarkerSize / 2.0 + 6;
    const double left = first > 0 ? m_points[static_cast<std::size_t>(first - 1)].x() - reach : 0.0;
    const double right = last < kLast ? m_points[static_cast<std::size_t>(last + 1)].x() + reach
                                      : static_cast<double>(width());
    const int x0 = std::max(0, static_cast<int>(std::floor(left)));
    const int x1 = std::min(width(), static_cast<int>(std::ceil(right)));
    update(QRect(x0, 0, x1 - x0, height()));
}

double CCurveGraph::PointXValue(int index) const {
    const double plotWidth = m_plotRect.width();
    if (plotWidth <= 0) {
        return m_xStart;
    }
    const double offset = m_points[static_cast<std::size_t>(index)].x() - m_plotRect.left();
    return m_xStart + offset / plotWidth * (m_xEnd - m_xStart);
}

void CCurveGraph::SetTipFor(int index, const QPoint& globalPos) {
    const char* format = m_axisMode == 1 ? editor_texts::kTimeTip : editor_texts::kMapTip;
    m_tipText = QString::asprintf(format, PointXValue(index),
                                  static_cast<int>(m_percents[static_cast<std::size_t>(index)]));
    if (m_tipCreated) {
        QToolTip::showText(globalPos, m_tipText, this);
    }
}

void CCurveGraph::HideTip() {
    m_tipText.clear();
    if (m_tipCreated) {
        QToolTip::hideText();
    }
}

void CCurveGraph::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_dragging) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int hit = HitTest(event->position());
    if (hit < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt grabs the mouse for the widget that took the press until the button is released.
    m_dragIndex = hit;
    m_selected = hit;
    m_dragging = true;
    MoveDraggedPoint(event->position());
    event->accept();
}

void CCurveGraph::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        MoveDraggedPoint(event->position());
        SetTipFor(m_dragIndex, event->globalPosition().toPoint());
    } else {
        const int hit = HitTest(event->position());
        if (hit >= 0) {
            SetTipFor(hit, event->globalPosition().toPoint());
        } else if (!m_tipText.isEmpty()) {
            HideTip();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void CCurveGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (m_dragging && event->button() == Qt::LeftButton) {
        MoveDraggedPoint(event->position());
        m_dragging = false;
        m_dragIndex = -1;
        emit curveDragged();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CCurveGraph::PickPoint(int index) {
    m_selected = std::clamp(index, 0, kLast);
    const QPoint local = m_points[static_cast<std::size_t>(m_selected)].toPoint();
    SetTipFor(m_selected, mapToGlobal(local));
    update();
}

void CCurveGraph::MovePickedPoint(int delta) {
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
    m_points[index].setY(PointY(m_selected));
    if (m_settings.Smooth) {
        SmoothAroundAnchor(m_selected);
    }
    PickPoint(m_selected);
    emit curveDragged();
}

void CCurveGraph::keyPressEvent(QKeyEvent* event) {
    if (m_dragging) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
        case Qt::Key_Left:
            PickPoint(m_selected < 0 ? 0 : m_selected - 1);
            break;
        case Qt::Key_Right:
            PickPoint(m_selected < 0 ? 0 : m_selected + 1);
            break;
        case Qt::Key_Home:
            PickPoint(0);
            break;
        case Qt::Key_End:
            PickPoint(kLast);
            break;
        case Qt::Key_Up:
            MovePickedPoint(1);
            break;
        case Qt::Key_Down:
            MovePickedPoint(-1);
            break;
        case Qt::Key_PageUp:
            MovePickedPoint(kPageStep);
            break;
        case Qt::Key_PageDown:
            MovePickedPoint(-kPageStep);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CCurveGraph::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void CCurveGraph::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void CCurveGraph::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        bufferClean();
        update();
    }
    QWidget::changeEvent(event);
}

void CCurveGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bufferClean();
    m_layoutValid = false;
    ComputeLayout();
    update();
}

void CCurveGraph::RenderBackground() {
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    QPainter painter(&m_background);
    DrawBackground(painter);
    m_backgroundDirty = false;
    ++m_backgroundRenders;
}

void CCurveGraph::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (m_backgroundDirty || m_background.devicePixelRatio() != ratio ||
        m_background.size() != size() * ratio) {
        RenderBackground();
    }
    ++m_paints;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    DrawForeground(painter);
}

void CCurveGraph::DrawBackground(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), palette().color(QPalette::Window));

    const QRectF plot(kInset, kInset, width() - 2 * kInset, height() - 2 * kInset);
    if (plot.width() <= 0 || plot.height() <= 0) {
        return;
    }

    // Shadow, offset down and right, darkest in the middle.
    QRadialGradient shadow(0.5, 0.5, 0.5);
    shadow.setCoordinateMode(QGradient::ObjectBoundingMode);
    shadow.setColorAt(0.0, kShadowCentre);
    shadow.setColorAt(1.0, kShadowSurround);
    painter.fillRect(plot.translated(4, 4), shadow);

    QLinearGradient face(plot.topLeft(), plot.bottomRight());
    face.setColorAt(0.0, kPlotLight);
    face.setColorAt(1.0, kPlotDark);
    painter.fillRect(plot, face);

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    painter.setPen(QPen(kGridColour, 1));
    const double span = m_xEnd - m_xStart;
    for (double v : VerticalGridValues(m_xStart, m_xEnd)) {
        const double x = plot.left() + (v - m_xStart) / span * plot.width();
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (int k = 1; k < 10; ++k) {
        const double y = plot.top() + k * plot.height() * 0.1;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

void CCurveGraph::RenderMarker(qreal ratio) {
    // A 12 x 12 circle with its outline, on a transparent square one pixel larger each side.
    const int side = kMarkerSize + 2;
    m_marker = QPixmap(QSize(side, side) * ratio);
    m_marker.setDevicePixelRatio(ratio);
    m_marker.fill(Qt::transparent);
    QPainter painter(&m_marker);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(side / 2.0, side / 2.0);
    const double radius = kMarkerSize / 2.0;
    QRadialGradient marker(centre, radius, centre - QPointF(3, 3));
    marker.setColorAt(0.0, kMarkerCentre);
    marker.setColorAt(1.0, kMarkerSurround);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(marker);
    painter.drawEllipse(centre, radius, radius);
}

void CCurveGraph::DrawForeground(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const double bottom = m_plotRect.top() + m_plotRect.height();
    const double right = m_plotRect.left() + m_plotRect.width();

    QPolygonF area;
    area.reserve(kPercentPoints + 3);
    area << QPointF(m_points[0].x(), bottom);
    for (const QPointF& p : m_points) {
        area << p;
    }
    area << QPointF(right, m_points[kLast].y()) << QPointF(right, bottom);
    // The area's edges lie under the antialiased line, so the fill itself can do without.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAreaColour);
    painter.drawPolygon(area, Qt::OddEvenFill);
    painter.setRenderHint(QPainter::Antialiasing);

    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(area.constData(), kPercentPoints + 2);

    // The 20 markers are one sprite, drawn once per pixel ratio.
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (m_marker.isNull() || m_marker.devicePixelRatio() != ratio) {
        RenderMarker(ratio);
    }
    const double radius = kMarkerSize / 2.0;
    const double half = kMarkerSize / 2.0 + 1;
    for (const QPointF& p : m_points) {
        // On whole device pixels, so the sprite is copied rather than resampled.
        const QPointF corner = p - QPointF(half, half);
        painter.drawPixmap(
            QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
            m_marker);
    }

    if (hasFocus()) {
        const QColor highlight = palette().color(QPalette::Highlight);
        painter.setBrush(Qt::NoBrush);
        if (m_selected >= 0) {
            painter.setPen(QPen(highlight, 2));
            painter.drawEllipse(m_points[static_cast<std::size_t>(m_selected)], radius + 3,
                                radius + 3);
        }
        painter.setPen(QPen(highlight, 1, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

}  // namespace zentrik
