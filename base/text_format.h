#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zentrik {

// printf-style formatting of the fixed texts into a string.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A value in fixed notation with `decimals` decimals ("%.Nf"), always with a point.
std::string FormatFixed(double value, int decimals);

// A printf-style format whose %f (with an optional precision, "%.1f"), %i and %d conversions
// take `values` in order and whose "%%" is a percent sign, as the form's fields and the graph's
// tooltips show numbers: with a point for decimals whatever the process's locale (printf itself
// follows LC_NUMERIC, which a window toolkit sets from the user's locale), and a value exactly
// halfway rounded away from zero (10.25 shows as "10.3", where printf gives "10.2"). A
// conversion with no value left prints nothing.
std::string FormatNumbers(std::string_view format, std::initializer_list<double> values);

}  // namespace zentrik
