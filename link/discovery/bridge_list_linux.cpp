#include "link/discovery/bridge_list.h"
#include "link/discovery/device_bridge_list.h"
#include "link/discovery/serial_device_list.h"

namespace zentrik {

// The USB ttys udev knows, from the same list the user is shown.
std::unique_ptr<BridgeList> MakeSystemBridgeList() {
    return MakeDeviceBridgeList(SystemSerialDevices);
}

}  // namespace zentrik
