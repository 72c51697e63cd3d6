#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/discovery/serial_device_list.h"

namespace zentrik {

// A serial device kept by its USB identity rather than by its path, so that it is found
// wherever it is plugged in: "usb:10C4:EA60:030A000000000001" (hexadecimal ids, the serial
// number as the device reports it).
struct PortIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial;
};

// The identity a kept device names; nothing for a path ("/dev/ttyUSB0", "\\.\COM5").
std::optional<PortIdentity> ParsePortIdentity(std::string_view kept);
std::string FormatPortIdentity(const PortIdentity& identity);

// How a chosen device is kept: by its identity when it has a USB serial number, else by path.
std::string KeptPortDevice(const SerialDeviceInfo& device);

// Whether a listed device is the one kept (by identity or by path).
bool IsKeptDevice(const SerialDeviceInfo& device, std::string_view kept);

// The path of a kept device among `devices`: a path stays itself; an identity gives the path
// of the device that carries it, or nothing when none is plugged in.
std::optional<std::string> ResolvePortDevice(std::string_view kept,
                                             const std::vector<SerialDeviceInfo>& devices);
// The same over the system's list, read only when `kept` is an identity.
std::optional<std::string> ResolvePortDevice(std::string_view kept);

}  // namespace zentrik
