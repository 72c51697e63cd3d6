#include "ui/qt/numeric_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QWheelEvent>

namespace zentrik {

CNumericEdit::CNumericEdit(int id, const NumericField& field, QWidget* parent)
    : QLineEdit(parent), m_id(id), m_field(field) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Qt's own input-method hints: numbers only on touch keyboards.
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    connect(this, &QLineEdit::textEdited, this, [this] { m_typing = true; });
    connect(this, &QLineEdit::returnPressed, this, &CNumericEdit::CommitTyped);
    ShowField();
}

void CNumericEdit::ShowField() {
    m_typing = false;
    const bool editing = hasFocus();
    setText(QString::fromStdString(m_field.Text(!editing)));
    if (editing) {
        selectAll();
    }
}

void CNumericEdit::CommitTyped() {
    if (!m_typing) {
        return;
    }
    m_typing = false;
    // The user's decimal separator is taken as well as the point.
    QString text = this->text();
    text.replace(QLocale().decimalPoint(), QStringLiteral("."));
    emit typed(m_id, text);
    ShowField();
}

void CNumericEdit::Step(int steps) {
    if (isReadOnly() || steps == 0) {
        return;
    }
    CommitTyped();
    emit stepped(m_id, steps);
}

void CNumericEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            Step(NumericField::StepsFor(FieldKey::Up));
            return;
        case Qt::Key_Down:
            Step(NumericField::StepsFor(FieldKey::Down));
            return;
        case Qt::Key_PageUp:
            Step(NumericField::StepsFor(FieldKey::PageUp));
            return;
        case Qt::Key_PageDown:
            Step(NumericField::StepsFor(FieldKey::PageDown));
            return;
        case Qt::Key_Escape:
            if (m_typing) {
                ShowField();
                return;
            }
            break;
        default:
            break;
    }
    QLineEdit::keyPressEvent(event);
}

void CNumericEdit::wheelEvent(QWheelEvent* event) {
    // Only a field the user is working in takes the wheel; over the others it scrolls the form.
    if (!hasFocus() || isReadOnly()) {
        event->ignore();
        return;
    }
    Step(m_wheel.Take(event->angleDelta().y()));
    event->accept();
}

void CNumericEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!m_typing) {
        ShowField();
    }
}

void CNumericEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup (the context menu) takes focus for a moment; the edit goes on.
    if (event->reason() == Qt::PopupFocusReason) {
        return;
    }
    CommitTyped();
    ShowField();
}

}  // namespace zentrik
