#include "ui/win32/upgrade_progress_dlg.h"

#include <commctrl.h>

#include "ui/win32/dialog_placement.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/wide_text.h"

void CUpgradeProgressDlg::RunUpgrade(HINSTANCE instance, HWND owner,
                                     zentrik::UpgradeProgress& progress,
                                     zentrik::FirmwareUnitSource& source) {
    m_progress = &progress;
    m_source = &source;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_UPGRADE_PROGRESS), owner, DialogProc,
                    reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    m_source = nullptr;
}

void CUpgradeProgressDlg::ShowProgress() {
    if (m_hwnd == nullptr || m_progress == nullptr) {
        return;
    }
    // The first packet, the checksum step and the result are shown at once.
    if (m_progress->Finished() || m_progress->Step() <= 0) {
        ShowNow();
        return;
    }
    if (m_repaintPending) {
        return;
    }
    const ULONGLONG elapsed = GetTickCount64() - m_lastShown;
    if (elapsed >= kRepaintMs) {
        ShowNow();
    } else {
        m_repaintPending = true;
        SetTimer(m_hwnd, kRepaintTimer, static_cast<UINT>(kRepaintMs - elapsed), nullptr);
    }
}

void CUpgradeProgressDlg::ShowNow() {
    if (m_repaintPending) {
        KillTimer(m_hwnd, kRepaintTimer);
        m_repaintPending = false;
    }
    SendDlgItemMessageW(m_hwnd, IDC_PROGRESS_BAR, PBM_SETPOS, m_progress->BarValue(), 0);
    if (m_progress->Text() != m_textShown) {
        m_textShown = m_progress->Text();
        SetDlgItemTextW(m_hwnd, IDC_PROGRESS_TEXT, zentrik::win32::Wide(m_textShown).c_str());
    }
    ShowWindow(GetDlgItem(m_hwnd, IDC_PROGRESS_BAR), m_progress->BarShown() ? SW_SHOWNA : SW_HIDE);
    HWND ok = GetDlgItem(m_hwnd, IDOK);
    ShowWindow(ok, m_progress->OkShown() ? SW_SHOWNA : SW_HIDE);
    if (m_progress->Finished() && !m_finishedShown) {
        m_finishedShown = true;
        SendMessageW(m_hwnd, DM_SETDEFID, IDOK, 0);
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
    }
    m_lastShown = GetTickCount64();
}

INT_PTR CALLBACK CUpgradeProgressDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CUpgradeProgressDlg*>(lParam)->m_hwnd = hwnd;
    }
    auto* self = reinterpret_cast<CUpgradeProgressDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam) : FALSE;
}

INT_PTR CUpgradeProgressDlg::OnMessage(UINT message, WPARAM wParam) {
    switch (message) {
        case WM_INITDIALOG:
            m_finishedShown = false;
            m_repaintPending = false;
            m_textShown.clear();
            // The bar's upper bound travels as a 16-bit value.
            SendDlgItemMessageW(m_hwnd, IDC_PROGRESS_BAR, PBM_SETRANGE, 0,
                                MAKELPARAM(0, m_progress->BarMaximum()));
            ShowNow();
            zentrik::win32::CenterOverOwner(m_hwnd);
            // The transfer starts once the dialog is there to show it.
            m_source->SendNextFirmwareUnit();
            return TRUE;
        case WM_TIMER:
            if (wParam == kRepaintTimer) {
                ShowNow();
                return TRUE;
            }
            return FALSE;
        case WM_COMMAND:
            // OK (the button or Enter) only once the result is shown; Escape and the close box
            // never close it.
            if (LOWORD(wParam) == IDOK && m_progress->MayCloseWithOk()) {
                KillTimer(m_hwnd, kRepaintTimer);
                EndDialog(m_hwnd, 0);
            }
            return TRUE;
        case WM_CLOSE:
            return TRUE;
        default:
            return FALSE;
    }
}
