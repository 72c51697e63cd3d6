#pragma once

#include <windows.h>

#include <functional>

// The banner bar at the foot of the main frame: dialog 138 on a black brush, its picture
// (control 1037) at the top edge, centred while the bar is wider than the picture and at the
// left edge otherwise. A click on the picture calls the handler (the frame opens the web site).
class CBannerBar {
  public:
    CBannerBar() = default;
    ~CBannerBar();
    CBannerBar(const CBannerBar&) = delete;
    CBannerBar& operator=(const CBannerBar&) = delete;

    bool Create(HINSTANCE instance, HWND parent, int dpi, std::function<void()> onPictureClick);
    HWND Hwnd() const { return m_hwnd; }
    // The bar's height (its template's, at the window's resolution); 0 before Create.
    int Height() const { return m_height; }
    // The picture's width: the bar shows it whole when it is at least this wide.
    int PictureWidth() const;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void PlacePicture();

    HWND m_hwnd = nullptr;
    HBRUSH m_brush = nullptr;
    HBITMAP m_picture = nullptr;  // the double-size banner, when the resolution asks for it
    int m_height = 0;
    std::function<void()> m_onPictureClick;
};
