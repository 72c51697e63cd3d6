#pragma once

#include <windows.h>

#include <optional>

#include "shell/shell_skin.h"

namespace zentrik::win32 {

// The frame's box as a MessageBoxW owned by `owner`: the request's icon and buttons, its
// detail below the text. Nothing when the box was ended without an answer (EndDialog with 0).
std::optional<MessageAnswer> RunMessageBox(HWND owner, const BoxRequest& request);

}  // namespace zentrik::win32
