#pragma once

#include <QLineEdit>
#include <QString>

namespace zentrik {

// A field for one number with a unit. While the field is not being edited it shows the value
// through the format with unit ("%.0f RPM"); while the user types, through the plain format
// ("%.0f"). Typing and Enter (or leaving the field), Up/Down (one step), PageUp/PageDown (ten
// steps) and the mouse wheel (while the field has the focus, so that the wheel
// over other fields scrolls the form) change the value; a typed value is brought into the range;
// Escape while typing puts back the value. Stepped values are rounded to the plain format's
// decimals, so ten steps of 0.1 land on 1.0 exactly as typing "1.0" does.
//
// Every change by the user, and SetValue(value, true), reports (id, value) through
// valueChanged; a user change that leaves the value as it was reports nothing.
//
// The range bounds what the user can enter and what the field reports. SetValue(value, false)
// shows the value as given, even outside the range, so that the field never shows other than
// what its owner holds; SetValue(value, true) brings it into the range first.
//
// The style word of Initialize is accepted and ignored.
class CNumericEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CNumericEdit(int id, QWidget* parent = nullptr);

    void Initialize(unsigned style, double minimum, double maximum, double step,
                    const QString& unitFormat, const QString& plainFormat);
    void Initialize(double minimum, double maximum, double step, const QString& unitFormat,
                    const QString& plainFormat);
    void SetRange(double minimum, double maximum);
    void SetValue(double value, bool notify);

    int Id() const { return m_id; }
    double Value() const { return m_value; }
    double Minimum() const { return m_min; }
    double Maximum() const { return m_max; }
    double Step() const { return m_step; }
    bool IsTyping() const { return m_typing; }

    // Takes typed text as the value exactly as Enter does (range applied, valueChanged
    // reported); nothing happens when the user is not typing. A command calls this before it
    // acts on the document, so it never acts on a value other than the one on screen.
    void CommitTyped();

    // Text of a printf-style format ("%.1f psi", "%.0f%%") for a value.
    static QString FormatValue(const QString& format, double value);

  signals:
    void valueChanged(int id, double value);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    double Clamp(double value) const;
    double RoundToFormat(double value) const;
    void StepBy(int steps);
    void ChangeByUser(double value);
    void ShowValue();

    int m_id;
    double m_value = 0.0;
    double m_min = 0.0;
    double m_max = 0.0;
    double m_step = 1.0;
    QString m_unitFormat = QStringLiteral("%.0f");
    QString m_plainFormat = QStringLiteral("%.0f");
    bool m_typing = false;  // the text is the user's, not yet taken as the value
    int m_wheelRemainder = 0;
};

}  // namespace zentrik
