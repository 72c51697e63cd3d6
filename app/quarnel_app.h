#pragma once

#include <QObject>
#include <memory>

#include "config/app_settings.h"
#include "link/discovery/bridge_list.h"

class CMainFrame;
class CQuarnelDoc;

// The application object: one settings object for the run, the document and the main frame,
// created and destroyed in the program's fixed order.
class CQuarnelApp : public QObject {
    Q_OBJECT
  public:
    CQuarnelApp();
    ~CQuarnelApp() override;

    // Start-up: the document (record zeroed), the frame (bars, LoadSettings,
    // ScanForConnection), the document's new-document step, the form's initial update, and
    // the window shown. `bridges` replaces the platform's bridge list (tests).
    bool InitInstance(std::unique_ptr<zentrik::BridgeList> bridges = nullptr);
    // Exit: the document's close step unless the window's close already ran it, then the
    // frame's destruction (settings saved, port closed).
    void ExitInstance();

    // The settings of the run; a path chosen before InitInstance is kept.
    zentrik::AppSettings& Settings() { return m_settings; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    CQuarnelDoc* Doc() const { return m_doc.get(); }

    // The About command.
    void OnAppAbout();

  private:
    zentrik::AppSettings m_settings;
    std::unique_ptr<CQuarnelDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};
