#include "ui/win32/number_prompt_dlg.h"

#include <commctrl.h>

#include "shell/shell_texts.h"
#include "ui/win32/code_dialog.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/wide_text.h"

using zentrik::win32::MakeDialogControl;
using zentrik::win32::Wide;

namespace {

// The dialog's size and its controls' places, in dialog units.
constexpr short kWidth = 200;
constexpr short kHeight = 86;
constexpr int kMargin = 7;
constexpr int kLabelHeight = 10;
constexpr int kFieldHeight = 14;
constexpr int kNoteHeight = 18;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;

}  // namespace

std::optional<std::string> CNumberPromptDlg::DoModal(HINSTANCE instance, HWND owner) {
    const std::vector<DWORD> dialog =
        zentrik::win32::EmptyDialogTemplate(Wide(m_prompt.caption), kWidth, kHeight);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (result != IDOK) {
        return std::nullopt;
    }
    return m_text;
}

void CNumberPromptDlg::OnInitDialog(HWND hwnd) {
    const int inner = kWidth - 2 * kMargin;
    int y = kMargin;
    MakeDialogControl(hwnd, WC_STATICW, Wide(m_prompt.label), SS_LEFT, -1, kMargin, y, inner,
                      kLabelHeight);
    y += kLabelHeight + 2;
    HWND field = MakeDialogControl(hwnd, WC_EDITW, Wide(m_prompt.text),
                                   WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, kFieldId, kMargin, y,
                                   inner, kFieldHeight);
    y += kFieldHeight + 3;
    MakeDialogControl(hwnd, WC_STATICW, Wide(m_prompt.error), SS_LEFT, kNoteId, kMargin, y, inner,
                      kNoteHeight);
    const int buttonTop = kHeight - kMargin - kButtonHeight;
    const int right = kWidth - kMargin;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(zentrik::shell_texts::kOk),
                      WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, right - 2 * kButtonWidth - kButtonGap,
                      buttonTop, kButtonWidth, kButtonHeight);
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(zentrik::shell_texts::kCancel),
                      WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, right - kButtonWidth, buttonTop,
                      kButtonWidth, kButtonHeight);
    zentrik::win32::CenterOverOwner(hwnd);
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

INT_PTR CALLBACK CNumberPromptDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            reinterpret_cast<CNumberPromptDlg*>(lParam)->OnInitDialog(hwnd);
            return FALSE;  // the field has the focus
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* self =
                    reinterpret_cast<CNumberPromptDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
                HWND field = GetDlgItem(hwnd, kFieldId);
                std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
                text.resize(static_cast<std::size_t>(
                    GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
                self->m_text = zentrik::win32::Utf8(text);
                EndDialog(hwnd, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}
