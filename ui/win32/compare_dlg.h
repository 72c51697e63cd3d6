#pragma once

#include <windows.h>

#include <vector>

#include "editor/config_compare.h"
#include "shell/shell_skin.h"

// The comparison with the controller: one list row per setting that differs, with the value
// on this computer and on the controller and a check box (ticked at first) choosing the rows
// a button acts on, and the user's choice of what to do about it. The dialog is built in code
// (no template): a list view over three buttons.
class CCompareDlg {
  public:
    // Control ids of its list and its two choice buttons (Close is IDCANCEL).
    static constexpr int kListId = 1101;
    static constexpr int kUseControllersId = 1102;
    static constexpr int kUploadThisId = 1103;

    explicit CCompareDlg(const std::vector<zentrik::ConfigDifference>& rows)
        : m_rows(rows), m_ticked(rows.size(), true) {}

    // Runs the dialog modally; Close also when it was ended for the window's close.
    zentrik::CompareChoice DoModal(HINSTANCE instance, HWND owner);
    // Each row's check box as it was when a button was pressed.
    const std::vector<bool>& Ticked() const { return m_ticked; }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog(HWND hwnd);

    void ReadTicks(HWND hwnd);

    const std::vector<zentrik::ConfigDifference>& m_rows;
    std::vector<bool> m_ticked;
};
