#pragma once

#include <string>

namespace zentrik {

// printf-style formatting of the fixed texts into a string.
std::string FormatText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace zentrik
