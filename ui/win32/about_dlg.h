#pragma once

#include <windows.h>

#include <functional>

// The About box (dialog 100): the picture and the version text in white on black. A click on
// the picture calls the handler (the frame opens the web site) and the box stays open.
class CAboutDlg {
  public:
    explicit CAboutDlg(std::function<void()> onPictureClick)
        : m_onPictureClick(std::move(onPictureClick)) {}

    // Runs the box modally; 0 when it was ended for the window's close.
    INT_PTR DoModal(HINSTANCE instance, HWND owner, int dpi);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The picture centred and the version field wide enough for its text.
    static void FitControls(HWND hwnd);

    std::function<void()> m_onPictureClick;
    HINSTANCE m_instance = nullptr;
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    HBRUSH m_brush = nullptr;
    HBITMAP m_picture = nullptr;  // the double-size picture, when the resolution asks for it
};
