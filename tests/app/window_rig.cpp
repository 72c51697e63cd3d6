#include "window_rig.h"

#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "link/discovery/bridge_identity.h"
#include "link/serial/device_name.h"
#include "support/test_paths.h"

namespace zentrik::apptest {

namespace {

constexpr BridgeHandle kHandle = 7;
constexpr std::string_view kSerial = "030A0000SWITCHED";

}  // namespace

bool SwitchableBridges::Open(std::uint32_t position, BridgeHandle* handle) {
    if (!*m_present || position != 0) {
        return false;
    }
    *handle = kHandle;
    return true;
}

bool SwitchableBridges::VendorId(BridgeHandle handle, std::uint16_t* vendorId) {
    *vendorId = kControllerVendorId;
    return handle == kHandle;
}

bool SwitchableBridges::ProductId(BridgeHandle handle, std::uint16_t* productId) {
    *productId = kControllerProductId;
    return handle == kHandle;
}

void SwitchableBridges::SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) {
    if (handle == kHandle) {
        std::memcpy(buffer, kSerial.data(), kSerial.size());
        *length = static_cast<std::uint8_t>(kSerial.size());
    }
}

Simulator::Simulator(const std::vector<std::string>& args)
    : m_process(std::make_unique<simtest::SimProcess>(args)) {
    m_device = m_process->ReadLine();
}

void Simulator::Kill() {
    if (m_process->pid() > 0) {
        ::kill(m_process->pid(), SIGKILL);
        m_process->WaitExit();
    }
}

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
    m_app->InitInstance(std::make_unique<SwitchableBridges>(m_attached));
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
