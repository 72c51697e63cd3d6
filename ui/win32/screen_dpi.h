#pragma once

#include <windows.h>

namespace zentrik::win32 {

// The resolution the window is drawn at (96 at 100 %).
int ScreenDpi();
// The bitmap `id` drawn for `dpi`: the double-size one (id + IDB_DOUBLE_SIZE_OFFSET) from
// 192 dpi up, so that nothing is stretched into blur; the caller deletes it.
HBITMAP LoadBitmapForDpi(HINSTANCE instance, int id, int dpi);
// Whether the double-size images are used at `dpi`.
bool UsesDoubleSize(int dpi);

}  // namespace zentrik::win32
