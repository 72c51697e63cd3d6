#include "ui/win32/about_dlg.h"

#include <algorithm>
#include <cwchar>

#include "shell/about_text.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/res/resource_ids.h"
#include "ui/win32/screen_dpi.h"
#include "ui/win32/wide_text.h"

INT_PTR CAboutDlg::DoModal(HINSTANCE instance, HWND owner, int dpi) {
    m_instance = instance;
    m_dpi = dpi;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner,
                                           DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_brush != nullptr) {
        DeleteObject(m_brush);
        m_brush = nullptr;
    }
    if (m_picture != nullptr) {
        DeleteObject(m_picture);
        m_picture = nullptr;
    }
    return result;
}

void CAboutDlg::FitControls(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    // The picture control takes its bitmap's size: centred across the box, which the
    // template's font may make wider than the picture.
    HWND picture = GetDlgItem(hwnd, IDC_ABOUT_PICTURE);
    RECT rect{};
    GetWindowRect(picture, &rect);
    const int spare = client.right - (rect.right - rect.left);
    SetWindowPos(picture, nullptr, spare > 0 ? spare / 2 : 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The version field as wide as its text, up to the OK button.
    HWND version = GetDlgItem(hwnd, IDC_ABOUT_VERSION);
    HWND ok = GetDlgItem(hwnd, IDOK);
    RECT field{};
    RECT button{};
    GetWindowRect(version, &field);
    GetWindowRect(ok, &button);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&field), 2);
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&button), 2);
    // A font whose dialog units come out a little short of the picture's resolution leaves
    // the picture reaching into the bottom row: the row and the box go down by as much.
    const int overlap = (rect.bottom - rect.top) - std::min(field.top, button.top);
    if (overlap > 0) {
        for (RECT* place : {&field, &button}) {
            OffsetRect(place, 0, overlap);
        }
        SetWindowPos(ok, nullptr, button.left, button.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(version, nullptr, field.left, field.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT box{};
        GetWindowRect(hwnd, &box);
        SetWindowPos(hwnd, nullptr, 0, 0, box.right - box.left, box.bottom - box.top + overlap,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    wchar_t text[128] = {};
    GetWindowTextW(version, text, static_cast<int>(std::size(text)));
    HDC dc = GetDC(version);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(version, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
    SelectObject(dc, old);
    ReleaseDC(version, dc);
    const int wanted = extent.cx + GetSystemMetrics(SM_CXEDGE) * 4;
    if (wanted > field.right - field.left) {
        const int width = std::min<int>(wanted, button.left - field.left);
        SetWindowPos(version, nullptr, 0, 0, width, field.bottom - field.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self != nullptr ? self->OnMessage(hwnd, message, wParam, lParam) : FALSE;
}

INT_PTR CAboutDlg::OnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            m_brush = CreateSolidBrush(RGB(0, 0, 0));
            SetDlgItemTextW(hwnd, IDC_ABOUT_VERSION,
                            zentrik::win32::Wide(zentrik::AboutVersionText()).c_str());
            if (zentrik::win32::UsesDoubleSize(m_dpi)) {
                m_picture = zentrik::win32::LoadBitmapForDpi(m_instance, IDB_ABOUT, m_dpi);
                if (m_picture != nullptr) {
                    HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
                        SendDlgItemMessageW(hwnd, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                            reinterpret_cast<LPARAM>(m_picture)));
                    if (old != nullptr) {
                        DeleteObject(old);
                    }
                }
            }
            FitControls(hwnd);
            zentrik::win32::CenterOverOwner(hwnd);
            return TRUE;  // focus on OK, the default button
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: {
            // The default colours are worked out first and set aside; then white on black.
            DefWindowProcW(hwnd, message, wParam, lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(255, 255, 255));
            SetBkColor(dc, RGB(0, 0, 0));
            return reinterpret_cast<INT_PTR>(m_brush);
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_ABOUT_PICTURE:
                    if (HIWORD(wParam) == STN_CLICKED && m_onPictureClick) {
                        m_onPictureClick();
                    }
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    EndDialog(hwnd, LOWORD(wParam));
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}
