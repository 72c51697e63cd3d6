#pragma once

#include <vector>

#include "link/discovery/bridge_list.h"
#include "link/discovery/serial_device_list.h"

namespace zentrik {

// For Windows, where the vendor's library may know bridges the system's list does not
// identify: fills in the USB vendor and product id and the serial number of each device that a
// bridge of the list is attached as (the bridge's port number, by the platform's name for it), and
// marks the controller's by the identity the port scanner looks for. Devices no bridge maps to are
// left as they are; every bridge opened is closed again.
void AddBridgeIdentities(std::vector<SerialDeviceInfo>& devices, BridgeList& bridges);

}  // namespace zentrik
