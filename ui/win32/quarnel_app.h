#pragma once

#include <windows.h>

#include <memory>

#include "config/app_settings.h"
#include "link/discovery/bridge_list.h"
#include "shell/shell_app.h"

class CMainFrame;

// The application object of the Windows window: GDI+ (its token held from start-up to exit,
// shut down last), the common controls, the program's start-up and exit (ShellApp) with the
// Win32 main frame, and the message loop.
class CQuarnelApp {
  public:
    explicit CQuarnelApp(HINSTANCE instance);
    // Exit, then GDI+ shut down.
    ~CQuarnelApp();
    CQuarnelApp(const CQuarnelApp&) = delete;
    CQuarnelApp& operator=(const CQuarnelApp&) = delete;

    // Start-up: GDI+, the common controls, then the document, the frame (bars, LoadSettings,
    // ScanForConnection), the document's new-document step, the form's initial update and the
    // window shown. `bridges` replaces the platform's bridge list (tests). False when the
    // window could not be made.
    bool InitInstance(std::unique_ptr<zentrik::BridgeList> bridges = nullptr);
    // The message loop until the window has gone (WM_QUIT); its exit code.
    int Run();
    // One message through the frame's shortcuts and the form's keys, then dispatched unless
    // one of them took it.
    void Dispatch(MSG& msg);
    // Exit: the document's close step unless the window's close already ran it, then the
    // frame's destruction (settings saved, port closed).
    void ExitInstance() { m_app.ExitInstance(); }

    // The settings of the run; a path chosen before InitInstance is kept.
    zentrik::AppSettings& Settings() { return m_app.Settings(); }
    CMainFrame* MainFrame() const;
    zentrik::CQuarnelDoc* Doc() const { return m_app.Doc(); }

  private:
    HINSTANCE m_instance;
    ULONG_PTR m_gdiplusToken = 0;
    zentrik::ShellApp m_app;
};
