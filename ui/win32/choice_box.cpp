#include "ui/win32/choice_box.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ui/win32/code_dialog.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/wide_text.h"

namespace zentrik::win32 {

namespace {

// Places in dialog units.
constexpr short kWidth = 300;   // wider when an item needs it
constexpr short kHeight = 100;  // set from the contents
constexpr int kMargin = 7;
constexpr int kIconSize = 20;
constexpr int kTextLeft = kMargin + kIconSize + kMargin;
constexpr int kGap = 4;
constexpr int kButtonHeight = 14;
constexpr int kButtonWidth = 50;  // at least
constexpr int kShownRows = 12;    // the list scrolls beyond this many

LPCWSTR IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question:
            return IDI_QUESTION;
        case MessageIcon::Information:
            return IDI_INFORMATION;
        default:
            return IDI_WARNING;
    }
}

// The size of a text in the dialog's font, in pixels; `width` 0 for one line.
SIZE TextSize(HWND dialog, const std::wstring& text, int width) {
    HDC dc = GetDC(dialog);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    RECT rect{0, 0, width, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

std::optional<MessageAnswer> CChoiceBox::DoModal(HINSTANCE instance, HWND owner) {
    const std::vector<DWORD> dialog = EmptyDialogTemplate(Wide(m_request.caption), kWidth, kHeight);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                owner, DialogProc, reinterpret_cast<LPARAM>(this));
    switch (result) {
        case kAcceptId:
            return MessageAnswer::Ok;
        case IDCANCEL:
            return MessageAnswer::Cancel;
        default:
            return std::nullopt;
    }
}

void CChoiceBox::OnInitDialog(HWND hwnd) {
    // Dialog units to pixels, across and down.
    RECT unit{0, 0, 400, 800};
    MapDialogRect(hwnd, &unit);
    const auto across = [&unit](int dlu) { return MulDiv(dlu, unit.right, 400); };
    const auto down = [&unit](int dlu) { return MulDiv(dlu, unit.bottom, 800); };
    const auto inDlu = [&unit](int pixels) { return MulDiv(pixels, 400, unit.right) + 1; };
    const auto inDluDown = [&unit](int pixels) { return MulDiv(pixels, 800, unit.bottom) + 1; };

    // As wide as the widest item needs, within most of the screen.
    const std::vector<std::string>& items = m_request.items;
    int widest = 0;
    for (const std::string& item : items) {
        widest = std::max<int>(widest, TextSize(hwnd, Wide(item), 0).cx);
    }
    const int screenDlu = inDlu(GetSystemMetrics(SM_CXSCREEN) * 3 / 4);
    const int width =
        std::clamp(kTextLeft + inDlu(widest + GetSystemMetrics(SM_CXVSCROLL)) + 2 * kMargin,
                   static_cast<int>(kWidth), std::max<int>(kWidth, screenDlu));
    const int textWidth = width - kTextLeft - kMargin;

    HWND icon = MakeDialogControl(hwnd, WC_STATICW, L"", SS_ICON, -1, kMargin, kMargin, kIconSize,
                                  kIconSize);
    SendMessageW(icon, STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, IconOf(m_request.icon))), 0);
    const std::wstring text = Wide(m_request.text);
    const int textHeight = inDluDown(TextSize(hwnd, text, across(textWidth)).cy);
    MakeDialogControl(hwnd, WC_STATICW, text, SS_LEFT | SS_NOPREFIX, kTextId, kTextLeft, kMargin,
                      textWidth, textHeight);
    int y = kMargin + std::max(textHeight, kIconSize) + kGap;

    if (!items.empty()) {
        HWND list = MakeDialogControl(
            hwnd, WC_LISTBOXW, L"",
            WS_BORDER | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
            kItemsId, kTextLeft, y, textWidth, kButtonHeight);
        for (const std::string& item : items) {
            const std::wstring line = Wide(item);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + across(kGap)), 0);
        const int rows = std::clamp(static_cast<int>(items.size()), 3, kShownRows);
        const int rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
        RECT border{0, 0, 0, 0};
        AdjustWindowRectEx(&border, WS_BORDER, FALSE, 0);
        const int listHeight = inDluDown(rows * rowHeight + (border.bottom - border.top) + 2);
        RECT place{kTextLeft, y, kTextLeft + textWidth, y + listHeight};
        MapDialogRect(hwnd, &place);
        MoveWindow(list, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   FALSE);
        y += listHeight + kGap;
    }

    // The buttons in the order asked, at the right; Cancel is the default.
    const std::wstring acceptText = Wide(m_request.acceptButton);
    const std::wstring cancelText = Wide(m_request.cancelButton);
    const auto buttonWidth = [&](const std::wstring& label) {
        return std::max(kButtonWidth, inDlu(TextSize(hwnd, label, 0).cx) + 2 * kMargin);
    };
    int right = width - kMargin;
    const int cancelWidth = buttonWidth(cancelText);
    MakeDialogControl(hwnd, WC_BUTTONW, cancelText, WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL,
                      right - cancelWidth, y, cancelWidth, kButtonHeight);
    right -= cancelWidth + kGap;
    const int acceptWidth = buttonWidth(acceptText);
    MakeDialogControl(hwnd, WC_BUTTONW, acceptText, WS_TABSTOP | BS_PUSHBUTTON, kAcceptId,
                      right - acceptWidth, y, acceptWidth, kButtonHeight);
    SendMessageW(hwnd, DM_SETDEFID, IDCANCEL, 0);

    // The window around that client area.
    RECT frame{0, 0, across(width), down(y + kButtonHeight + kMargin)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    CenterOverOwner(hwnd);
    SetFocus(GetDlgItem(hwnd, IDCANCEL));
}

INT_PTR CALLBACK CChoiceBox::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            reinterpret_cast<CChoiceBox*>(lParam)->OnInitDialog(hwnd);
            return FALSE;  // Cancel has the focus
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kAcceptId:
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

}  // namespace zentrik::win32
