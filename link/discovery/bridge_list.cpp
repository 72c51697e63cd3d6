#include "link/discovery/bridge_list.h"

#include <cstring>

#include "link/discovery/bridge_identity.h"
#include "link/serial/device_name.h"

namespace zentrik {
namespace {

// Stands in for the controller's bridge while ZENTRIK_PORT names the device to use.
class OverrideBridgeList final : public BridgeList {
  public:
    std::uint32_t Count() override { return 1; }

    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        if (position != 0) {
            return false;
        }
        *handle = kHandle;
        return true;
    }

    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        if (handle != kHandle) {
            return false;
        }
        *vendorId = kControllerVendorId;
        return true;
    }

    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        if (handle != kHandle) {
            return false;
        }
        *productId = kControllerProductId;
        return true;
    }

    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        if (handle != kHandle) {
            return;
        }
        std::memcpy(buffer, kSerial.data(), kSerial.size());
        *length = static_cast<std::uint8_t>(kSerial.size());
    }

    void Close(BridgeHandle) override {}

    int PortNumber(std::uint16_t, std::uint16_t, std::string_view) override { return 0; }

  private:
    static constexpr BridgeHandle kHandle = 1;
    static constexpr std::string_view kSerial = "030AOVERRIDE";
};

}  // namespace

std::unique_ptr<BridgeList> MakeOverrideBridgeList() {
    return std::make_unique<OverrideBridgeList>();
}

std::unique_ptr<BridgeList> MakePlatformBridgeList() {
    if (!PortOverride().empty()) {
        return MakeOverrideBridgeList();
    }
    return MakeSystemBridgeList();
}

}  // namespace zentrik
