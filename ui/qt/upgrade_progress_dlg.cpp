#include "ui/qt/upgrade_progress_dlg.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "shell/shell_texts.h"

namespace texts = zentrik::shell_texts;

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
    connect(&m_repaint, &QTimer::timeout, this, &CUpgradeProgressDlg::ShowNow);
}

void CUpgradeProgressDlg::RunUpgrade(zentrik::UpgradeProgress& progress,
                                     zentrik::FirmwareUnitSource& source) {
    m_progress = &progress;
    m_repaint.stop();
    m_bar->setRange(0, progress.BarMaximum());
    ShowNow();
    m_sinceShown.start();
    source.SendNextFirmwareUnit();
    exec();
}

void CUpgradeProgressDlg::ShowProgress() {
    if (m_progress == nullptr) {
        return;
    }
    // The first packet, the checksum step and the result are shown at once.
    if (m_progress->Finished() || m_progress->Step() <= 0) {
        ShowNow();
        return;
    }
    if (m_repaint.isActive()) {
        return;
    }
    const qint64 elapsed = m_sinceShown.elapsed();
    if (elapsed >= kRepaintMs) {
        ShowNow();
    } else {
        m_repaint.start(static_cast<int>(kRepaintMs - elapsed));
    }
}

void CUpgradeProgressDlg::ShowNow() {
    m_repaint.stop();
    const bool wasFinished = m_ok->isVisibleTo(this);
    m_bar->setValue(m_progress->BarValue());
    m_text->setText(QString::fromStdString(m_progress->Text()));
    m_bar->setVisible(m_progress->BarShown());
    m_ok->setVisible(m_progress->OkShown());
    m_sinceShown.restart();
    if (m_progress->Finished() && !wasFinished) {
        m_ok->setFocus();
        emit transferEnded();
    }
}

void CUpgradeProgressDlg::accept() {
    // OK (button or Enter) closes only once the result is shown.
    if (m_progress != nullptr && m_progress->MayCloseWithOk()) {
        done(0);
    }
}

void CUpgradeProgressDlg::reject() {
    // Escape and the close box never close it.
}

void CUpgradeProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}
