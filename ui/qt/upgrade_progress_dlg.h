#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "link/upgrade_handler.h"
#include "shell/upgrade_progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The firmware upgrade's progress dialog: shows the upgrade's progress (UpgradeProgress),
// which also says when it may be closed. The whole word transfer runs inside its modal loop.
class CUpgradeProgressDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CUpgradeProgressDlg(QWidget* parent = nullptr);

    // Opens the dialog for the progress, starts the transfer with the source's first unit and
    // returns when the user has closed it after the end.
    void RunUpgrade(zentrik::UpgradeProgress& progress, zentrik::FirmwareUnitSource& source);
    // The progress changed: a step (shown at most every kRepaintMs, so that painting never
    // slows the transfer down) or the result (at once).
    void ShowProgress();

    // Between RunUpgrade and the result.
    bool IsTransferring() const { return m_progress != nullptr && m_progress->Transferring(); }
    bool IsFinished() const { return m_progress != nullptr && m_progress->Finished(); }

    QProgressBar* Bar() const { return m_bar; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* TextLine() const { return m_text; }

  signals:
    // The result is shown (the dialog stays up until OK).
    void transferEnded();

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    static constexpr int kRepaintMs = 40;
    void ShowNow();

    zentrik::UpgradeProgress* m_progress = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_text = nullptr;
    QElapsedTimer m_sinceShown;
    QTimer m_repaint;
};
