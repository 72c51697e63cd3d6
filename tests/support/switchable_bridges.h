#pragma once

#include <memory>

#include "link/discovery/bridge_list.h"

namespace zentrik::test {

// One controller bridge on port 0, attached while `present` holds: the tests plug and
// unplug it. (The port number does not matter: ZENTRIK_PORT names the device opened.)
class SwitchableBridges : public BridgeList {
  public:
    explicit SwitchableBridges(std::shared_ptr<bool> present) : m_present(std::move(present)) {}
    std::uint32_t Count() override { return *m_present ? 1 : 0; }
    bool Open(std::uint32_t position, BridgeHandle* handle) override;
    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override;
    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override;
    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override;
    void Close(BridgeHandle) override {}
    int PortNumber(std::uint16_t, std::uint16_t, std::string_view) override { return 0; }

  private:
    std::shared_ptr<bool> m_present;
};

}  // namespace zentrik::test
