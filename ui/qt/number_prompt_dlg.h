#pragma once

#include <QDialog>

#include "shell/shell_skin.h"

class QLabel;
class QLineEdit;

// A small dialog asking for a number: the prompt's caption and label, a field holding its text
// (all selected, so typing replaces it), the note of why the last answer was not taken, OK
// and Cancel. The text is handed back as typed; the shell reads the number out of it.
class CNumberPromptDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CNumberPromptDlg(const zentrik::NumberPrompt& prompt, QWidget* parent = nullptr);

    QString Text() const;
    QLineEdit* Field() const { return m_field; }

  private:
    QLineEdit* m_field = nullptr;
};
