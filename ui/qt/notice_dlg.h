#pragma once

#include <QDialog>
#include <QTimer>

#include "shell/notice_countdown.h"

class QLabel;
class QPushButton;

// The timed notice after a configuration was downloaded or uploaded: shows its countdown and
// ticks it with a one-second timer (108), closing itself when the countdown has run out.
class CNoticeDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CNoticeDlg(zentrik::NoticeCountdown& countdown, QWidget* parent = nullptr);

    // Runs the dialog modally. Returns Accepted when the countdown ran out or OK was pressed,
    // Rejected for Escape or the close box.
    int ShowNotice();

    // The countdown's tick interval (1000 ms; tests shorten it).
    void SetTickInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    int SecondsLeft() const { return m_countdown.SecondsLeft(); }
    QPushButton* OkButton() const { return m_ok; }

    // One tick of timer 108.
    void Tick();

  protected:
    void done(int result) override;

  private:
    void ShowSecondsLeft();

    zentrik::NoticeCountdown& m_countdown;
    QPushButton* m_ok = nullptr;
    QLabel* m_text = nullptr;
    QTimer m_timer;
};
