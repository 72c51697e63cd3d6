#pragma once

#include <windows.h>

#include "shell/history_list.h"

// The configuration history: what the controller held, newest first, with the number of
// settings in which each entry differs from the form, and the choice to open the selected
// entry or compare it with the form. Built in code (no template): a list view, or the line
// that says the history is empty, over three buttons.
class CHistoryDlg {
  public:
    // Control ids of its list, its empty line and its two choice buttons (Close is IDCANCEL).
    static constexpr int kListId = 1201;
    static constexpr int kEmptyId = 1202;
    static constexpr int kOpenId = 1203;
    static constexpr int kCompareId = 1204;

    explicit CHistoryDlg(zentrik::HistoryList& list) : m_list(list) {}

    // Runs the dialog modally; Close also when it was ended for the window's close.
    zentrik::HistoryChoice DoModal(HINSTANCE instance, HWND owner);

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);
    // The selection handed to the list, and the buttons enabled as it says.
    void OnSelectionChanged(HWND hwnd);

    zentrik::HistoryList& m_list;
};
