#include "link/discovery/device_bridge_list.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "link/discovery/bridge_identity.h"

namespace zentrik {
namespace {

class DeviceBridgeList final : public BridgeList {
  public:
    explicit DeviceBridgeList(std::function<std::vector<SerialDeviceInfo>()> source)
        : m_source(std::move(source)) {}

    std::uint32_t Count() override {
        m_bridges.clear();
        for (SerialDeviceInfo& device : m_source()) {
            if (device.vendorId && device.productId && !device.serial.empty() &&
                device.portNumber >= 0) {
                m_bridges.push_back(std::move(device));
            }
        }
        return static_cast<std::uint32_t>(m_bridges.size());
    }

    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        if (position >= m_bridges.size()) {
            return false;
        }
        const BridgeHandle opened = m_nextHandle++;
        m_open.emplace(opened, m_bridges[position]);
        *handle = opened;
        return true;
    }

    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        const SerialDeviceInfo* bridge = Find(handle);
        if (!bridge) {
            return false;
        }
        *vendorId = *bridge->vendorId;
        return true;
    }

    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        const SerialDeviceInfo* bridge = Find(handle);
        if (!bridge) {
            return false;
        }
        *productId = *bridge->productId;
        return true;
    }

    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        const SerialDeviceInfo* bridge = Find(handle);
        if (!bridge) {
            return;
        }
        // Like the vendor library: as much as the buffer takes, and the full length.
        std::memcpy(buffer, bridge->serial.data(),
                    std::min(bridge->serial.size(), kSerialBufferSize));
        *length = static_cast<std::uint8_t>(std::min<std::size_t>(bridge->serial.size(), 255));
    }

    void Close(BridgeHandle handle) override { m_open.erase(handle); }

    int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                   std::string_view serial) override {
        for (const SerialDeviceInfo& bridge : m_bridges) {
            if (bridge.vendorId == vendorId && bridge.productId == productId &&
                bridge.serial == serial) {
                return bridge.portNumber;
            }
        }
        return -1;
    }

  private:
    const SerialDeviceInfo* Find(BridgeHandle handle) const {
        auto it = m_open.find(handle);
        return it == m_open.end() ? nullptr : &it->second;
    }

    std::function<std::vector<SerialDeviceInfo>()> m_source;
    std::vector<SerialDeviceInfo> m_bridges;  // as of the last Count()
    std::map<BridgeHandle, SerialDeviceInfo> m_open;
    BridgeHandle m_nextHandle = 1;
};

class FallbackBridgeList final : public BridgeList {
  public:
    FallbackBridgeList(std::unique_ptr<BridgeList> first, std::unique_ptr<BridgeList> second)
        : m_first(std::move(first)), m_second(std::move(second)), m_active(m_first.get()) {}

    std::uint32_t Count() override {
        m_active = m_first.get();
        if (const std::uint32_t count = m_first->Count(); count > 0) {
            return count;
        }
        m_active = m_second.get();
        return m_second->Count();
    }
    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        return m_active->Open(position, handle);
    }
    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        return m_active->VendorId(handle, vendorId);
    }
    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        return m_active->ProductId(handle, productId);
    }
    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        m_active->SerialNumber(handle, buffer, length);
    }
    void Close(BridgeHandle handle) override { m_active->Close(handle); }
    int PortNumber(std::uint16_t vendorId, std::uint16_t productId,
                   std::string_view serial) override {
        return m_active->PortNumber(vendorId, productId, serial);
    }

  private:
    std::unique_ptr<BridgeList> m_first;
    std::unique_ptr<BridgeList> m_second;
    BridgeList* m_active;
};

}  // namespace

std::unique_ptr<BridgeList> MakeDeviceBridgeList(
    std::function<std::vector<SerialDeviceInfo>()> source) {
    return std::make_unique<DeviceBridgeList>(std::move(source));
}

std::unique_ptr<BridgeList> MakeFallbackBridgeList(std::unique_ptr<BridgeList> first,
                                                   std::unique_ptr<BridgeList> second) {
    return std::make_unique<FallbackBridgeList>(std::move(first), std::move(second));
}

}  // namespace zentrik
