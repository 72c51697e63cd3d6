#pragma once

#include <QDialog>
#include <optional>

#include "shell/shell_skin.h"

class QListWidget;
class QPushButton;

// A box with buttons of the frame's own (BoxRequest::acceptButton and cancelButton) and, below
// its text, the request's items in a list that scrolls: the check before an upload with its
// problems, the question about a file that lacks settings. Cancel is the default button.
class CChoiceBox : public QDialog {
    Q_OBJECT
  public:
    CChoiceBox(const zentrik::BoxRequest& request, QWidget* parent = nullptr);

    // Ok for the first button, Cancel for the second; nothing when the box was closed
    // otherwise (Escape, the close box, the window's close).
    std::optional<zentrik::MessageAnswer> Answer() const { return m_answer; }

    QListWidget* Items() const { return m_items; }
    QPushButton* AcceptButton() const { return m_accept; }
    QPushButton* CancelButton() const { return m_cancel; }

  private:
    QListWidget* m_items = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
    std::optional<zentrik::MessageAnswer> m_answer;
};
