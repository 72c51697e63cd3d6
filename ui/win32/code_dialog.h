#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace zentrik::win32 {

// Dialogs built in code rather than from a template of the resource script: a template with
// the caption, style and font only, whose controls the dialog makes when it starts.

// A modal dialog's template of `width` x `height` dialog units, without controls, in
// DWORD-aligned memory as DialogBoxIndirectParamW takes it.
std::vector<DWORD> EmptyDialogTemplate(const std::wstring& caption, short width, short height);

// A child control of the dialog at a place in dialog units, in the dialog's font.
HWND MakeDialogControl(HWND dialog, const wchar_t* className, const std::wstring& text, DWORD style,
                       int id, int x, int y, int cx, int cy);

}  // namespace zentrik::win32
