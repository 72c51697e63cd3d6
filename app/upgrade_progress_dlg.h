#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "link/upgrade_handler.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The firmware upgrade's progress dialog. The whole word transfer runs inside its modal loop;
// until one of the Finish operations has run it cannot be closed (OK is hidden, Enter,
// Escape and the close box do nothing); afterwards OK or Enter closes it, Escape still not.
class CUpgradeProgressDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CUpgradeProgressDlg(QWidget* parent = nullptr);

    // Opens the dialog for `total` packets, starts the transfer with the source's first unit
    // and returns when the user has closed it after the end (result 0).
    int RunUpgrade(int total, zentrik::FirmwareUnitSource& source);
    // -1: "Checking Firmware Checksum", the bar stays; otherwise the bar moves to the packet
    // and the text says which one is being sent.
    void ShowStep(int step);
    void FinishWithText(const QString& text);
    void FinishWithSuccess();

    // Between RunUpgrade and a Finish operation.
    bool IsTransferring() const { return m_running && !m_finished; }
    bool IsRunning() const { return m_running; }
    bool IsFinished() const { return m_finished; }

    QProgressBar* Bar() const { return m_bar; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* TextLine() const { return m_text; }

  signals:
    // A Finish operation has shown the result (the dialog stays up until OK).
    void transferEnded();

  public slots:
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // Progress moves thousands of times a second during a transfer; the widgets show it at
    // most every kRepaintMs so that painting never slows the transfer down.
    static constexpr int kRepaintMs = 40;
    void ShowPendingStep();
    void Finish(const QString& text);

    QProgressBar* m_bar = nullptr;
    QPushButton* m_ok = nullptr;
    QLabel* m_text = nullptr;
    int m_total = 0;
    int m_pendingStep = -1;
    bool m_stepPending = false;
    bool m_running = false;
    bool m_finished = false;
    QElapsedTimer m_sinceShown;
    QTimer m_repaint;
};
