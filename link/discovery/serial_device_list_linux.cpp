#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "link/discovery/bridge_identity.h"
#include "link/discovery/serial_device_list.h"

namespace zentrik {
namespace {

bool StartsWith(const char* text, const char* prefix) {
    return text != nullptr && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// Virtual consoles, pseudo-terminals and the like live below /devices/virtual; an 8250 port
// slot without hardware behind it reports its type as 0.
bool IsSerialDevice(udev_device* tty) {
    if (StartsWith(udev_device_get_devpath(tty), "/devices/virtual/")) {
        return false;
    }
    const char* type = udev_device_get_sysattr_value(tty, "type");
    return type == nullptr || std::strcmp(type, "0") != 0;
}

SerialDeviceInfo Describe(udev_device* tty, const char* node) {
    SerialDeviceInfo info;
    info.devicePath = node;
    info.displayName = info.devicePath;
    const char* sysname = udev_device_get_sysname(tty);
    info.portNumber = sysname ? TtyUsbPortNumber(sysname).value_or(-1) : -1;
    // The parent belongs to the tty's device object.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
    if (usb == nullptr) {
        return info;
    }
    const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
    const char* product = udev_device_get_sysattr_value(usb, "idProduct");
    const char* serial = udev_device_get_sysattr_value(usb, "serial");
    info.vendorId = vendor ? ParseUsbId(vendor) : std::nullopt;
    info.productId = product ? ParseUsbId(product) : std::nullopt;
    info.serial = serial ? serial : "";
    info.isController = IsControllerDevice(info);
    return info;
}

// "/dev/ttyUSB9" before "/dev/ttyUSB10": names compare by their text before the trailing
// number, then by the number.
bool NaturalLess(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') {
            --digits;
        }
        const std::string number = name.substr(digits);
        return std::make_pair(name.substr(0, digits),
                              number.empty() || number.size() > 9 ? -1 : std::stoi(number));
    };
    return split(a) < split(b);
}

}  // namespace

int DeviceAccessError(const std::string& devicePath) {
    return access(devicePath.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
}

std::vector<SerialDeviceInfo> SystemSerialDevices() {
    std::vector<SerialDeviceInfo> devices;
    udev* context = udev_new();
    if (context == nullptr) {
        return devices;
    }
    udev_enumerate* enumerate = udev_enumerate_new(context);
    if (enumerate != nullptr && udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 &&
        udev_enumerate_scan_devices(enumerate) >= 0) {
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
            udev_device* tty =
                udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
            if (tty == nullptr) {
                continue;
            }
            const char* node = udev_device_get_devnode(tty);
            if (node != nullptr && IsSerialDevice(tty)) {
                devices.push_back(Describe(tty, node));
            }
            udev_device_unref(tty);
        }
    }
    if (enumerate != nullptr) {
        udev_enumerate_unref(enumerate);
    }
    udev_unref(context);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
                  return NaturalLess(a.devicePath, b.devicePath);
              });
    return devices;
}

std::vector<SerialDeviceInfo> ListSerialDevices() {
    std::vector<SerialDeviceInfo> devices = SystemSerialDevices();
    for (SerialDeviceInfo& device : devices) {
        device.accessError = DeviceAccessError(device.devicePath);
    }
    return devices;
}

}  // namespace zentrik
