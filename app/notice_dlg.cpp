#include "app/notice_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_texts.h"

namespace texts = zentrik::app_texts;

CNoticeDlg::CNoticeDlg(QWidget* parent) : QDialog(parent) {
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
    m_ok->setMinimumWidth(
        m_ok->fontMetrics().horizontalAdvance(QString(texts::kNoticeButtonFormat).arg(88)) +
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

int CNoticeDlg::ShowNotice(int kind) {
    m_kind = kind;
    if (kind == Downloaded) {
        m_title = texts::kDownloadedTitle;
        m_message = texts::kDownloadedText;
    } else if (kind == Uploaded) {
        m_title = texts::kUploadedTitle;
        m_message = texts::kUploadedText;
    }
    // Set up once per showing: the dialog is shown again each time the window comes back
    // from being minimised, and that must not restart the count.
    m_text->setText(m_message);
    setWindowTitle(m_title);
    m_secondsLeft = texts::kNoticeSeconds;
    ShowSecondsLeft();
    m_timer.start();
    return exec();
}

void CNoticeDlg::Tick() {
    --m_secondsLeft;
    if (m_secondsLeft <= 0) {
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
    m_ok->setText(QString(texts::kNoticeButtonFormat).arg(m_secondsLeft));
}
