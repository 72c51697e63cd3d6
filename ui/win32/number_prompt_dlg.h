#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "shell/shell_skin.h"

// A small dialog asking for a number, built in code: the prompt's caption and label, a field
// holding its text (all selected, so typing replaces it), the note of why the last answer was
// not taken, OK and Cancel. The text is handed back as typed; the shell reads the number.
class CNumberPromptDlg {
  public:
    static constexpr int kFieldId = 1201;
    static constexpr int kNoteId = 1202;

    explicit CNumberPromptDlg(const zentrik::NumberPrompt& prompt) : m_prompt(prompt) {}

    // The text when OK was pressed; nothing when cancelled or ended for the window's close.
    std::optional<std::string> DoModal(HINSTANCE instance, HWND owner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);

    const zentrik::NumberPrompt& m_prompt;
    std::string m_text;
};
