#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/discovery/serial_device_list.h"

namespace zentrik {

// A USB-to-serial bridge as the connection check sees it: its USB identity, and either the
// serial port its driver made or why no driver serves it.
struct UsbBridge {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial;       // the USB serial-number string; empty when none
    std::string devicePath;   // the port it brings ("/dev/ttyUSB0", "\\.\COM5"); empty: none
    std::string displayName;  // the port as the user knows it ("COM5"); empty: none
    // Whether a driver serves the bridge. Windows: false with the device node's problem code
    // (CM_PROB_*, 28: drivers not installed); Linux: false when no tty hangs below the USB
    // device, with the driver its interface has instead (often none).
    bool driverWorking = true;
    int problemCode = 0;
    std::string interfaceDriver;
};

// Whether a bridge carries the controller's USB ids (whatever its serial number).
bool HasControllerIds(const UsbBridge& bridge);

// The bridges attached now: every serial device on USB, and every USB device with the
// controller's ids that no working driver serves.
std::vector<UsbBridge> AttachedUsbBridges();

// The serial devices on USB as bridges, followed by the unserved ones (the probe's list).
std::vector<UsbBridge> MergeUsbBridges(const std::vector<SerialDeviceInfo>& ports,
                                       const std::vector<UsbBridge>& unserved);

// The platform's probe: the USB devices with the controller's ids that no working driver
// serves (Linux: udev, no tty below the device; Windows: SetupAPI and CM_Get_DevNode_Status).
std::vector<UsbBridge> UnservedControllerBridges();

}  // namespace zentrik
