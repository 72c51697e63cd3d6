// Discovery from the system's own device list under wine: devices of the Ports class made in
// the prefix's registry as Windows records them, read back through SetupAPI, while the vendor
// library's stand-in beside this program lists no bridge.
#include <initguid.h>
// initguid.h first: the property key is defined here.
#include <windows.h>

#include <devpkey.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <string>

#include "config/app_settings.h"
#include "link/discovery/port_scanner.h"
#include "link/discovery/serial_device_list.h"

// Missing from MinGW's setupapi.h; exported by setupapi.dll since Vista.
extern "C" WINSETUPAPI BOOL WINAPI SetupDiSetDevicePropertyW(HDEVINFO, PSP_DEVINFO_DATA,
                                                             const DEVPROPKEY*, DEVPROPTYPE,
                                                             const BYTE*, DWORD, DWORD);

namespace zentrik {
namespace {

// A CP210x of another serial number, and the controller as interface 0 of a composite device,
// its serial number in its parent's id (serial numbers data/port_registry.reg does not use).
const std::string kOther = "USB\\VID_10C4&PID_EA60\\0301000000000003";
const std::string kInterface = "USB\\VID_10C4&PID_EA60&MI_00\\6&5A17&0&0000";
constexpr wchar_t kParent[] = L"USB\\VID_10C4&PID_EA60\\030A0000000000B2";
constexpr const char* kSerialComm = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string Key(const std::string& instanceId) {
    return "System\\CurrentControlSet\\Enum\\" + instanceId;
}

void SetText(HKEY key, const std::string& subKey, const char* name, const std::string& value) {
    RegSetKeyValueA(key, subKey.c_str(), name, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

// The devices go again however the test ends: the other suites expect none.
struct Devices {
    ~Devices() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Key(kOther).c_str());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, Key(kInterface).c_str());
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSerialComm, "ZentrikTestPort");
    }
};

TEST(SystemPorts, ThePortsClassGivesEachPortItsIdentityAndDiscoveryTheController) {
    SetEnvironmentVariableA("ZENTRIK_PORT", nullptr);
    SetEnvironmentVariableA("ZENTRIK_STANDIN_BRIDGES", nullptr);
    Devices devices;
    for (const auto& [id, port] : {std::pair{kOther, "COM20"}, std::pair{kInterface, "COM22"}}) {
        SetText(HKEY_LOCAL_MACHINE, Key(id), "ClassGUID", "{4d36e978-e325-11ce-bfc1-08002be10318}");
        SetText(HKEY_LOCAL_MACHINE, Key(id) + "\\Device Parameters", "PortName", port);
    }
    HKEY serialComm = nullptr;  // a volatile key, as the system's own
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialComm, 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &serialComm, nullptr),
              ERROR_SUCCESS);
    SetText(serialComm, "", "ZentrikTestPort", "COM19");
    RegCloseKey(serialComm);
    HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    ASSERT_TRUE(SetupDiOpenDeviceInfoA(set, kInterface.c_str(), nullptr, 0, &device));
    EXPECT_TRUE(SetupDiSetDevicePropertyW(set, &device, &DEVPKEY_Device_Parent, DEVPROP_TYPE_STRING,
                                          reinterpret_cast<const BYTE*>(kParent), sizeof kParent,
                                          0));
    SetupDiDestroyDeviceInfoList(set);

    std::string listed;
    for (const SerialDeviceInfo& port : SystemSerialDevices()) {
        if (port.portNumber >= 19 && port.portNumber <= 22) {
            listed += port.displayName + " " + port.devicePath + " " +
                      (port.vendorId ? std::to_string(*port.vendorId) : "-") + " " + port.serial +
                      (port.isController ? " controller\n" : "\n");
        }
    }
    EXPECT_EQ(listed,
              "COM19 \\\\.\\COM19 - \n"
              "COM20 \\\\.\\COM20 4292 0301000000000003\n"
              "COM22 \\\\.\\COM22 4292 030A0000000000B2 controller\n");

    AppSettings settings;
    CPortScanner scanner;
    ASSERT_TRUE(scanner.FindController(settings));
    EXPECT_EQ(settings.CommPort, 22);
}

}  // namespace
}  // namespace zentrik
