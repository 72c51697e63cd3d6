#include "app/banner_bar.h"

#include <QPainter>

#include "app/app_texts.h"
#include "app/svg_picture.h"
#include "app/web_site.h"

namespace {

constexpr QSize kBannerSize(520, 71);
constexpr int kBarHeight = 78;  // 48 dialog units

}  // namespace

CBannerBar::CBannerBar(QWidget* parent) : QWidget(parent) {
    setObjectName("bannerBar");
    m_picture = new SvgPicture(zentrik::app_texts::kBannerImage, kBannerSize, this);
    m_picture->setObjectName("control1037");
    m_picture->setToolTip(zentrik::app_texts::kWebSiteAddress);
    connect(m_picture, &SvgPicture::clicked, this, [] { OpenWebSite(); });
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
