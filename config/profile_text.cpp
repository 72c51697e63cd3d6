#include "config/profile_text.h"

#include "base/text_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace zentrik {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view CutToBuffer(std::string_view text) {
    return text.substr(0, kProfileBufferSize - 1);
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string ProfileString(const IniFile& file, std::string_view section, std::string_view key,
                          std::string_view defaultText) {
    const auto value = file.Value(section, key);
    return std::string(CutToBuffer(value ? Unquote(*value) : defaultText));
}

int ProfileInt(const IniFile& file, std::string_view section, std::string_view key,
               int defaultValue) {
    const auto value = file.Value(section, key);
    if (!value) {
        return defaultValue;
    }
    const std::string text = ProfileString(file, section, key, {});
    if (text.empty()) {
        return defaultValue;
    }
    return ParseLeadingInt(text);
}

int ParseLeadingInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative) {
        magnitude = 0u - magnitude;
    }
    return static_cast<int>(magnitude);  // two's complement wrap, defined since C++20
}

bool StartsWithNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
    }
    return i < text.size() && IsDigit(text[i]);
}

double ParseLeadingDouble(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t intDigits = 0;  // significant digits before the point
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
        if (intDigits > 0 || text[i] != '0') {
            ++intDigits;
        }
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                if (exponent < 100000) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
            i = j;
        }
    }
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(text.data() + start, text.data() + i, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // strtod gives HUGE_VAL on overflow and zero on underflow.
        value = (static_cast<long>(intDigits) + exponent > 0) ? HUGE_VAL : 0.0;
    } else if (ec != std::errc() || ptr != text.data() + i) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string FormatInt(int value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatUnsignedShort(unsigned short value) {
    char buffer[8];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int ProfileReadInt(const IniFile& file, std::string_view section, std::string_view key, int def) {
    return ProfileInt(file, section, key, def);
}

bool ProfileReadBool(const IniFile& file, std::string_view section, std::string_view key, int def) {
    return ProfileInt(file, section, key, def & 0xFF) != 0;
}

double ProfileReadFloat(const IniFile& file, std::string_view section, std::string_view key,
                        float def) {
    // The default goes through the same text conversion as a stored value.
    return ParseLeadingDouble(ProfileString(file, section, key, FormatFixed(def, 6)));
}

bool ProfileWriteInt(IniFile& file, std::string_view section, std::string_view key, int value) {
    return file.SetValue(section, key, FormatInt(value));
}

bool ProfileWriteBool(IniFile& file, std::string_view section, std::string_view key, int value) {
    return file.SetValue(section, key,
                         FormatUnsignedShort(static_cast<unsigned short>(value & 0xFF)));
}

bool ProfileWriteFloat(IniFile& file, std::string_view section, std::string_view key, float value) {
    return file.SetValue(section, key, ProfileFloatText(value));
}

std::string ProfileFloatText(float value) {
    return FormatFixed(value, 2);
}

}  // namespace zentrik
