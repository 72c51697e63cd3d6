#pragma once

#include <string>
#include <string_view>

namespace zentrik::win32 {

// The behaviour's texts are UTF-8; the window's calls take UTF-16.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace zentrik::win32
