#include "link/discovery/bridge_ports.h"

#include <algorithm>
#include <string>

#include "link/discovery/bridge_identity.h"
#include "link/serial/device_name.h"

namespace zentrik {

void AddBridgeIdentities(std::vector<SerialDeviceInfo>& devices, BridgeList& bridges) {
    const std::uint32_t count = bridges.Count();
    for (std::uint32_t position = 0; position < count; ++position) {
        BridgeHandle handle = kNoBridge;
        if (!bridges.Open(position, &handle)) {
            bridges.Close(handle);
            continue;
        }
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        char buffer[kSerialBufferSize] = {};
        std::uint8_t length = 0;
        const bool ids =
            bridges.VendorId(handle, &vendorId) && bridges.ProductId(handle, &productId);
        if (ids) {
            bridges.SerialNumber(handle, buffer, &length);
        }
        bridges.Close(handle);
        // A serial number cut short by the buffer would name another device.
        if (!ids || length >= kSerialBufferSize) {
            continue;
        }
        const std::string serial(buffer, std::find(buffer, buffer + length, '\0'));
        const int port = bridges.PortNumber(vendorId, productId, serial);
        if (port < 0) {
            continue;
        }
        const std::string path = PlatformDeviceName(port);
        for (SerialDeviceInfo& device : devices) {
            if (device.devicePath != path) {
                continue;
            }
            device.vendorId = vendorId;
            device.productId = productId;
            device.serial = serial;
            device.isController = vendorId == kControllerVendorId &&
                                  productId == kControllerProductId && HasControllerSerial(serial);
        }
    }
}

}  // namespace zentrik
