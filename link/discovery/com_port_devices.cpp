#include "link/discovery/com_port_devices.h"

#include <algorithm>
#include <cctype>

#include "link/discovery/bridge_identity.h"

namespace zentrik {
namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The id after "<prefix>_" in one part of a hardware id ("VID_10C4"), case-insensitively.
std::optional<std::uint16_t> IdAfter(std::string_view part, std::string_view prefix) {
    if (part.size() <= prefix.size() + 1 || !SameText(part.substr(0, prefix.size()), prefix) ||
        part[prefix.size()] != '_') {
        return std::nullopt;
    }
    return ParseUsbId(part.substr(prefix.size() + 1));
}

// The serial number an instance part holds: none when the system made the part up.
std::string SerialOf(const UsbInstanceId& id) {
    return id.instance.find('&') == std::string::npos ? id.instance : std::string();
}

}  // namespace

std::optional<UsbInstanceId> ParseUsbInstanceId(std::string_view id) {
    const std::size_t first = id.find('\\');
    const std::size_t last = id.rfind('\\');
    if (first == std::string_view::npos || first == last || !SameText(id.substr(0, first), "USB")) {
        return std::nullopt;
    }
    std::string_view hardware = id.substr(first + 1, last - first - 1);
    UsbInstanceId parsed;
    parsed.instance = id.substr(last + 1);
    if (parsed.instance.empty() || hardware.find('\\') != std::string_view::npos) {
        return std::nullopt;
    }
    // VID_xxxx&PID_xxxx, and &MI_xx for an interface.
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t amp = hardware.find('&', start);
        parts.push_back(hardware.substr(start, amp - start));
        if (amp == std::string_view::npos) {
            break;
        }
        start = amp + 1;
    }
    const std::optional<std::uint16_t> vendorId = IdAfter(parts[0], "VID");
    const std::optional<std::uint16_t> productId =
        parts.size() > 1 ? IdAfter(parts[1], "PID") : std::nullopt;
    if (!vendorId || !productId || parts.size() > 3 ||
        (parts.size() == 3 && !IdAfter(parts[2], "MI"))) {
        return std::nullopt;
    }
    parsed.vendorId = *vendorId;
    parsed.productId = *productId;
    parsed.compositeInterface = parts.size() == 3;
    return parsed;
}

int ComPortNumber(std::string_view name) {
    if (name.size() <= 3 || name.size() > 12 || name.substr(0, 3) != "COM" ||
        !std::all_of(name.begin() + 3, name.end(),
                     [](unsigned char c) { return std::isdigit(c) != 0; })) {
        return -1;
    }
    return std::stoi(std::string(name.substr(3)));
}

SerialDeviceInfo ComPortDevice(std::string_view portName) {
    SerialDeviceInfo device;
    device.displayName = portName;
    device.devicePath = "\\\\.\\" + device.displayName;
    device.portNumber = ComPortNumber(portName);
    return device;
}

void SetUsbIdentity(SerialDeviceInfo& device, std::string_view instanceId,
                    std::string_view parentId) {
    const std::optional<UsbInstanceId> id = ParseUsbInstanceId(instanceId);
    if (!id) {
        return;
    }
    device.vendorId = id->vendorId;
    device.productId = id->productId;
    device.serial.clear();
    if (!id->compositeInterface) {
        device.serial = SerialOf(*id);
    } else if (const std::optional<UsbInstanceId> parent = ParseUsbInstanceId(parentId);
               parent && !parent->compositeInterface && parent->vendorId == id->vendorId &&
               parent->productId == id->productId) {
        device.serial = SerialOf(*parent);
    }
    device.isController = IsControllerDevice(device);
}

void AddComPorts(std::vector<SerialDeviceInfo>& devices, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        if (std::none_of(devices.begin(), devices.end(), [&](const SerialDeviceInfo& device) {
                return SameText(device.displayName, name);
            })) {
            devices.push_back(ComPortDevice(name));
        }
    }
    std::stable_sort(devices.begin(), devices.end(),
                     [](const SerialDeviceInfo& a, const SerialDeviceInfo& b) {
                         const int na = a.portNumber;
                         const int nb = b.portNumber;
                         if ((na < 0) != (nb < 0)) {
                             return na >= 0;
                         }
                         return na != nb ? na < nb : a.displayName < b.displayName;
                     });
}

}  // namespace zentrik
