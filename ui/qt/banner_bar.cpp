#include "ui/qt/banner_bar.h"

#include <QPainter>

#include "shell/shell_texts.h"
#include "ui/qt/resources.h"
#include "ui/qt/svg_picture.h"

namespace {

constexpr QSize kBannerSize(520, 71);
constexpr int kBarHeight = 78;  // 48 dialog units

}  // namespace

CBannerBar::CBannerBar(QWidget* parent) : QWidget(parent) {
    setObjectName("bannerBar");
    m_picture = new SvgPicture(kBannerImage, kBannerSize, this);
    m_picture->setObjectName("control1037");
    m_picture->setToolTip(zentrik::shell_texts::kWebSiteAddress);
    connect(m_picture, &SvgPicture::clicked, this, &CBannerBar::pictureClicked);
    setFixedHeight(kBarHeight);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize CBannerBar::sizeHint() const {
    return {kBannerSize.width(), kBarHeight};
}

QSize CBannerBar::minimumSizeHint() const {
    return {0, kBarHeight};
}

void CBannerBar::paintEvent(QPaintEvent* /*event*/) {
    QPainter(this).fillRect(rect(), Qt::black);
}

void CBannerBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int spare = width() - m_picture->width();
    m_picture->move(spare > 0 ? spare / 2 : 0, 0);
    update();
}
