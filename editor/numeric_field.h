#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zentrik {

// The keys that step a numeric field: one step up or down, or ten.
enum class FieldKey { Up, Down, PageUp, PageDown };

// One numeric field of the form: a value, the range the user may enter, the step of the keys
// and the wheel, and two printf-style formats, the first with the unit ("%.0f RPM"), shown
// while the field is not being edited, the second the same number alone ("%.0f"), shown
// while the user types. A window's edit control shows this state and hands typed text, keys
// and wheel turns to the form, which keeps the value here.
class NumericField {
  public:
    static constexpr int kPageSteps = 10;
    static constexpr int kWheelNotch = 120;  // one notch of a mouse wheel, in wheel units

    // The style word of the edit control is kept by the caller; it changes nothing here.
    void Initialize(double minimum, double maximum, double step, std::string unitFormat,
                    std::string plainFormat);
    // The maximum never lies below the minimum.
    void SetRange(double minimum, double maximum);

    double Value() const { return m_value; }
    double Minimum() const { return m_min; }
    double Maximum() const { return m_max; }
    double Step() const { return m_step; }
    const std::string& UnitFormat() const { return m_unitFormat; }
    const std::string& PlainFormat() const { return m_plainFormat; }

    // The text of the value, with the unit or plain.
    std::string Text(bool withUnit) const;
    // Within the range; NaN becomes the minimum.
    double Clamp(double value) const;
    // The value after `steps` steps from the current one, within the range and rounded to the
    // plain format's decimals, so that ten steps of 0.1 land on 1.0 exactly as typing "1.0".
    double Stepped(int steps) const;

    // What the owner stores; it is shown as given, even outside the range, so the field never
    // shows other than what its owner holds.
    void SetValue(double value) { m_value = value; }

    // Typed text as a number: blanks around it are ignored, and a comma serves as the decimal
    // point too. Nothing when it is not a number.
    static std::optional<double> Parse(std::string_view text);
    static int StepsFor(FieldKey key);

  private:
    double m_value = 0.0;
    double m_min = 0.0;
    double m_max = 0.0;
    double m_step = 1.0;
    std::string m_unitFormat = "%.0f";
    std::string m_plainFormat = "%.0f";
};

// Turns of a mouse wheel into whole steps, keeping what is left of a notch for the next turn
// (touchpads report fractions of a notch).
class WheelSteps {
  public:
    int Take(int delta);

  private:
    int m_remainder = 0;
};

}  // namespace zentrik
