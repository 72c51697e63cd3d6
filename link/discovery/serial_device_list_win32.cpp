// The serial ports Windows lists: the values of HARDWARE\DEVICEMAP\SERIALCOMM, one per port,
// each naming its COM port ("COM5").
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "link/discovery/bridge_ports.h"
#include "link/discovery/serial_device_list.h"
#include "link/serial/device_name.h"

namespace zentrik {
namespace {

// COM9 before COM10; anything that is not COM<number> after them, by name.
int PortNumberOf(const std::string& name) {
    if (name.size() <= 3 || name.compare(0, 3, "COM") != 0 || name.size() > 12 ||
        !std::all_of(name.begin() + 3, name.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return -1;
    }
    return std::stoi(name.substr(3));
}

}  // namespace

int DeviceAccessError(const std::string& devicePath) {
    HANDLE port = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    CloseHandle(port);
    return 0;
}

std::vector<SerialDeviceInfo> ListSerialDevices() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            char valueName[256];
            DWORD valueNameLength = sizeof valueName;
            char data[256];
            DWORD dataLength = sizeof data - 1;
            DWORD type = 0;
            const LONG status = RegEnumValueA(key, index, valueName, &valueNameLength, nullptr,
                                              &type, reinterpret_cast<BYTE*>(data), &dataLength);
            if (status == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if (status == ERROR_SUCCESS && type == REG_SZ) {
                data[dataLength] = '\0';
                names.emplace_back(data);
            }
        }
        RegCloseKey(key);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int na = PortNumberOf(a);
        const int nb = PortNumberOf(b);
        if ((na < 0) != (nb < 0)) {
            return na >= 0;
        }
        return na != nb ? na < nb : a < b;
    });
    std::vector<SerialDeviceInfo> devices;
    for (const std::string& name : names) {
        SerialDeviceInfo info;
        const int number = PortNumberOf(name);
        info.devicePath = number >= 0 ? PlatformDeviceName(number) : "\\\\.\\" + name;
        info.accessError = DeviceAccessError(info.devicePath);
        devices.push_back(std::move(info));
    }
    // The registry names the ports only; the bridges' identities come from the vendor's
    // library, mapped to their ports as discovery maps them.
    AddBridgeIdentities(devices, *MakeSystemBridgeList());
    return devices;
}

}  // namespace zentrik
