#include "ui/win32/compare_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "editor/compare_texts.h"
#include "shell/shell_texts.h"
#include "ui/win32/dialog_placement.h"
#include "ui/win32/wide_text.h"

namespace texts = zentrik::shell_texts;
using zentrik::CompareChoice;
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

// A dialog template without controls: caption, style and font; DialogBoxIndirectParamW takes
// it from DWORD-aligned memory.
std::vector<DWORD> EmptyTemplate(const std::wstring& caption) {
    std::vector<WORD> words;
    DLGTEMPLATE head{};
    head.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    head.cx = kWidth;
    head.cy = kHeight;
    const auto* raw = reinterpret_cast<const WORD*>(&head);
    words.assign(raw, raw + sizeof head / sizeof(WORD));
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.insert(words.end(), caption.begin(), caption.end());
    words.push_back(0);
    words.push_back(8);  // point size
    const std::wstring font = L"MS Shell Dlg";
    words.insert(words.end(), font.begin(), font.end());
    words.push_back(0);
    std::vector<DWORD> aligned((words.size() + 1) / 2, 0);
    std::copy(words.begin(), words.end(), reinterpret_cast<WORD*>(aligned.data()));
    return aligned;
}

HWND MakeControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                 int id, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &rect);
    HWND control = CreateWindowExW(
        0, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
        rect.right - rect.left, rect.bottom - rect.top, dialog,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE)), nullptr);
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}

}  // namespace

CompareChoice CCompareDlg::DoModal(HINSTANCE instance, HWND owner) {
    const std::vector<DWORD> dialog = EmptyTemplate(Wide(texts::kCompareCaption));
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
    HWND list = MakeControl(
        hwnd, WC_LISTVIEWW, L"",
        WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS,
        kListId, kMargin, kMargin, kWidth - 2 * kMargin, buttonTop - kButtonGap - kMargin);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
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
    MakeControl(hwnd, WC_BUTTONW, Wide(texts::kCloseButton), WS_TABSTOP | BS_DEFPUSHBUTTON,
                IDCANCEL, right - kCloseWidth, buttonTop, kCloseWidth, kButtonHeight);
    right -= kCloseWidth + kButtonGap;
    MakeControl(hwnd, WC_BUTTONW, Wide(texts::kUploadThisButton), WS_TABSTOP | BS_PUSHBUTTON,
                kUploadThisId, right - kUploadThisWidth, buttonTop, kUploadThisWidth,
                kButtonHeight);
    right -= kUploadThisWidth + kButtonGap;
    MakeControl(hwnd, WC_BUTTONW, Wide(texts::kUseControllersButton), WS_TABSTOP | BS_PUSHBUTTON,
                kUseControllersId, right - kUseControllersWidth, buttonTop, kUseControllersWidth,
                kButtonHeight);
    SendMessageW(hwnd, DM_SETDEFID, IDCANCEL, 0);
    zentrik::win32::CenterOverOwner(hwnd);
    SetFocus(list);
    if (!m_rows.empty()) {
        ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

INT_PTR CALLBACK CCompareDlg::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            reinterpret_cast<CCompareDlg*>(lParam)->OnInitDialog(hwnd);
            return FALSE;  // the list has the focus
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case kUseControllersId:
                case kUploadThisId:
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
