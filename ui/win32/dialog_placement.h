#pragma once

#include <windows.h>

namespace zentrik::win32 {

// Centres a dialog over its owner (or the screen's work area without one), kept on the screen.
void CenterOverOwner(HWND dialog);

}  // namespace zentrik::win32
