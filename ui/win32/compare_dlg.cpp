#include "ui/win32/compare_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "editor/compare_texts.h"
#include "shell/shell_texts.h"
#include "ui/win32/code_dialog.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/wide_text.h"

namespace texts = zentrik::shell_texts;
using zentrik::CompareChoice;
using zentrik::win32::EmptyDialogTemplate;
using zentrik::win32::MakeDialogControl;
using zentrik::win32::Wide;

namespace {

// The dialog's size and its controls' places, in dialog units.
constexpr short kWidth = 330;
constexpr short kHeight = 200;
constexpr int kMargin = 7;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kUseControllersWidth = 70;
constexpr int kUploadThisWidth = 60;
constexpr int kCloseWidth = 50;

}  // namespace

CompareChoice CCompareDlg::DoModal(HINSTANCE instance, HWND owner) {
    const std::vector<DWORD> dialog =
        EmptyDialogTemplate(Wide(texts::kCompareCaption), kWidth, kHeight);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                owner, DialogProc, reinterpret_cast<LPARAM>(this));
    switch (result) {
        case kUseControllersId:
            return CompareChoice::UseControllers;
        case kUploadThisId:
            return CompareChoice::UploadThis;
        default:
            return CompareChoice::Close;
    }
}

void CCompareDlg::OnInitDialog(HWND hwnd) {
    const int buttonTop = kHeight - kMargin - kButtonHeight;
    HWND list = MakeDialogControl(
        hwnd, WC_LISTVIEWW, L"",
        WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
        kListId, kMargin, kMargin, kWidth - 2 * kMargin, buttonTop - kButtonGap - kMargin);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
    int column = 0;
    for (const char* heading :
         {zentrik::compare_texts::kSettingHeading, zentrik::compare_texts::kThisComputer,
          zentrik::compare_texts::kController}) {
        std::wstring text = Wide(heading);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_SUBITEM;
        info.pszText = text.data();
        info.iSubItem = column;
        ListView_InsertColumn(list, column++, &info);
    }
    int row = 0;
    for (const zentrik::ConfigDifference& difference : m_rows) {
        std::wstring setting = Wide(difference.setting);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = setting.data();
        ListView_InsertItem(list, &item);
        std::wstring here = Wide(difference.here);
        std::wstring controller = Wide(difference.controller);
        ListView_SetItemText(list, row, 1, here.data());
        ListView_SetItemText(list, row, 2, controller.data());
        ListView_SetCheckState(list, row, TRUE);
        ++row;
    }
    // Each column as wide as its widest text or heading; the last one takes what is left.
    const auto textWidth = [list](const std::string& text) {
        return ListView_GetStringWidth(list, Wide(text).c_str());
    };
    constexpr int kCellPadding = 16;
    int used = 0;
    for (int i = 0; i < 2; ++i) {
        int width = textWidth(i == 0 ? zentrik::compare_texts::kSettingHeading
                                     : zentrik::compare_texts::kThisComputer);
        for (const zentrik::ConfigDifference& difference : m_rows) {
            width = std::max(width, textWidth(i == 0 ? difference.setting : difference.here));
        }
        // The first column holds the check box too.
        width += i == 0 ? GetSystemMetrics(SM_CXSMICON) + kCellPadding / 2 : 0;
        ListView_SetColumnWidth(list, i, width + kCellPadding);
        used += width + kCellPadding;
    }
    RECT inside{};
    GetClientRect(list, &inside);
    ListView_SetColumnWidth(
        list, 2,
        std::max<int>(inside.right - used,
                      textWidth(zentrik::compare_texts::kController) + kCellPadding));

    int right = kWidth - kMargin;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(texts::kCloseButton), WS_TABSTOP | BS_DEFPUSHBUTTON,
                      IDCANCEL, right - kCloseWidth, buttonTop, kCloseWidth, kButtonHeight);
    right -= kCloseWidth + kButtonGap;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(texts::kUploadThisButton), WS_TABSTOP | BS_PUSHBUTTON,
                      kUploadThisId, right - kUploadThisWidth, buttonTop, kUploadThisWidth,
                      kButtonHeight);
    right -= kUploadThisWidth + kButtonGap;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(texts::kUseControllersButton),
                      WS_TABSTOP | BS_PUSHBUTTON, kUseControllersId, right - kUseControllersWidth,
                      buttonTop, kUseControllersWidth, kButtonHeight);
    SendMessageW(hwnd, DM_SETDEFID, IDCANCEL, 0);
    zentrik::win32::CenterOverOwner(hwnd);
    SetFocus(list);
    if (!m_rows.empty()) {
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

void CCompareDlg::ReadTicks(HWND hwnd) {
    HWND list = GetDlgItem(hwnd, kListId);
    for (std::size_t row = 0; row < m_ticked.size(); ++row) {
        m_ticked[row] = ListView_GetCheckState(list, static_cast<int>(row)) != FALSE;
    }
}

INT_PTR CALLBACK CCompareDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            reinterpret_cast<CCompareDlg*>(lParam)->OnInitDialog(hwnd);
            return FALSE;  // the list has the focus
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kUseControllersId:
                case kUploadThisId:
                    reinterpret_cast<CCompareDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER))
                        ->ReadTicks(hwnd);
                    EndDialog(hwnd, LOWORD(wParam));
                    return TRUE;
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
