#include "editor/numeric_field.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/text_format.h"

namespace zentrik {

void NumericField::Initialize(double minimum, double maximum, double step, std::string unitFormat,
                              std::string plainFormat) {
    m_step = step > 0 ? step : 1.0;
    m_unitFormat = std::move(unitFormat);
    m_plainFormat = std::move(plainFormat);
    SetRange(minimum, maximum);
}

void NumericField::SetRange(double minimum, double maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
}

std::string NumericField::Text(bool withUnit) const {
    return FormatNumbers(withUnit ? m_unitFormat : m_plainFormat, {m_value});
}

double NumericField::Clamp(double value) const {
    if (std::isnan(value)) {
        return m_min;
    }
    return std::clamp(value, m_min, m_max);
}

double NumericField::Stepped(int steps) const {
    const double stepped = Clamp(m_value + steps * m_step);
    // Through the plain format's text, so a stepped value is the same double as a typed one.
    const std::optional<double> rounded = Parse(FormatNumbers(m_plainFormat, {stepped}));
    return Clamp(rounded.value_or(stepped));
}

std::optional<double> NumericField::Parse(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    std::string number(text);
    std::replace(number.begin(), number.end(), ',', '.');
    if (!number.empty() && number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0.0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto result = std::from_chars(first, last, value, std::chars_format::fixed);
    if (number.empty() || result.ec != std::errc() || result.ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int NumericField::StepsFor(FieldKey key) {
    switch (key) {
        case FieldKey::Up:
            return 1;
        case FieldKey::Down:
            return -1;
        case FieldKey::PageUp:
            return kPageSteps;
        case FieldKey::PageDown:
            return -kPageSteps;
    }
    return 0;
}

int WheelSteps::Take(int delta) {
    m_remainder += delta;
    const int notches = m_remainder / NumericField::kWheelNotch;
    m_remainder -= notches * NumericField::kWheelNotch;
    return notches;
}

}  // namespace zentrik
