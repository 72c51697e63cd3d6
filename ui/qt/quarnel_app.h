#pragma once

#include <QObject>
#include <memory>

#include "config/app_settings.h"
#include "link/discovery/bridge_list.h"
#include "shell/shell_app.h"

class CMainFrame;

// The application object of the Qt window: the program's start-up and exit (ShellApp) with
// the Qt main frame.
class CQuarnelApp : public QObject {
    Q_OBJECT
  public:
    CQuarnelApp() = default;
    ~CQuarnelApp() override;

    // Start-up: the document (record zeroed), the frame (bars, LoadSettings,
    // ScanForConnection), the document's new-document step, the form's initial update, and
    // the window shown. `bridges` replaces the platform's bridge list (tests).
    bool InitInstance(std::unique_ptr<zentrik::BridgeList> bridges = nullptr);
    // Exit: the document's close step unless the window's close already ran it, then the
    // frame's destruction (settings saved, port closed).
    void ExitInstance() { m_app.ExitInstance(); }

    // The settings of the run; a path chosen before InitInstance is kept.
    zentrik::AppSettings& Settings() { return m_app.Settings(); }
    CMainFrame* MainFrame() const;
    zentrik::CQuarnelDoc* Doc() const { return m_app.Doc(); }

  private:
    zentrik::ShellApp m_app;
};
