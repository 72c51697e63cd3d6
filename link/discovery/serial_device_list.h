#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrik {

// One serial device as the system lists it, for showing the user what the program sees.
struct SerialDeviceInfo {
    std::string devicePath;  // the device node, "/dev/ttyUSB0"
    // The USB device the tty belongs to; nothing for a serial port that is not on USB.
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string serial;         // the USB serial-number string; empty when none
    bool isController = false;  // a bridge with the controller's identity on a ttyUSB node
    // 0 when the user may read and write the device node (access(2)), else why not (errno).
    int accessError = 0;
};

// Every serial device of the system (virtual consoles, pseudo-terminals and serial ports
// the driver reports as absent are left out), ordered by device path (ttyUSB9 before ttyUSB10).
// Linux: from udev. Windows: the ports the system lists under HARDWARE\DEVICEMAP\SERIALCOMM,
// with the USB identities of the CP210x bridges among them from the vendor's library
// (AddBridgeIdentities); other USB serial devices show no identity there.
std::vector<SerialDeviceInfo> ListSerialDevices();

// 0 when the user may open the device for reading and writing, else why not: the errno of
// access(2) on POSIX systems, the error of opening the port on Windows.
int DeviceAccessError(const std::string& devicePath);

}  // namespace zentrik
