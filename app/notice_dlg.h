#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

class QLabel;
class QPushButton;

// The timed notice after a configuration was downloaded or uploaded: closes itself after 15
// ticks of its one-second timer (108), counting down on its OK button.
class CNoticeDlg : public QDialog {
    Q_OBJECT
  public:
    enum Kind { Downloaded = 1, Uploaded = 2 };

    explicit CNoticeDlg(QWidget* parent = nullptr);

    // Sets title and message for the kind (another kind keeps them) and runs the dialog
    // modally. Returns Accepted when the countdown ran out or OK was pressed, Rejected for
    // Escape or the close box.
    int ShowNotice(int kind);

    // The countdown's tick interval (1000 ms; tests shorten it).
    void SetTickInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    int SecondsLeft() const { return m_secondsLeft; }
    QPushButton* OkButton() const { return m_ok; }

    // One tick of timer 108.
    void Tick();

  protected:
    void done(int result) override;

  private:
    void ShowSecondsLeft();

    QPushButton* m_ok = nullptr;
    QLabel* m_text = nullptr;
    QString m_message;
    QString m_title;
    int m_kind = 0;
    int m_secondsLeft = 0;
    QTimer m_timer;
};
