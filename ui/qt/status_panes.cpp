#include "ui/qt/status_panes.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {

// Room between the two texts, in average characters.
constexpr int kGapChars = 3;
// Statistics narrower than this many characters say nothing useful and are not shown.
constexpr int kShortestStatisticsChars = 8;

}  // namespace

QSize ElidingLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void ElidingLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

StatusPanes::StatusPanes(QWidget* parent) : QWidget(parent) {
    m_status = new ElidingLabel(this);
    m_status->setObjectName("statusPane0");
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_statistics = new ElidingLabel(this);
    m_statistics->setObjectName("statisticsPane");
    m_statistics->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusPanes::SetTexts(const QString& status, const QString& statistics) {
    const bool same = status == m_status->text() && statistics == m_statistics->text();
    m_status->setText(status);
    m_statistics->setText(statistics);
    if (!same) {
        LayOut();
    }
}

int StatusPanes::TextWidth(const QLabel* label) const {
    return label->fontMetrics().horizontalAdvance(label->text());
}

QSize StatusPanes::sizeHint() const {
    const int gap = kGapChars * fontMetrics().averageCharWidth();
    return {TextWidth(m_status) + gap + TextWidth(m_statistics),
            std::max(m_status->sizeHint().height(), m_statistics->sizeHint().height())};
}

QSize StatusPanes::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void StatusPanes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

void StatusPanes::LayOut() {
    const int total = width();
    const int h = height();
    const int gap = kGapChars * fontMetrics().averageCharWidth();
    const int statusWidth = std::min(total, TextWidth(m_status));
    const int rest = total - statusWidth - gap;
    const bool statistics =
        rest >= kShortestStatisticsChars * m_statistics->fontMetrics().averageCharWidth();
    // The status pane stretches over whatever the statistics leave.
    const int statisticsWidth = statistics ? std::min(rest, TextWidth(m_statistics)) : 0;
    m_status->setGeometry(0, 0, statistics ? total - statisticsWidth - gap : total, h);
    m_statistics->setGeometry(total - statisticsWidth, 0, statisticsWidth, h);
    m_statistics->setVisible(statistics);
}
