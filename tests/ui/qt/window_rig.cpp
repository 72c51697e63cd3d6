#include "window_rig.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "link/serial/device_name.h"
#include "support/test_paths.h"

namespace zentrik::apptest {

WindowRig::WindowRig(const std::string& settingsText)
    : m_dir(test::MakeTempDir()), m_ini(m_dir + "/Zentrik.ini") {
    if (!settingsText.empty()) {
        WriteFileText(m_ini, settingsText);
    }
    ::unsetenv(kPortOverrideVariable);
    m_app = std::make_unique<CQuarnelApp>();
    m_app->Settings().SetPath(m_ini);
}

WindowRig::~WindowRig() {
    if (m_app && m_app->MainFrame() != nullptr) {
        m_app->MainFrame()->close();
    }
    m_app.reset();
    ::unsetenv(kPortOverrideVariable);
}

void WindowRig::UsePort(const std::string& device) {
    if (device.empty()) {
        ::unsetenv(kPortOverrideVariable);
    } else {
        ::setenv(kPortOverrideVariable, device.c_str(), 1);
    }
}

void WindowRig::Start(bool attached) {
    *m_attached = attached;
    m_app->InitInstance(std::make_unique<test::SwitchableBridges>(m_attached));
    Frame().SetNoticeTickInterval(20);
}

void WindowRig::StartWithPlatformDiscovery() {
    m_app->InitInstance();
    Frame().SetNoticeTickInterval(20);
}

void WindowRig::Exit() {
    Frame().close();
    m_app->ExitInstance();
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace zentrik::apptest
