#include <libudev.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/discovery/bridge_identity.h"
#include "link/discovery/bridge_list.h"

namespace zentrik {
namespace {

// A USB serial tty as udev describes it.
struct UdevBridge {
    int port = -1;  // n of /dev/ttyUSB<n>
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string serial;
};

// The USB ttys from udev. Only ttyUSB<n> nodes are listed, since a port number can name no
// other node; they are ordered by n, so positions are stable between scans.
class UdevBridgeList final : public BridgeList {
  public:
    UdevBridgeList() : m_udev(udev_new()) {}
    ~UdevBridgeList() override {
        if (m_udev) {
            udev_unref(m_udev);
        }
    }
    UdevBridgeList(const UdevBridgeList&) = delete;
    UdevBridgeList& operator=(const UdevBridgeList&) = delete;

    std::uint32_t Count() override {
        m_bridges = Enumerate();
        return static_cast<std::uint32_t>(m_bridges.size());
    }

    bool Open(std::uint32_t position, BridgeHandle* handle) override {
        if (position >= m_bridges.size()) {
            return false;
        }
        BridgeHandle opened = m_nextHandle++;
        m_open.emplace(opened, m_bridges[position]);
        *handle = opened;
        return true;
    }

    bool VendorId(BridgeHandle handle, std::uint16_t* vendorId) override {
        const UdevBridge* bridge = Find(handle);
        if (!bridge) {
            return false;
        }
        *vendorId = bridge->vendorId;
        return true;
    }

    bool ProductId(BridgeHandle handle, std::uint16_t* productId) override {
        const UdevBridge* bridge = Find(handle);
        if (!bridge) {
            return false;
        }
        *productId = bridge->productId;
        return true;
    }

    void SerialNumber(BridgeHandle handle, char* buffer, std::uint8_t* length) override {
        const UdevBridge* bridge = Find(handle);
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
        for (const UdevBridge& bridge : m_bridges) {
            if (bridge.vendorId == vendorId && bridge.productId == productId &&
                bridge.serial == serial) {
                return bridge.port;
            }
        }
        return -1;
    }

  private:
    const UdevBridge* Find(BridgeHandle handle) const {
        auto it = m_open.find(handle);
        return it == m_open.end() ? nullptr : &it->second;
    }

    std::vector<UdevBridge> Enumerate() const {
        std::vector<UdevBridge> bridges;
        if (!m_udev) {
            return bridges;
        }
        udev_enumerate* enumerate = udev_enumerate_new(m_udev);
        if (!enumerate) {
            return bridges;
        }
        if (udev_enumerate_add_match_subsystem(enumerate, "tty") >= 0 &&
            udev_enumerate_scan_devices(enumerate) >= 0) {
            udev_list_entry* entry = nullptr;
            udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
                udev_device* tty =
                    udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
                if (!tty) {
                    continue;
                }
                if (auto bridge = Describe(tty)) {
                    bridges.push_back(std::move(*bridge));
                }
                udev_device_unref(tty);
            }
        }
        udev_enumerate_unref(enumerate);
        std::stable_sort(bridges.begin(), bridges.end(),
                         [](const UdevBridge& a, const UdevBridge& b) { return a.port < b.port; });
        return bridges;
    }

    static std::optional<UdevBridge> Describe(udev_device* tty) {
        const char* sysname = udev_device_get_sysname(tty);
        std::optional<int> port = sysname ? TtyUsbPortNumber(sysname) : std::nullopt;
        if (!port) {
            return std::nullopt;
        }
        // The parent is owned by the tty's device object.
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
        if (!usb) {
            return std::nullopt;
        }
        const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
        const char* product = udev_device_get_sysattr_value(usb, "idProduct");
        const char* serial = udev_device_get_sysattr_value(usb, "serial");
        if (!vendor || !product || !serial) {
            return std::nullopt;
        }
        std::optional<std::uint16_t> vendorId = ParseUsbId(vendor);
        std::optional<std::uint16_t> productId = ParseUsbId(product);
        if (!vendorId || !productId) {
            return std::nullopt;
        }
        return UdevBridge{*port, *vendorId, *productId, serial};
    }

    udev* m_udev;
    std::vector<UdevBridge> m_bridges;  // as of the last Count()
    std::map<BridgeHandle, UdevBridge> m_open;
    BridgeHandle m_nextHandle = 1;
};

}  // namespace

std::unique_ptr<BridgeList> MakeSystemBridgeList() {
    return std::make_unique<UdevBridgeList>();
}

}  // namespace zentrik
