#include "ui/qt/notice_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/shell_texts.h"

namespace texts = zentrik::shell_texts;

CNoticeDlg::CNoticeDlg(zentrik::NoticeCountdown& countdown, QWidget* parent)
    : QDialog(parent), m_countdown(countdown) {
    setObjectName("noticeDialog");
    setWindowTitle(texts::kNoticeInitialCaption);
    m_text = new QLabel(texts::kNoticeInitialText, this);
    m_text->setObjectName("control1040");
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 44);
    m_ok = new QPushButton(texts::kOk, this);
    m_ok->setObjectName("control1");
    m_ok->setDefault(true);
    // Wide enough for the longest countdown text, so the button never changes size.
    m_ok->setMinimumWidth(m_ok->fontMetrics().horizontalAdvance(QStringLiteral("OK [88 sec]")) +
                          m_ok->fontMetrics().averageCharWidth() * 4);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_timer.setInterval(texts::kNoticeTickMs);
    connect(&m_timer, &QTimer::timeout, this, &CNoticeDlg::Tick);
}

int CNoticeDlg::ShowNotice() {
    // Set up once per showing (the countdown was started by its owner): the dialog is shown
    // again each time the window comes back from being minimised, which must not restart it.
    m_text->setText(QString::fromStdString(m_countdown.Message()));
    setWindowTitle(QString::fromStdString(m_countdown.Title()));
    ShowSecondsLeft();
    m_timer.start();
    return exec();
}

void CNoticeDlg::Tick() {
    const bool over = m_countdown.Tick();
    if (over) {
        m_timer.stop();
        accept();
    }
    ShowSecondsLeft();
}

void CNoticeDlg::done(int result) {
    m_timer.stop();
    QDialog::done(result);
}

void CNoticeDlg::ShowSecondsLeft() {
    m_ok->setText(QString::fromStdString(m_countdown.ButtonText()));
}
