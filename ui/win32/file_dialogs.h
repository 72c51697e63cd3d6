#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace zentrik::win32 {

// The common file dialogs, owned by `owner`, with one filter (its name and pattern). Paths
// and texts are UTF-8; nothing when the user cancelled.
std::optional<std::string> ChooseExistingFile(HWND owner, std::string_view title,
                                              std::string_view filterName,
                                              std::string_view pattern);
// The save dialog asks before a file is replaced and appends the pattern's extension to a
// name typed without one.
std::optional<std::string> ChooseFileToWrite(HWND owner, std::string_view title,
                                             std::string_view filterName, std::string_view pattern,
                                             std::string_view suggestedName);

}  // namespace zentrik::win32
