#include "ui/win32/about_dlg.h"

#include "shell/about_text.h"
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
