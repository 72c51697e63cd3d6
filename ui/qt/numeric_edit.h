#pragma once

#include <QLineEdit>
#include <QString>

#include "editor/numeric_field.h"

namespace zentrik {

// The window's edit control for one numeric field of the form. It shows the field's value
// through the format with unit while it is not being edited and through the plain format
// while the user types; what the user does goes to the form as signals: typed text on Enter,
// on leaving the field or when a command commits it (CommitTyped), steps from Up/Down,
// PageUp/PageDown and the wheel (only while the field has the focus, so that the wheel over
// other fields scrolls the form). Escape while typing puts the value back.
class CNumericEdit : public QLineEdit {
    Q_OBJECT
  public:
    CNumericEdit(int id, const NumericField& field, QWidget* parent = nullptr);

    int Id() const { return m_id; }
    double Value() const { return m_field.Value(); }
    double Minimum() const { return m_field.Minimum(); }
    double Maximum() const { return m_field.Maximum(); }
    bool IsTyping() const { return m_typing; }

    // Shows the field's value again; typed text that was not confirmed goes.
    void ShowField();
    // Hands typed text to the form exactly as Enter does; nothing when the user is not
    // typing. A command calls this before it acts on the document.
    void CommitTyped();

  signals:
    void typed(int id, const QString& text);
    void stepped(int id, int steps);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Step(int steps);

    int m_id;
    const NumericField& m_field;
    bool m_typing = false;  // the text is the user's, not yet taken as the value
    WheelSteps m_wheel;
};

}  // namespace zentrik
