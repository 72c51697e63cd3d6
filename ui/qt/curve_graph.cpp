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
    if (event->button() == Qt::LeftButton &&
        m_model.MouseDown(static_cast<float>(event->position().x()),
                          static_cast<float>(event->position().y()))) {
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
    if (m_model.IsDragging() && event->button() == Qt::LeftButton) {
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
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    if (!m_model.Key(key)) {
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

void CCurveGraph::paintEvent(QPaintEvent* /*event*/) {
    const qreal ratio = devicePixelRatioF();
    if (m_model.BackgroundDirty() || m_background.devicePixelRatio() != ratio ||
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
    for (const double x : m_model.VerticalGridX()) {
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    for (const double y : m_model.HorizontalGridY()) {
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
}

QPixmap CCurveGraph::RenderMarker(qreal ratio, const QColor& surround) {
    // A 12 x 12 circle with its outline, on a transparent square one pixel larger each side.
    const int side = kMarkerSize + 2;
    QPixmap sprite(QSize(side, side) * ratio);
    sprite.setDevicePixelRatio(ratio);
    sprite.fill(Qt::transparent);
    QPainter painter(&sprite);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(side / 2.0, side / 2.0);
    const double radius = kMarkerSize / 2.0;
    QRadialGradient marker(centre, radius, centre - QPointF(3, 3));
    marker.setColorAt(0.0, kMarkerCentre);
    marker.setColorAt(1.0, surround);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(marker);
    painter.drawEllipse(centre, radius, radius);
    painter.end();
    return sprite;
}

void CCurveGraph::DrawForeground(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing);
    const PlotRect& plot = m_model.Plot();
    const auto& points = m_model.Points();
    const double bottom = plot.Bottom();
    const double right = plot.Right();

    QPolygonF area;
    area.reserve(kPercentPoints + 3);
    area << QPointF(points[0].x, bottom);
    for (const GraphPoint& p : points) {
        area << ToQt(p);
    }
    area << QPointF(right, points[kLast].y) << QPointF(right, bottom);
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
        m_marker = RenderMarker(ratio, kMarkerSurround);
        m_outOfRangeMarker = RenderMarker(ratio, kOutOfRangeSurround);
    }
    const double radius = kMarkerSize / 2.0;
    const double half = kMarkerSize / 2.0 + 1;
    for (int i = 0; i < kPercentPoints; ++i) {
        // On whole device pixels, so the sprite is copied rather than resampled.
        const QPointF corner = ToQt(points[static_cast<std::size_t>(i)]) - QPointF(half, half);
        painter.drawPixmap(
            QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
            m_model.OutOfRange(i) ? m_outOfRangeMarker : m_marker);
    }

    if (hasFocus()) {
        const QColor highlight = palette().color(QPalette::Highlight);
        painter.setBrush(Qt::NoBrush);
        if (m_model.SelectedIndex() >= 0) {
            painter.setPen(QPen(highlight, 2));
            painter.drawEllipse(PointPosition(m_model.SelectedIndex()), radius + 3, radius + 3);
        }
        painter.setPen(QPen(highlight, 1, Qt::DotLine));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

}  // namespace zentrik
