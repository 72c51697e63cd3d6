// The serial ports Windows knows: the present devices of the Ports class, with the USB
// identity their device instance ids carry, and the values of HARDWARE\DEVICEMAP\SERIALCOMM
// (one per port, naming it: "COM5") for ports of other classes.
#include <initguid.h>
// initguid.h first: the property key below is defined here, not only declared.
#include <windows.h>

#include <devpkey.h>
#include <setupapi.h>

#include "link/discovery/bridge_ports.h"
#include "link/discovery/com_port_devices.h"
#include "link/discovery/serial_device_list.h"
#include "link/discovery/vendor_bridge_list_win32.h"

namespace zentrik {
namespace {

// The Ports (COM & LPT) device class.
constexpr GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
// The longest device instance id (kMaxDeviceIdLength of cfgmgr32.h), without its terminator.
constexpr std::size_t kMaxDeviceIdLength = 200;

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(size - 1));
    return narrow;
}

std::string InstanceId(HDEVINFO set, SP_DEVINFO_DATA& device) {
    char id[kMaxDeviceIdLength + 1] = {};
    if (!SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, nullptr)) {
        return {};
    }
    return id;
}

// The instance id of the device's parent (the composite device of an interface).
std::string ParentId(HDEVINFO set, SP_DEVINFO_DATA& device) {
    wchar_t id[kMaxDeviceIdLength + 1] = {};
    DEVPROPTYPE type = DEVPROP_TYPE_EMPTY;
    if (!SetupDiGetDevicePropertyW(set, &device, &DEVPKEY_Device_Parent, &type,
                                   reinterpret_cast<BYTE*>(id), sizeof id - sizeof id[0], nullptr,
                                   0) ||
        type != DEVPROP_TYPE_STRING) {
        return {};
    }
    return Narrow(id);
}

// "PortName" of the device's own registry key ("Device Parameters").
std::string PortName(HDEVINFO set, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) {
        return {};
    }
    char name[256] = {};
    DWORD length = sizeof name - 1;
    DWORD type = 0;
    const LONG status =
        RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &length);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
        return {};
    }
    name[length] = '\0';
    return name;
}

std::vector<SerialDeviceInfo> PortsClassDevices() {
    std::vector<SerialDeviceInfo> devices;
    HDEVINFO set = SetupDiGetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        return devices;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const std::string name = PortName(set, device);
        // The class holds printer ports too.
        if (name.compare(0, 3, "COM") != 0) {
            continue;
        }
        SerialDeviceInfo info = ComPortDevice(name);
        SetUsbIdentity(info, InstanceId(set, device), ParentId(set, device));
        devices.push_back(std::move(info));
    }
    SetupDiDestroyDeviceInfoList(set);
    return devices;
}

std::vector<std::string> SerialCommNames() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return names;
    }
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD valueNameLength = sizeof valueName;
        char data[256];
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG status = RegEnumValueA(key, index, valueName, &valueNameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataLength);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status == ERROR_SUCCESS && type == REG_SZ) {
            data[dataLength] = '\0';
            names.emplace_back(data);
        }
    }
    RegCloseKey(key);
    return names;
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

std::vector<SerialDeviceInfo> SystemSerialDevices() {
    std::vector<SerialDeviceInfo> devices = PortsClassDevices();
    AddComPorts(devices, SerialCommNames());
    return devices;
}

std::vector<SerialDeviceInfo> ListSerialDevices() {
    std::vector<SerialDeviceInfo> devices = SystemSerialDevices();
    // Where the vendor's library is installed, its bridges name the same ports as discovery
    // maps them.
    AddBridgeIdentities(devices, *MakeVendorBridgeList());
    for (SerialDeviceInfo& device : devices) {
        device.accessError = DeviceAccessError(device.devicePath);
    }
    return devices;
}

}  // namespace zentrik
