#include "app/upgrade_progress_dlg.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "app/app_texts.h"

namespace texts = zentrik::app_texts;

CUpgradeProgressDlg::CUpgradeProgressDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("upgradeProgressDialog");
    setWindowTitle(texts::kProgressCaption);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName("control1048");
    m_bar->setTextVisible(false);
    m_ok = new QPushButton(texts::kOk, this);
    m_ok->setObjectName("control1");
    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_text = new QLabel(this);
    m_text->setObjectName("control1049");
    m_text->setWordWrap(true);
    const int lineHeight = m_text->fontMetrics().lineSpacing();
    m_text->setMinimumSize(m_text->fontMetrics().averageCharWidth() * 48, lineHeight * 2);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(m_ok, &QPushButton::clicked, this, &CUpgradeProgressDlg::accept);

    // The OK button shares the bar's row and takes its place once the bar is hidden.
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_bar, 0, 0);
    layout->addWidget(m_ok, 0, 0, Qt::AlignHCenter);
    layout->addWidget(m_text, 1, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_repaint.setSingleShot(true);
    m_repaint.setTimerType(Qt::CoarseTimer);
    connect(&m_repaint, &QTimer::timeout, this, &CUpgradeProgressDlg::ShowPendingStep);
}

int CUpgradeProgressDlg::RunUpgrade(int total, zentrik::FirmwareUnitSource& source) {
    m_total = total;
    m_running = true;
    m_finished = false;
    m_stepPending = false;
    m_repaint.stop();
    // The range's upper bound is a 16-bit value.
    m_bar->setRange(0, total & 0xFFFF);
    m_bar->setValue(0);
    m_bar->show();
    m_text->setText(texts::kProgressBeginning);
    m_ok->hide();
    m_sinceShown.start();
    source.SendNextFirmwareUnit();
    exec();
    m_running = false;
    return 0;
}

void CUpgradeProgressDlg::ShowStep(int step) {
    if (step == -1) {
        ShowPendingStep();
        m_text->setText(texts::kProgressChecking);
        return;
    }
    m_pendingStep = step;
    m_stepPending = true;
    if (m_repaint.isActive()) {
        return;
    }
    const qint64 elapsed = m_sinceShown.elapsed();
    if (elapsed >= kRepaintMs) {
        ShowPendingStep();
    } else {
        m_repaint.start(static_cast<int>(kRepaintMs - elapsed));
    }
}

void CUpgradeProgressDlg::ShowPendingStep() {
    m_repaint.stop();
    if (!m_stepPending) {
        return;
    }
    m_stepPending = false;
    m_bar->setValue(m_pendingStep);
    m_text->setText(QString(texts::kProgressSendingFormat).arg(m_pendingStep).arg(m_total));
    m_sinceShown.restart();
}

void CUpgradeProgressDlg::Finish(const QString& text) {
    ShowPendingStep();
    m_finished = true;
    m_text->setText(text);
    m_bar->hide();
    m_ok->show();
    m_ok->setFocus();
    emit transferEnded();
}

void CUpgradeProgressDlg::FinishWithText(const QString& text) {
    Finish(text);
}

void CUpgradeProgressDlg::FinishWithSuccess() {
    Finish(texts::kProgressSuccess);
}

void CUpgradeProgressDlg::accept() {
    // OK (button or Enter) closes only once the result is shown.
    if (m_finished && !m_ok->isHidden()) {
        done(0);
    }
}

void CUpgradeProgressDlg::reject() {
    // Escape and the close box never close it.
}

void CUpgradeProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}
