#include "ui/win32/notice_dlg.h"

#include "ui/win32/dialog_placement.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/wide_text.h"

using zentrik::win32::Wide;

INT_PTR CNoticeDlg::ShowNotice(HINSTANCE instance, HWND owner, UINT tickMilliseconds) {
    m_tickMilliseconds = tickMilliseconds;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_NOTICE), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CNoticeDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<CNoticeDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self != nullptr ? self->OnMessage(hwnd, message, wParam) : FALSE;
}

INT_PTR CNoticeDlg::OnMessage(HWND hwnd, UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            // Once per showing: the countdown was started by the owner and goes on from here.
            SetDlgItemTextW(hwnd, IDC_NOTICE_MESSAGE, Wide(m_countdown.Message()).c_str());
            SetWindowTextW(hwnd, Wide(m_countdown.Title()).c_str());
            ShowSecondsLeft(hwnd);
            SetTimer(hwnd, kTimerId, m_tickMilliseconds, nullptr);
            zentrik::win32::CenterOverOwner(hwnd);
            return TRUE;
        case WM_TIMER:
            if (wParam != kTimerId) {
                return FALSE;
            }
            if (m_countdown.Tick()) {
                KillTimer(hwnd, kTimerId);
                EndDialog(hwnd, IDOK);
            }
            ShowSecondsLeft(hwnd);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                KillTimer(hwnd, kTimerId);
                EndDialog(hwnd, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            KillTimer(hwnd, kTimerId);
            return FALSE;
        default:
            return FALSE;
    }
}

void CNoticeDlg::ShowSecondsLeft(HWND hwnd) {
    SetDlgItemTextW(hwnd, IDOK, Wide(m_countdown.ButtonText()).c_str());
}
