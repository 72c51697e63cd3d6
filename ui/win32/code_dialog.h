#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zentrik::win32 {

// Dialogs built in code rather than from a template of the resource script.

// A dialog template without controls, `cx` by `cy` dialog units: caption, modal style and
// font; DialogBoxIndirectParamW takes it from DWORD-aligned memory.
std::vector<DWORD> EmptyDialogTemplate(const std::wstring& caption, short cx, short cy);

// A child control of `dialog` at a place given in dialog units, in the dialog's font.
HWND MakeDialogControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                       int id, int x, int y, int cx, int cy);

}  // namespace zentrik::win32
