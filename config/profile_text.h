#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "config/ini_file.h"

namespace zentrik {

// The typed readers copy a value into a buffer of this many characters, as the Windows
// profile functions do: a longer value is cut to kProfileBufferSize - 1 characters.
inline constexpr std::size_t kProfileBufferSize = 260;

// The text a string read returns: the value (one pair of enclosing ' or " quotes removed), or
// the default when the key is missing; either cut to the buffer.
std::string ProfileString(const IniFile& file, std::string_view section, std::string_view key,
                          std::string_view defaultText);

// An integer read: the default when the key is missing or its value is empty, otherwise the
// value's leading signed decimal number (no digits: 0; too many digits wrap modulo 2^32).
int ProfileInt(const IniFile& file, std::string_view section, std::string_view key,
               int defaultValue);

// Leading blanks, an optional sign and decimal digits; 0 when there are no digits.
int ParseLeadingInt(std::string_view text);

// Whether the text starts, after blanks and a sign, with a number ParseLeadingDouble reads: a
// digit, or a point and a digit.
bool StartsWithNumber(std::string_view text);

// The leading decimal floating-point number of the text (leading white space, sign, digits,
// fraction, exponent), as C's strtod reads it in the "C" locale; 0.0 when there is none.
// Hexadecimal, "inf" and "nan" forms are not numbers here.
double ParseLeadingDouble(std::string_view text);

// Value texts, independent of the process locale: "%i" and "%hu" ("%.Nf" is FormatFixed in
// base/text_format.h).
std::string FormatInt(int value);
std::string FormatUnsignedShort(unsigned short value);

// The typed operations of the settings on a parsed file, with the text conversions of the
// Windows profile functions: booleans as 0/1 of the low byte, floats written with two
// decimals (a float's default goes through the same text conversion as a stored value).
int ProfileReadInt(const IniFile& file, std::string_view section, std::string_view key, int def);
bool ProfileReadBool(const IniFile& file, std::string_view section, std::string_view key, int def);
double ProfileReadFloat(const IniFile& file, std::string_view section, std::string_view key,
                        float def);
bool ProfileWriteInt(IniFile& file, std::string_view section, std::string_view key, int value);
bool ProfileWriteBool(IniFile& file, std::string_view section, std::string_view key, int value);
bool ProfileWriteFloat(IniFile& file, std::string_view section, std::string_view key, float value);
// The text a float is written as.
std::string ProfileFloatText(float value);

}  // namespace zentrik
