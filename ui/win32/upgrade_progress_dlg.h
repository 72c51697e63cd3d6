#pragma once

#include <windows.h>

#include <string>

#include "link/upgrade_handler.h"
#include "shell/upgrade_progress.h"

// The firmware upgrade's progress dialog (147): shows the upgrade's progress, which also says
// when it may be closed. The whole word transfer runs inside its modal loop. One instance is a
// member of the frame and serves every upgrade.
class CUpgradeProgressDlg {
  public:
    // Opens the dialog owned by `owner` for the progress, starts the transfer with the
    // source's first unit once it is open, and returns when the user has closed it after the
    // result.
    void RunUpgrade(HINSTANCE instance, HWND owner, zentrik::UpgradeProgress& progress,
                    zentrik::FirmwareUnitSource& source);
    // The progress changed: a step (shown at most every kRepaintMs, so that painting never
    // slows the transfer) or the result (at once).
    void ShowProgress();
    // The dialog while it is open, else nullptr.
    HWND Hwnd() const { return m_hwnd; }

  private:
    static constexpr UINT_PTR kRepaintTimer = 1;
    static constexpr ULONGLONG kRepaintMs = 40;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam);
    void ShowNow();

    HWND m_hwnd = nullptr;
    zentrik::UpgradeProgress* m_progress = nullptr;
    zentrik::FirmwareUnitSource* m_source = nullptr;
    ULONGLONG m_lastShown = 0;
    bool m_repaintPending = false;
    bool m_finishedShown = false;
    std::string m_textShown;
};
