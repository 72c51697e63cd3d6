#pragma once

#include <windows.h>

#include "shell/notice_countdown.h"

// The timed notice (dialog 143) after a configuration was downloaded or uploaded. It shows the
// countdown's caption, message and button text, ticks the countdown with timer 108 and closes
// itself when a tick says so; OK and Escape close it at once.
class CNoticeDlg {
  public:
    static constexpr UINT_PTR kTimerId = 108;

    // The countdown has been started by its owner (once per showing).
    explicit CNoticeDlg(zentrik::NoticeCountdown& countdown) : m_countdown(countdown) {}

    // Runs the dialog modally; IDOK when the countdown ran out or OK was pressed, IDCANCEL for
    // Escape or the close box, 0 when it was ended for the window's close.
    INT_PTR ShowNotice(HINSTANCE instance, HWND owner, UINT tickMilliseconds);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND hwnd, UINT message, WPARAM wParam);
    void ShowSecondsLeft(HWND hwnd);

    zentrik::NoticeCountdown& m_countdown;
    UINT m_tickMilliseconds = 1000;
};
