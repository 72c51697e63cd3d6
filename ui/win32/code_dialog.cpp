#include "ui/win32/code_dialog.h"

#include <algorithm>

namespace zentrik::win32 {

std::vector<DWORD> EmptyDialogTemplate(const std::wstring& caption, short cx, short cy) {
    std::vector<WORD> words;
    DLGTEMPLATE head{};
    head.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    head.cx = cx;
    head.cy = cy;
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

HWND MakeDialogControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
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

}  // namespace zentrik::win32
