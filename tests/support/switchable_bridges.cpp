#include "support/switchable_bridges.h"

#include <cstring>
#include <string_view>

#include "link/discovery/bridge_identity.h"

namespace zentrik::test {

namespace {

constexpr BridgeHandle kHandle = 7;
constexpr std::string_view kSerial = "030A0000SWITCHED";

}  // namespace

bool SwitchableBridges::Open(std::uint32_t position, BridgeHandle* handle) {
    if (!*m_present || position != 0) {
        return false;
    }
    *handle = kHandle;
    return true;
}

bool SwitchableBridges::VendorId(BridgeHandle handle, std::uint16_t* vendorId) {
    *vendorId = kControllerVendorId;
    return handle == kHandle;
}

bool SwitchableBridges::ProductId(BridgeHandle handle, std::uint16_t* productId) {
    *productId = kControllerProductId;
    return handle == kHandle;
}

void SwitchableBridges::SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) {
    if (handle == kHandle) {
        std::memcpy(buffer, kSerial.data(), kSerial.size());
        *length = static_cast<std::uint8_t>(kSerial.size());
    }
}

}  // namespace zentrik::test
