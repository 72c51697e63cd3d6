#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/discovery/serial_device_list.h"

namespace zentrik {

// How Windows names serial devices and USB devices, read without Windows: the list of
// serial devices is built from these names by the platform code.

// A USB device instance id, "USB\VID_10C4&PID_EA60\030A0001": the ids, and for an
// interface of a composite device ("USB\VID_10C4&PID_EA60&MI_00\6&1A2B&0&0000") that mark.
struct UsbInstanceId {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    bool compositeInterface = false;
    // The part after the last backslash: the serial number of a plain device, unless the
    // system made one up for a device without a usable serial number ("5&2A3B4C5D&0&3").
    std::string instance;
};
std::optional<UsbInstanceId> ParseUsbInstanceId(std::string_view id);

// n of a port name "COM<n>"; -1 for any other name.
int ComPortNumber(std::string_view name);

// A port by its name ("COM5"): opened as "\\.\COM5", shown as "COM5".
SerialDeviceInfo ComPortDevice(std::string_view portName);

// Gives a port the USB identity of the device instance it belongs to. A plain device's
// serial number is in its own id; an interface of a composite device's is in its parent's.
// Without a USB id the port keeps no identity; the controller is marked by IsControllerDevice.
void SetUsbIdentity(SerialDeviceInfo& device, std::string_view instanceId,
                    std::string_view parentId);

// Adds the ports named (SERIALCOMM's values) that the list lacks, then orders the whole list:
// COM ports by number (COM9 before COM10), then other names.
void AddComPorts(std::vector<SerialDeviceInfo>& devices, const std::vector<std::string>& names);

}  // namespace zentrik
