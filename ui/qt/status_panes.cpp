#include "ui/qt/status_panes.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "editor/marker_texts.h"

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
    m_markers = new ElidingLabel(this);
    m_markers->setObjectName("markersPane");
    m_markers->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_markers->setToolTip(QString::fromUtf8(zentrik::marker_texts::kPaneTip));
    m_markers->installEventFilter(this);
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

void StatusPanes::SetMarkersText(const QString& text) {
    if (text != m_markers->text()) {
        m_markers->setText(text);
        LayOut();
    }
}

bool StatusPanes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_markers && event->type() == QEvent::MouseButtonDblClick) {
        emit markersDoubleClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

int StatusPanes::TextWidth(const QLabel* label) const {
    // Rounded up: a text given its rounded advance can lack a fraction of a pixel, and the
    // label then cuts it short with an ellipsis.
    return static_cast<int>(
        std::ceil(QFontMetricsF(label->font(), label).horizontalAdvance(label->text())));
}

QSize StatusPanes::sizeHint() const {
    const int gap = kGapChars * fontMetrics().averageCharWidth();
    return {TextWidth(m_status) + gap + TextWidth(m_statistics) + gap + TextWidth(m_markers),
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
    // The markers' pane has what the status text leaves, up to its own width.
    const int markersWidth = std::clamp(total - statusWidth - gap, 0, TextWidth(m_markers));
    const int markersRoom = markersWidth > 0 ? markersWidth + gap : 0;
    m_markers->setGeometry(total - markersWidth, 0, markersWidth, h);
    m_markers->setVisible(markersWidth > 0);
    const int rest = total - statusWidth - gap - markersRoom;
    const bool statistics =
        rest >= kShortestStatisticsChars * m_statistics->fontMetrics().averageCharWidth();
    // The status pane stretches over whatever the statistics leave.
    const int statisticsWidth = statistics ? std::min(rest, TextWidth(m_statistics)) : 0;
    const int left = total - markersRoom;
    m_status->setGeometry(0, 0, statistics ? left - statisticsWidth - gap : left, h);
    m_statistics->setGeometry(left - statisticsWidth, 0, statisticsWidth, h);
    m_statistics->setVisible(statistics);
}
