#include "ui/qt/curve_graph.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <utility>

#include "editor/editor_texts.h"

namespace zentrik {

namespace {

constexpr int kLast = kPercentPoints - 1;
constexpr int kMarkerSize = CurveGraphModel::kMarkerSize;
constexpr float kInset = CurveGraphModel::kInset;
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
const QColor kOutOfRangeSurround(220, 40, 40);
constexpr int kBandAlpha = 60;
// A selected point's sprite: the marker with a ring round it.
constexpr int kSelectedMarkerSize = kMarkerSize + 8;
// How far a line of the curve reaches either side of its points.
constexpr double kPenReach = 2.0;

QPointF ToQt(const GraphPoint& p) {
    return {p.x, p.y};
}

}  // namespace

CCurveGraph::CCurveGraph(CurveGraphModel& model, QWidget* parent)
    : QWidget(parent), m_model(model) {
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

QPointF CCurveGraph::PointPosition(int index) const {
    return ToQt(m_model.PointPosition(index));
}

void CCurveGraph::Sync() {
    const GraphRepaint repaint = m_model.TakeRepaint();
    if (repaint.whole || m_model.BackgroundDirty()) {
        update();
    } else if (!repaint.Empty()) {
        const int x0 = std::max(0, static_cast<int>(std::floor(repaint.left)));
        const int x1 = std::min(width(), static_cast<int>(std::ceil(repaint.right)));
        update(QRect(x0, 0, x1 - x0, height()));
    }
}

void CCurveGraph::ShowTip(const QPoint& globalPos) {
    const QString tip = QString::fromStdString(m_model.TipText());
    if (tip.isEmpty()) {
        if (!m_shownTip.isEmpty() && m_model.TipCreated()) {
            QToolTip::hideText();
        }
    } else if (m_model.TipCreated()) {
        QToolTip::showText(globalPos, tip, this);
    }
    m_shownTip = tip;
}

void CCurveGraph::AfterInput(const QPoint& tipAt) {
    ShowTip(tipAt);
    Sync();
    emit changed();
}

void CCurveGraph::mousePressEvent(QMouseEvent* event) {
    // Qt grabs the mouse for the widget that took the press until the button is released.
    if (event->button() == Qt::LeftButton) {
        m_model.MouseDown(static_cast<float>(event->position().x()),
                          static_cast<float>(event->position().y()),
                          event->modifiers().testFlag(Qt::ShiftModifier));
        event->accept();
        AfterInput(event->globalPosition().toPoint());
        return;
    }
    QWidget::mousePressEvent(event);
}

void CCurveGraph::mouseMoveEvent(QMouseEvent* event) {
    m_model.MouseMove(static_cast<float>(event->position().x()),
                      static_cast<float>(event->position().y()));
    AfterInput(event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CCurveGraph::mouseReleaseEvent(QMouseEvent* event) {
    if (m_model.HasMouse() && event->button() == Qt::LeftButton) {
        m_model.MouseUp(static_cast<float>(event->position().x()),
                        static_cast<float>(event->position().y()));
        event->accept();
        AfterInput(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CCurveGraph::keyPressEvent(QKeyEvent* event) {
    GraphKey key;
    switch (event->key()) {
        case Qt::Key_Left:
            key = GraphKey::Left;
            break;
        case Qt::Key_Right:
            key = GraphKey::Right;
            break;
        case Qt::Key_Home:
            key = GraphKey::Home;
            break;
        case Qt::Key_End:
            key = GraphKey::End;
            break;
        case Qt::Key_Up:
            key = GraphKey::Up;
            break;
        case Qt::Key_Down:
            key = GraphKey::Down;
            break;
        case Qt::Key_PageUp:
            key = GraphKey::PageUp;
            break;
        case Qt::Key_PageDown:
            key = GraphKey::PageDown;
            break;
        case Qt::Key_Escape:
            key = GraphKey::Escape;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    if (!m_model.Key(key, event->modifiers().testFlag(Qt::ShiftModifier))) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    const int picked = std::max(0, m_model.SelectedIndex());
    AfterInput(mapToGlobal(PointPosition(picked).toPoint()));
}

void CCurveGraph::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    m_model.SetFocused(true);
    Sync();
}

void CCurveGraph::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    m_model.SetFocused(false);
    Sync();
}

void CCurveGraph::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        m_model.bufferClean();
        m_selectedMarker = QPixmap();  // drawn in the palette's highlight
        update();
    }
    QWidget::changeEvent(event);
}

void CCurveGraph::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_model.Resize(width(), height());
    Sync();
}

void CCurveGraph::RenderBackground() {
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    QPainter painter(&m_background);
    DrawBackground(painter);
    m_model.BackgroundDrawn();
    ++m_backgroundRenders;
}

void CCurveGraph::paintEvent(QPaintEvent* event) {
    const qreal ratio = devicePixelRatioF();
    if (m_model.BackgroundDirty() || m_background.devicePixelRatio() != ratio ||
        m_background.size() != size() * ratio) {
        RenderBackground();
    }
    ++m_paints;
    const QRect exposed = event->rect();
    QPainter painter(this);
    painter.drawPixmap(exposed, m_background,
                       QRectF(exposed.topLeft() * ratio, exposed.size() * ratio));
    DrawForeground(painter, exposed);
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
    for (const double x : m_model.VerticalGridX()) {
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (const double y : m_model.HorizontalGridY()) {
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

void CCurveGraph::RenderMarkers(qreal ratio) {
    // A 12 x 12 circle with its outline, on a transparent square one pixel larger each side.
    // A selected point's is filled with the palette's highlight and ringed with it.
    const auto sprite = [ratio](int side) {
        QPixmap pixmap(QSize(side, side) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        return pixmap;
    };
    const double radius = kMarkerSize / 2.0;
    const auto drawMarker = [radius](QPainter& painter, QPointF centre, const QColor& surround) {
        QRadialGradient marker(centre, radius, centre - QPointF(3, 3));
        marker.setColorAt(0.0, kMarkerCentre);
        marker.setColorAt(1.0, surround);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(marker);
        painter.drawEllipse(centre, radius, radius);
    };
    // A point whose value lies above the plot is drawn on its edge, ringed in red.
    for (auto [pixmap, surround] : {std::pair{&m_marker, kMarkerSurround},
                                    std::pair{&m_outOfRangeMarker, kOutOfRangeSurround}}) {
        *pixmap = sprite(kMarkerSize + 2);
        QPainter painter(pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        drawMarker(painter, QPointF(radius + 1, radius + 1), surround);
    }
    const QColor highlight = palette().color(QPalette::Highlight);
    m_selectedMarker = sprite(kSelectedMarkerSize);
    QPainter painter(&m_selectedMarker);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(kSelectedMarkerSize / 2.0, kSelectedMarkerSize / 2.0);
    drawMarker(painter, centre, highlight);
    painter.setPen(QPen(highlight, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, radius + 2.5, radius + 2.5);
}

void CCurveGraph::DrawForeground(QPainter& painter, const QRect& exposed) {
    const PlotRect& plot = m_model.Plot();
    const auto& points = m_model.Points();
    const double bottom = plot.Bottom();
    const double right = plot.Right();
    const double exposedLeft = exposed.left();
    const double exposedRight = exposed.right() + 1;

    // Only the part of the curve over the stretch being painted, from the last point left of
    // it to the first point right of it: a drag paints a few segments, not the whole curve.
    int first = 0;
    int last = kLast;
    for (int i = 0; i < kPercentPoints; ++i) {
        if (points[static_cast<std::size_t>(i)].x <= exposedLeft - kPenReach) {
            first = i;
        }
    }
    for (int i = kLast; i >= 0; --i) {
        if (points[static_cast<std::size_t>(i)].x >= exposedRight + kPenReach) {
            last = i;
        }
    }
    // The area: up from the bottom to the first point, along the points, then across to the
    // right edge at point 19's height and down (or straight down from the last point). The
    // line follows every edge of it but the bottom and the right one.
    QPolygonF area;
    area.reserve(kPercentPoints + 3);
    area << QPointF(points[static_cast<std::size_t>(first)].x, bottom);
    for (int i = first; i <= last; ++i) {
        area << ToQt(points[static_cast<std::size_t>(i)]);
    }
    const int lineStart = first == 0 ? 0 : 1;
    int lineCount = static_cast<int>(area.size()) - lineStart;
    if (last == kLast) {
        area << QPointF(right, points[kLast].y) << QPointF(right, bottom);
        ++lineCount;
    } else {
        area << QPointF(points[static_cast<std::size_t>(last)].x, bottom);
    }
    // The area's edges lie under the antialiased line, so the fill itself can do without.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAreaColour);
    painter.drawPolygon(area, Qt::OddEvenFill);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(area.constData() + lineStart, lineCount);

    // The 20 markers are two sprites, drawn once per pixel ratio.
    const qreal ratio = painter.device()->devicePixelRatioF();
    if (m_marker.isNull() || m_selectedMarker.isNull() || m_marker.devicePixelRatio() != ratio) {
        RenderMarkers(ratio);
    }
    const PointSet& selection = m_model.Selection();
    for (int i = 0; i < kPercentPoints; ++i) {
        const GraphPoint& p = points[static_cast<std::size_t>(i)];
        const bool selected = selection.test(static_cast<std::size_t>(i));
        const double half = (selected ? kSelectedMarkerSize : kMarkerSize + 2) / 2.0;
        if (p.x + half < exposedLeft || p.x - half > exposedRight) {
            continue;
        }
        // On whole device pixels, so the sprite is copied rather than resampled.
        const QPointF corner = ToQt(p) - QPointF(half, half);
        painter.drawPixmap(
            QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
            selected ? m_selectedMarker : (m_model.OutOfRange(i) ? m_outOfRangeMarker : m_marker));
    }

    if (m_model.IsBanding()) {
        const PlotRect band = m_model.Band();
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(kBandAlpha);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1));
        painter.setBrush(fill);
        painter.drawRect(QRectF(band.left, band.top, band.width, band.height));
    }
    if (hasFocus()) {
        DrawFocus(painter, exposed);
    }
}

void CCurveGraph::DrawFocus(QPainter& painter, const QRect& exposed) {
    const QColor highlight = palette().color(QPalette::Highlight);
    if (m_model.SelectedIndex() >= 0) {
        const double ring = kMarkerSize / 2.0 + 3;
        painter.setPen(QPen(highlight, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(PointPosition(m_model.SelectedIndex()), ring, ring);
    }
    // A frame of the highlight round the control, within the stretch being painted only.
    const QRect bounds = rect();
    for (const QRect& edge : {QRect(bounds.left(), bounds.top(), bounds.width(), 1),
                              QRect(bounds.left(), bounds.bottom(), bounds.width(), 1),
                              QRect(bounds.left(), bounds.top(), 1, bounds.height()),
                              QRect(bounds.right(), bounds.top(), 1, bounds.height())}) {
        const QRect shown = edge & exposed;
        if (!shown.isEmpty()) {
            painter.fillRect(shown, highlight);
        }
    }
}

}  // namespace zentrik
