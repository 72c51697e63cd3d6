#pragma once

#include <windows.h>

// The frame's client area between the bars. It holds the form at the form's own size and
// scrolls it when the window is smaller, rather than cutting off its right and lower parts.
class CFormArea {
  public:
    CFormArea() = default;
    CFormArea(const CFormArea&) = delete;
    CFormArea& operator=(const CFormArea&) = delete;

    bool Create(HINSTANCE instance, HWND parent);
    HWND Hwnd() const { return m_hwnd; }
    // The form's window (a child of this area) and its size in pixels; called again when the
    // form's size changes (a new resolution).
    void SetForm(HWND form, SIZE size);
    // Scrolls so that `control`, if it is on the form, can be seen: its top left corner when
    // it is larger than the area.
    void ScrollIntoView(HWND control);
    // Where the area's scrolling stands, for tests.
    POINT Offset() const { return m_offset; }

  private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateScrollBars();
    void ScrollTo(int x, int y);
    void OnScroll(int bar, int code);

    HWND m_hwnd = nullptr;
    HWND m_form = nullptr;
    SIZE m_size{};
    POINT m_offset{};
};
