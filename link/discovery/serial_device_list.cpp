#include "link/discovery/serial_device_list.h"

#include "link/discovery/bridge_identity.h"

namespace zentrik {

bool IsControllerDevice(const SerialDeviceInfo& device) {
    return device.vendorId == kControllerVendorId && device.productId == kControllerProductId &&
           device.serial.size() < kSerialBufferSize && HasControllerSerial(device.serial) &&
           device.portNumber >= 0;
}

}  // namespace zentrik
