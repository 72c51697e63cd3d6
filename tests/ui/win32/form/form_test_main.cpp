// The suite's main: GDI+ is up for the whole run, as the program keeps it, and the forms are
// made in one shown top-level window (under Xvfb, without a window manager, each shown
// top-level window costs seconds).
#include <gtest/gtest.h>
#include <objidl.h>
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>

#include "form_window.h"

namespace zentrik::test {

namespace {
HWND g_host = nullptr;
}  // namespace

HWND FormHost() {
    return g_host;
}

}  // namespace zentrik::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "GDI+ did not start\n");
        return 1;
    }
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = instance;
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = L"ZentrikFormTestHost";
    RegisterClassW(&host);
    zentrik::test::g_host =
        CreateWindowExW(0, host.lpszClassName, L"form tests", WS_OVERLAPPEDWINDOW, 0, 0, 800, 700,
                        nullptr, nullptr, instance, nullptr);
    if (zentrik::test::g_host == nullptr) {
        std::fprintf(stderr, "no window: is DISPLAY set?\n");
        return 1;
    }
    ShowWindow(zentrik::test::g_host, SW_SHOW);
    const int result = RUN_ALL_TESTS();
    DestroyWindow(zentrik::test::g_host);
    Gdiplus::GdiplusShutdown(token);
    return result;
}
