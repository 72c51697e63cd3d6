#include "link/discovery/usb_bridges.h"

#include "link/discovery/bridge_identity.h"

namespace zentrik {

bool HasControllerIds(const UsbBridge& bridge) {
    return bridge.vendorId == kControllerVendorId && bridge.productId == kControllerProductId;
}

std::vector<UsbBridge> MergeUsbBridges(const std::vector<SerialDeviceInfo>& ports,
                                       const std::vector<UsbBridge>& unserved) {
    std::vector<UsbBridge> bridges;
    for (const SerialDeviceInfo& port : ports) {
        if (!port.vendorId || !port.productId) {
            continue;  // a serial port that is not on USB
        }
        UsbBridge bridge;
        bridge.vendorId = *port.vendorId;
        bridge.productId = *port.productId;
        bridge.serial = port.serial;
        bridge.devicePath = port.devicePath;
        bridge.displayName = port.displayName;
        bridges.push_back(std::move(bridge));
    }
    bridges.insert(bridges.end(), unserved.begin(), unserved.end());
    return bridges;
}

std::vector<UsbBridge> AttachedUsbBridges() {
    return MergeUsbBridges(SystemSerialDevices(), UnservedControllerBridges());
}

}  // namespace zentrik
