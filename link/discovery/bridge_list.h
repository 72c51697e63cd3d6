#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace zentrik {

// A bridge opened by BridgeList::Open (the vendor library's device handle on Windows).
using BridgeHandle = std::intptr_t;
inline constexpr BridgeHandle kNoBridge = -1;

// The attached USB-to-serial bridges, as the port scanner sees them. Positions count from 0
// in a fixed order; Count() takes a fresh look, so positions refer to the latest count.
class BridgeList {
  public:
    virtual ~BridgeList() = default;

    // Number of attached bridges.
    virtual std::uint32_t Count() = 0;
    // Opens the bridge at a position. True and a valid handle on success; on failure the
    // handle may have been written or not.
    virtual bool Open(std::uint32_t position, BridgeHandle* handle) = 0;
    virtual bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) = 0;
    virtual bool ProductId(BridgeHandle handle, std::uint16_t* productId) = 0;
    // Writes the serial number as 8-bit characters into a 64-byte buffer and its length
    // (which the caller sets to 0 beforehand) into *length; not terminated.
    virtual void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) = 0;
    // Closes a handle from Open; kNoBridge and handles of failed opens are accepted.
    virtual void Close(BridgeHandle handle) = 0;
    // The number of the serial port the system gave to the bridge with this identity, or -1.
    virtual int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                           std::string_view serial) = 0;
};

// The bridge list discovery uses: the override's single bridge when ZENTRIK_PORT is set,
// otherwise the system's list.
std::unique_ptr<BridgeList> MakePlatformBridgeList();

// The system's list: on Windows the vendor library and the registry, or where the library is
// missing or lists no bridge, the system's own device list (SystemSerialDevices); on Linux
// that list, from udev.
std::unique_ptr<BridgeList> MakeSystemBridgeList();

// One bridge that always answers as the controller, on port 0. With ZENTRIK_PORT set, every
// port number opens the override's device, so the number itself does not matter.
std::unique_ptr<BridgeList> MakeOverrideBridgeList();

}  // namespace zentrik
