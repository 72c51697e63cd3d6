#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace zentrik {
class FrameShell;
}

// The controller toolbar of the main frame: toolbar 137's four buttons (the connection
// indicator, Upload, Download, Controller Info), flat, each text under its image, the images
// from bitmap 142 and, for disabled buttons, 141 (their double-size versions at 192 dpi and
// above). Right-clicks do nothing. The buttons show FrameShell::Command's states.
class CControllerToolBar {
  public:
    CControllerToolBar() = default;
    ~CControllerToolBar();
    CControllerToolBar(const CControllerToolBar&) = delete;
    CControllerToolBar& operator=(const CControllerToolBar&) = delete;

    bool Create(HINSTANCE instance, HWND parent, int dpi);
    HWND Hwnd() const { return m_hwnd; }
    // Each button's enabling and text from the shell, sending only what changed.
    void Refresh(const zentrik::FrameShell& shell);
    // Its height once laid out at the top of the parent's client area.
    int LayOut();
    // The width its buttons take side by side; 0 when hidden.
    int ContentWidth() const;
    // The tool tip of a button (TTN_GETDISPINFO); nullptr for none.
    static const wchar_t* TipFor(int id);

  private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);

    HWND m_hwnd = nullptr;
    HIMAGELIST m_images = nullptr;
    HIMAGELIST m_disabledImages = nullptr;
    struct Shown {
        int id;
        bool enabled;
        std::wstring text;
    };
    std::vector<Shown> m_shown;
};
