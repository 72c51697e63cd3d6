#include "editor/numeric_edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace zentrik {

namespace {

constexpr int kPageSteps = 10;
constexpr int kWheelNotch = 120;

}  // namespace

CNumericEdit::CNumericEdit(int id, QWidget* parent) : QLineEdit(parent), m_id(id) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Qt's own input-method hints: numbers only on touch keyboards.
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    connect(this, &QLineEdit::textEdited, this, [this] { m_typing = true; });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        CommitTyped();
        if (hasFocus()) {
            setText(FormatValue(m_plainFormat, m_value));
            selectAll();
        }
    });
    ShowValue();
}

QString CNumericEdit::FormatValue(const QString& format, double value) {
    // The formats hold one %f conversion and literal text ("%%" for a percent sign).
    return QString::asprintf(format.toUtf8().constData(), value);
}

void CNumericEdit::Initialize(unsigned /*style*/, double minimum, double maximum, double step,
                              const QString& unitFormat, const QString& plainFormat) {
    Initialize(minimum, maximum, step, unitFormat, plainFormat);
}

void CNumericEdit::Initialize(double minimum, double maximum, double step,
                              const QString& unitFormat, const QString& plainFormat) {
    m_step = step > 0 ? step : 1.0;
    m_unitFormat = unitFormat;
    m_plainFormat = plainFormat;
    SetRange(minimum, maximum);
    ShowValue();
}

void CNumericEdit::SetRange(double minimum, double maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
}

void CNumericEdit::SetValue(double value, bool notify) {
    m_value = notify ? Clamp(value) : value;
    m_typing = false;
    ShowValue();
    if (notify) {
        emit valueChanged(m_id, m_value);
    }
}

double CNumericEdit::Clamp(double value) const {
    if (std::isnan(value)) {
        return m_min;
    }
    return std::clamp(value, m_min, m_max);
}

double CNumericEdit::RoundToFormat(double value) const {
    // Through the plain format's text, so a stepped value is the same double as a typed one.
    bool ok = false;
    const double rounded = FormatValue(m_plainFormat, value).toDouble(&ok);
    return ok ? rounded : value;
}

void CNumericEdit::ChangeByUser(double value) {
    m_typing = false;
    const double clamped = Clamp(value);
    const bool changed = clamped != m_value;
    m_value = clamped;
    if (hasFocus()) {
        setText(FormatValue(m_plainFormat, m_value));
        selectAll();
    } else {
        ShowValue();
    }
    if (changed) {
        emit valueChanged(m_id, m_value);
    }
}

void CNumericEdit::CommitTyped() {
    if (!m_typing) {
        return;
    }
    bool ok = false;
    QString typed = text().trimmed();
    typed.replace(QLocale().decimalPoint(), QStringLiteral("."));
    const double value = typed.toDouble(&ok);
    if (!ok) {
        // Not a number: the field goes back to its value.
        m_typing = false;
        ShowValue();
        return;
    }
    ChangeByUser(value);
}

void CNumericEdit::StepBy(int steps) {
    if (isReadOnly() || steps == 0) {
        return;
    }
    CommitTyped();
    double stepped = Clamp(m_value + steps * m_step);
    stepped = Clamp(RoundToFormat(stepped));
    ChangeByUser(stepped);
}

void CNumericEdit::ShowValue() {
    setText(FormatValue(hasFocus() ? m_plainFormat : m_unitFormat, m_value));
}

void CNumericEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            StepBy(1);
            return;
        case Qt::Key_Down:
            StepBy(-1);
            return;
        case Qt::Key_PageUp:
            StepBy(kPageSteps);
            return;
        case Qt::Key_PageDown:
            StepBy(-kPageSteps);
            return;
        case Qt::Key_Escape:
            if (m_typing) {
                m_typing = false;
                setText(FormatValue(m_plainFormat, m_value));
                selectAll();
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
    m_wheelRemainder += event->angleDelta().y();
    const int notches = m_wheelRemainder / kWheelNotch;
    m_wheelRemainder -= notches * kWheelNotch;
    StepBy(notches);
    event->accept();
}

void CNumericEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!m_typing) {
        setText(FormatValue(m_plainFormat, m_value));
        selectAll();
    }
}

void CNumericEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A popup (the context menu) takes focus for a moment; the edit goes on.
    if (event->reason() == Qt::PopupFocusReason) {
        return;
    }
    CommitTyped();
    ShowValue();
}

}  // namespace zentrik
