#pragma once

#include "shell/shell_texts.h"

// Controller > Connection Status...: its command and the box it opens.

namespace zentrik::shell_texts {

inline constexpr int kIdConnectionStatus = 32911;
inline constexpr CommandText kConnectionStatus{
    kIdConnectionStatus, "Connection &Status...",
    "Say what stands between this computer and the controller, and what to do about it",
    "Connection Status", nullptr};
inline constexpr const char* kConnectionStatusCaption = "Connection Status";

}  // namespace zentrik::shell_texts
