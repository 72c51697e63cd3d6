#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "link/discovery/bridge_list.h"
#include "link/discovery/serial_device_list.h"

namespace zentrik {

// The bridges among a list of serial devices, for the port scanner: the USB devices with a
// serial number that a port number names, in the list's order. Count() takes the list afresh
// from the source; a bridge's port number is the one its device carries.
std::unique_ptr<BridgeList> MakeDeviceBridgeList(
    std::function<std::vector<SerialDeviceInfo>()> source);

// A list that asks `first` and, when that has no bridge, `second`: positions and handles
// belong to whichever one the latest Count() answered from.
std::unique_ptr<BridgeList> MakeFallbackBridgeList(std::unique_ptr<BridgeList> first,
                                                   std::unique_ptr<BridgeList> second);

}  // namespace zentrik
