#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/discovery/bridge_list.h"

namespace zentrik {

class AppSettings;

// Finds the controller among the attached CP210x bridges and stores its port number.
class CPortScanner {
  public:
    // Scans the platform's bridge list (MakePlatformBridgeList).
    CPortScanner();
    explicit CPortScanner(std::unique_ptr<BridgeList> bridges);
    virtual ~CPortScanner();

    CPortScanner(const CPortScanner&) = delete;
    CPortScanner& operator=(const CPortScanner&) = delete;

    // True when a bridge with the controller's identity is attached; its port number (-1
    // when it can't be looked up) is then stored with SetCommPort. False leaves the settings
    // untouched. Bridges are examined from position 0 and the first match wins; every
    // bridge examined is closed again.
    bool FindController(AppSettings& settings);

    BridgeHandle DeviceHandle() const { return m_deviceHandle; }
    std::uint32_t DeviceCount() const { return m_deviceCount; }

  private:
    struct Identity {
        std::uint16_t vendorId = 0;
        std::uint16_t productId = 0;
        std::string serial;
    };

    // Opens the bridge at a position and returns its identity when it is the controller's.
    // The caller closes the bridge in either case.
    std::optional<Identity> ExamineBridge(std::uint32_t position);
    void CloseDevice();

    std::unique_ptr<BridgeList> m_bridges;
    BridgeHandle m_deviceHandle = kNoBridge;
    std::uint32_t m_deviceCount = 0;
};

}  // namespace zentrik
