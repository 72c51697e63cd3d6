#include "base/text_format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace zentrik {

std::string FormatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
    return result;
}

std::string FormatFixed(double value, int decimals) {
    char buffer[400];  // the widest double in fixed notation with a few decimals
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return "0";
    }
    return std::string(buffer, result.ptr);
}

namespace {

// "%.Nf" with an exact tie rounded away from zero. A tie needs the value's exact decimal
// expansion to end in a 5 at decimal N + 1, which only a value with at most N + 1 binary
// fraction digits can have; such a value prints exactly with N + 1 decimals.
std::string FormatFixedHalfAway(double value, int decimals) {
    if (std::isfinite(value) && decimals < 20) {
        const double scaled = std::ldexp(value, decimals + 1);
        if (scaled == std::trunc(scaled)) {
            const std::string exact = FormatFixed(value, decimals + 1);
            if (!exact.empty() && exact.back() == '5') {
                value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
            }
        }
    }
    return FormatFixed(value, decimals);
}

}  // namespace

std::string FormatNumbers(std::string_view format, std::initializer_list<double> values) {
    std::string out;
    const double* next = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[.N](f|i|d)
        std::size_t j = i + 1;
        int precision = 6;
        if (format[j] == '.') {
            precision = 0;
            ++j;
            while (j < format.size() && format[j] >= '0' && format[j] <= '9') {
                precision = precision * 10 + (format[j] - '0');
                ++j;
            }
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const char kind = format[j];
        if (kind != 'f' && kind != 'i' && kind != 'd') {
            out.append(format.substr(i, j - i + 1));
            i = j;
            continue;
        }
        if (next != values.end()) {
            const double value = *next++;
            if (kind == 'f') {
                out += FormatFixedHalfAway(value, precision);
            } else {
                char buffer[24];
                const auto result = std::to_chars(buffer, buffer + sizeof buffer,
                                                  static_cast<long long>(std::trunc(value)));
                out.append(buffer, result.ptr);
            }
        }
        i = j;
    }
    return out;
}

}  // namespace zentrik
