#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/discovery/bridge_list.h"
#include "shell/quarnel_doc.h"
#include "support/simulator.h"
#include "support/switchable_bridges.h"
#include "ui/qt/main_frame.h"
#include "ui/qt/quarnel_app.h"
#include "ui/qt/support/modal_answerer.h"

namespace zentrik::apptest {

// Settings for runs that must not time out on a loaded machine.
inline constexpr const char* kPatientSettings =
    "[Zentrik Settings]\nTimeout=500\nTimeoutRetry=3\nCRCRetry=3\n";

using test::Simulator;

// The whole application in one test: its own folder and INI file, the modal answerer, the
// application object with switchable bridges, ZENTRIK_PORT set while it runs.
class WindowRig {
  public:
    explicit WindowRig(const std::string& settingsText = kPatientSettings);
    ~WindowRig();
    WindowRig(const WindowRig&) = delete;
    WindowRig& operator=(const WindowRig&) = delete;

    // The device opened as the controller's port (ZENTRIK_PORT); empty unsets it.
    void UsePort(const std::string& device);
    // Starts the program with the switchable bridges (attached or not).
    void Start(bool attached = true);
    // Starts it with the platform's own discovery.
    void StartWithPlatformDiscovery();
    // Closes the window as the user does and runs the program's exit.
    void Exit();

    void SetAttached(bool attached) { *m_attached = attached; }
    CMainFrame& Frame() { return *m_app->MainFrame(); }
    CQuarnelApp& App() { return *m_app; }
    uitest::ModalAnswerer& Answers() { return m_answers; }
    const std::string& Dir() const { return m_dir; }
    const std::string& IniPath() const { return m_ini; }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }

  private:
    std::string m_dir;
    std::string m_ini;
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(true);
    uitest::ModalAnswerer m_answers;
    std::unique_ptr<CQuarnelApp> m_app;
};

// The text of a file; empty when it can't be read.
std::string FileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);

}  // namespace zentrik::apptest
