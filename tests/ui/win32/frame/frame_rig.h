#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/frame_shell.h"
#include "ui/win32/main_frame.h"
#include "ui/win32/quarnel_app.h"

namespace zentrik::test {

// The whole window as the program starts it (application object, frame, form), with its INI
// file in a folder of its own and no bridge attached, so no controller is found.
class FrameRig : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    CMainFrame& Frame() { return *m_app->MainFrame(); }
    FrameShell& Shell() { return Frame().Shell(); }
    HWND Hwnd() { return Frame().Hwnd(); }
    const std::string& IniPath() const { return m_iniPath; }
    // The message loop until the frame has gone (WM_QUIT), as the program runs it.
    void RunUntilClosed();

    // Toolbar button `id`: its text and whether it is enabled.
    std::wstring ButtonText(int id);
    bool ButtonEnabled(int id);
    // A menu item's state once its menu has been opened (WM_INITMENUPOPUP), by command id.
    UINT MenuState(int id);
    // The captions of a menu's items in order, separators as "-", submenus by their caption.
    std::vector<std::wstring> MenuCaptions(HMENU menu);

    std::unique_ptr<CQuarnelApp> m_app;
    std::string m_iniPath;
};

// A shown top-level window of this thread with the caption, or nullptr.
HWND FindDialog(const std::wstring& caption);
std::wstring TextOf(HWND window);
bool Shown(HWND window);

// Runs `action` inside the next modal loop of this thread, once the window with `caption` is
// up (a thread timer is dispatched by any message loop, the modal ones included). The action
// gets the window. Fails the test if the window never comes.
void WhenShown(const std::wstring& caption, std::function<void(HWND)> action);

}  // namespace zentrik::test
