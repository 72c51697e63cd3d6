#include "ui/win32/banner_bar.h"

#include "ui/win32/res/resource_ids.h"
#include "ui/win32/screen_dpi.h"

CBannerBar::~CBannerBar() {
    if (m_hwnd != nullptr && IsWindow(m_hwnd)) {
        DestroyWindow(m_hwnd);
    }
    if (m_brush != nullptr) {
        DeleteObject(m_brush);
    }
    if (m_picture != nullptr) {
        DeleteObject(m_picture);
    }
}

bool CBannerBar::Create(HINSTANCE instance, HWND parent, int dpi,
                        std::function<void()> onPictureClick) {
    m_onPictureClick = std::move(onPictureClick);
    m_brush = CreateSolidBrush(RGB(0, 0, 0));
    m_hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_BANNER_BAR), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    if (m_hwnd == nullptr) {
        return false;
    }
    SetWindowLongPtrW(m_hwnd, GWLP_ID, IDW_BANNER_BAR);
    if (zentrik::win32::UsesDoubleSize(dpi)) {
        m_picture = zentrik::win32::LoadBitmapForDpi(instance, IDB_BANNER, dpi);
        if (m_picture != nullptr) {
            // The template's own bitmap comes back and is the control's no longer.
            HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
                SendDlgItemMessageW(m_hwnd, IDC_BANNER_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                    reinterpret_cast<LPARAM>(m_picture)));
            if (old != nullptr) {
                DeleteObject(old);
            }
        }
    }
    RECT rect{};
    GetWindowRect(m_hwnd, &rect);
    m_height = rect.bottom - rect.top;
    ShowWindow(m_hwnd, SW_SHOWNA);
    return true;
}

int CBannerBar::PictureWidth() const {
    RECT rect{};
    HWND picture = m_hwnd != nullptr ? GetDlgItem(m_hwnd, IDC_BANNER_PICTURE) : nullptr;
    if (picture == nullptr || !GetWindowRect(picture, &rect)) {
        return 0;
    }
    return rect.right - rect.left;
}

void CBannerBar::PlacePicture() {
    HWND picture = GetDlgItem(m_hwnd, IDC_BANNER_PICTURE);
    if (picture == nullptr) {
        return;
    }
    RECT client{};
    GetClientRect(m_hwnd, &client);
    RECT rect{};
    GetWindowRect(picture, &rect);
    const int spare = (client.right - client.left) - (rect.right - rect.left);
    SetWindowPos(picture, nullptr, spare > 0 ? spare / 2 : 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

INT_PTR CALLBACK CBannerBar::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        reinterpret_cast<CBannerBar*>(lParam)->m_hwnd = hwnd;
        return FALSE;  // no focus: the bar is no place to type
    }
    auto* self = reinterpret_cast<CBannerBar*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(self->m_brush);
        case WM_SIZE:
            self->PlacePicture();
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BANNER_PICTURE && HIWORD(wParam) == STN_CLICKED &&
                self->m_onPictureClick) {
                self->m_onPictureClick();
            }
            return TRUE;
        default:
            return FALSE;
    }
}
