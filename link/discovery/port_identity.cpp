#include "link/discovery/port_identity.h"

#include "base/text_format.h"
#include "link/discovery/bridge_identity.h"

namespace zentrik {

namespace {

constexpr std::string_view kPrefix = "usb:";
constexpr const char* kFormat = "usb:%04X:%04X:%s";

}  // namespace

std::optional<PortIdentity> ParsePortIdentity(std::string_view kept) {
    if (kept.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    kept.remove_prefix(kPrefix.size());
    const std::size_t first = kept.find(':');
    const std::size_t second = first == std::string_view::npos ? first : kept.find(':', first + 1);
    if (second == std::string_view::npos || second + 1 >= kept.size()) {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> vendor = ParseUsbId(kept.substr(0, first));
    const std::optional<std::uint16_t> product =
        ParseUsbId(kept.substr(first + 1, second - first - 1));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return PortIdentity{*vendor, *product, std::string(kept.substr(second + 1))};
}

std::string FormatPortIdentity(const PortIdentity& identity) {
    return FormatText(kFormat, identity.vendorId, identity.productId, identity.serial.c_str());
}

std::string KeptPortDevice(const SerialDeviceInfo& device) {
    if (device.vendorId && device.productId && !device.serial.empty()) {
        return FormatPortIdentity({*device.vendorId, *device.productId, device.serial});
    }
    return device.devicePath;
}

bool IsKeptDevice(const SerialDeviceInfo& device, std::string_view kept) {
    if (const std::optional<PortIdentity> identity = ParsePortIdentity(kept)) {
        return device.vendorId == identity->vendorId && device.productId == identity->productId &&
               device.serial == identity->serial;
    }
    return device.devicePath == kept;
}

std::optional<std::string> ResolvePortDevice(std::string_view kept,
                                             const std::vector<SerialDeviceInfo>& devices) {
    if (!ParsePortIdentity(kept)) {
        return std::string(kept);
    }
    for (const SerialDeviceInfo& device : devices) {
        if (IsKeptDevice(device, kept)) {
            return device.devicePath;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ResolvePortDevice(std::string_view kept) {
    if (!ParsePortIdentity(kept)) {
        return std::string(kept);
    }
    return ResolvePortDevice(kept, SystemSerialDevices());
}

}  // namespace zentrik
