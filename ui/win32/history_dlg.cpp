#include "ui/win32/history_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "shell/history_texts.h"
#include "ui/win32/code_dialog.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/wide_text.h"

namespace texts = zentrik::history_texts;
using zentrik::HistoryChoice;
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
constexpr int kButtonWidth = 50;
constexpr int kCellPadding = 16;

}  // namespace

HistoryChoice CHistoryDlg::DoModal(HINSTANCE instance, HWND owner) {
    const std::vector<DWORD> dialog =
        EmptyDialogTemplate(Wide(texts::kHistoryCaption), kWidth, kHeight);
    const INT_PTR result =
        DialogBoxIndirectParamW(instance, reinterpret_cast<const DLGTEMPLATE*>(dialog.data()),
                                owner, DialogProc, reinterpret_cast<LPARAM>(this));
    switch (result) {
        case kOpenId:
            return HistoryChoice::Open;
        case kCompareId:
            return HistoryChoice::Compare;
        default:
            return HistoryChoice::Close;
    }
}

void CHistoryDlg::OnInitDialog(HWND hwnd) {
    // Read first: the list view reports its changes while it is filled.
    const int selected = m_list.Selected();
    const int buttonTop = kHeight - kMargin - kButtonHeight;
    HWND list = MakeDialogControl(
        hwnd, WC_LISTVIEWW, L"",
        WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
        kListId, kMargin, kMargin, kWidth - 2 * kMargin, buttonTop - kButtonGap - kMargin);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    int column = 0;
    for (const char* heading : {texts::kWhenHeading, texts::kEventHeading,
                                texts::kControllerHeading, texts::kDifferencesHeading}) {
        std::wstring text = Wide(heading);
        LVCOLUMNW info{};
        info.mask = LVCF_TEXT | LVCF_SUBITEM;
        info.pszText = text.data();
        info.iSubItem = column;
        ListView_InsertColumn(list, column, &info);
        ListView_SetColumnWidth(list, column, ListView_GetStringWidth(list, text.c_str()));
        ++column;
    }
    int row = 0;
    for (const zentrik::HistoryRow& entry : m_list.Rows()) {
        column = 0;
        for (const std::string* text :
             {&entry.when, &entry.event, &entry.controller, &entry.differences}) {
            std::wstring cell = Wide(*text);
            if (column == 0) {
                LVITEMW item{};
                item.mask = LVIF_TEXT;
                item.iItem = row;
                item.pszText = cell.data();
                ListView_InsertItem(list, &item);
            } else {
                ListView_SetItemText(list, row, column, cell.data());
            }
            ListView_SetColumnWidth(list, column,
                                    std::max(ListView_GetColumnWidth(list, column),
                                             ListView_GetStringWidth(list, cell.c_str())));
            ++column;
        }
        ++row;
    }
    for (column = 0; column < 4; ++column) {
        ListView_SetColumnWidth(list, column, ListView_GetColumnWidth(list, column) + kCellPadding);
    }
    HWND empty = MakeDialogControl(hwnd, WC_STATICW, Wide(texts::kEmptyText), SS_LEFT, kEmptyId,
                                   kMargin, kMargin, kWidth - 2 * kMargin, 10);
    ShowWindow(m_list.Empty() ? list : empty, SW_HIDE);

    int right = kWidth - kMargin;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(zentrik::shell_texts::kCloseButton),
                      WS_TABSTOP | BS_DEFPUSHBUTTON, IDCANCEL, right - kButtonWidth, buttonTop,
                      kButtonWidth, kButtonHeight);
    right -= kButtonWidth + kButtonGap;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(texts::kCompareButton), WS_TABSTOP | BS_PUSHBUTTON,
                      kCompareId, right - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    right -= kButtonWidth + kButtonGap;
    MakeDialogControl(hwnd, WC_BUTTONW, Wide(texts::kOpenButton), WS_TABSTOP | BS_PUSHBUTTON,
                      kOpenId, right - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    SendMessageW(hwnd, DM_SETDEFID, IDCANCEL, 0);
    zentrik::win32::CenterOverOwner(hwnd);
    if (selected >= 0) {
        ListView_SetItemState(list, selected, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
    }
    OnSelectionChanged(hwnd);
    SetFocus(m_list.Empty() ? GetDlgItem(hwnd, IDCANCEL) : list);
}

void CHistoryDlg::OnSelectionChanged(HWND hwnd) {
    m_list.Select(ListView_GetNextItem(GetDlgItem(hwnd, kListId), -1, LVNI_SELECTED));
    EnableWindow(GetDlgItem(hwnd, kOpenId), m_list.CanOpen());
    EnableWindow(GetDlgItem(hwnd, kCompareId), m_list.CanCompare());
}

INT_PTR CALLBACK CHistoryDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CHistoryDlg*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            reinterpret_cast<CHistoryDlg*>(lParam)->OnInitDialog(hwnd);
            return FALSE;  // the list (or Close) has the focus
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (self != nullptr && header->idFrom == kListId && header->code == LVN_ITEMCHANGED) {
                self->OnSelectionChanged(hwnd);
            }
            return FALSE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kOpenId:
                case kCompareId:
                    if (self != nullptr && self->m_list.CanOpen()) {
                        EndDialog(hwnd, LOWORD(wParam));
                    }
                    return TRUE;
                case IDCANCEL:
                    EndDialog(hwnd, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}
