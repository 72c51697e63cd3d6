#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrik {

// One serial device as the system lists it: what discovery examines and the user is shown.
struct SerialDeviceInfo {
    std::string devicePath;   // what is opened: "\\.\COM5", "/dev/ttyUSB0"
    std::string displayName;  // what the user reads: "COM5", "/dev/ttyUSB0"
    // n of COM<n> (Windows) or ttyUSB<n> (Linux): the number CommPort holds for this device;
    // -1 when no port number names it.
    int portNumber = -1;
    // The USB device the port belongs to; nothing for a serial port that is not on USB.
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string serial;         // the USB serial-number string; empty when none
    bool isController = false;  // a bridge with the controller's identity and a port number
    // 0 when the user may open the device for reading and writing, else why not (an errno on
    // Linux, a system error code on Windows). Filled by ListSerialDevices only.
    int accessError = 0;
};

// Every serial device of the system with the USB identity the system records for it, in a
// fixed order (ttyUSB9 before ttyUSB10, COM9 before COM10). Nothing is opened.
// Linux: the ttys udev knows, less virtual consoles, pseudo-terminals and serial ports the
// driver reports as absent. Windows: the present devices of the Ports class (SetupAPI), their
// identity from the device instance id (an interface of a composite device takes the serial
// number from its parent's), and the ports HARDWARE\DEVICEMAP\SERIALCOMM adds, without one.
std::vector<SerialDeviceInfo> SystemSerialDevices();

// SystemSerialDevices for showing the user: with whether each may be opened, and on Windows
// the identities the bridge vendor's library gives, where it is installed.
std::vector<SerialDeviceInfo> ListSerialDevices();

// Whether a listed device is the controller's bridge: the controller's USB ids, a serial
// number that begins like the controller's and fits the 64-byte buffer, and a port number.
bool IsControllerDevice(const SerialDeviceInfo& device);

// 0 when the user may open the device for reading and writing, else why not: the errno of
// access(2) on POSIX systems, the error of opening the port on Windows.
int DeviceAccessError(const std::string& devicePath);

}  // namespace zentrik
