#include "ui/win32/screen_dpi.h"

#include "ui/win32/res/resource_ids.h"
#include "ui/win32/res/resource_tables.h"

namespace zentrik::win32 {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

bool UsesDoubleSize(int dpi) {
    return dpi >= USER_DEFAULT_SCREEN_DPI * win32_res::kDoubleSizeScale;
}

HBITMAP LoadBitmapForDpi(HINSTANCE instance, int id, int dpi) {
    const int chosen = UsesDoubleSize(dpi) ? id + IDB_DOUBLE_SIZE_OFFSET : id;
    return static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(chosen), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace zentrik::win32
