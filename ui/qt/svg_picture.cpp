#include "ui/qt/svg_picture.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/qt/resources.h"

SvgPicture::SvgPicture(const QString& resource, QSize size, QWidget* parent)
    : QWidget(parent), m_renderer((EnsureResources(), resource)), m_size(size) {
    setFixedSize(size);
    setCursor(Qt::PointingHandCursor);
}

void SvgPicture::paintEvent(QPaintEvent* /*event*/) {
    // Rendered as vectors straight into the backing store, which has the screen's pixel
    // ratio, so the picture is never scaled from a bitmap.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(m_size)));
}

void SvgPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}
