#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <deque>
#include <functional>
#include <vector>

namespace zentrik::uitest {

// What a modal window showed when it came up.
struct SeenModal {
    QString className;
    QString caption;
    QString text;  // a message box's text
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // a message box's button texts, in order
};

// Answers modal windows as they come up, never by sleeping: when a modal window is shown, a
// zero-delay timer (which runs inside its modal loop) takes QApplication::activeModalWidget()
// and hands it to the next handler in line. A modal for which no handler is left fails the
// test and is closed, so that a test never hangs on an unexpected box.
class ModalAnswerer : public QObject {
  public:
    using Handler = std::function<void(QWidget* modal)>;

    ModalAnswerer();
    ~ModalAnswerer() override;

    ModalAnswerer& Then(Handler handler);
    // Clicks the message box button whose text (without '&') is `text`.
    ModalAnswerer& Press(const QString& text);
    // Leaves the modal to close by itself (or to code the test runs meanwhile).
    ModalAnswerer& Leave();

    std::size_t Remaining() const { return m_handlers.size(); }
    const std::vector<SeenModal>& Seen() const { return m_seen; }
    // The captions seen so far, in order.
    QStringList Captions() const;

    // Clicks a button of `modal` by its text without '&'; false when there is none.
    static bool ClickButton(QWidget* modal, const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AnswerActive();
    void Forget(QWidget* modal);

    std::deque<Handler> m_handlers;
    std::vector<SeenModal> m_seen;
    std::vector<QWidget*> m_answered;
};

// Runs the event loop until `done` holds or `limit` passes; returns whether it holds. The
// condition is checked each time the loop is about to wait, so nothing spins. A modal loop
// opened meanwhile has to end before this returns: what must happen while a modal is up
// belongs in a handler of the ModalAnswerer.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

}  // namespace zentrik::uitest
