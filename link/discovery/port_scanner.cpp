#include "link/discovery/port_scanner.h"

#include <algorithm>

#include "config/app_settings.h"
#include "link/discovery/bridge_identity.h"

namespace zentrik {

CPortScanner::CPortScanner() : CPortScanner(MakePlatformBridgeList()) {}

CPortScanner::CPortScanner(std::unique_ptr<BridgeList> bridges) : m_bridges(std::move(bridges)) {}

CPortScanner::~CPortScanner() = default;

bool CPortScanner::FindController(AppSettings& settings) {
    m_deviceCount = m_bridges->Count();
    // The count is read again after each bridge, so a bridge removed during the scan ends it.
    for (std::uint32_t position = 0; position < m_deviceCount; ++position) {
        std::optional<Identity> identity = ExamineBridge(position);
        if (identity) {
            settings.SetCommPort(
                m_bridges->PortNumber(identity->vendorId, identity->productId, identity->serial));
            CloseDevice();
            return true;
        }
        CloseDevice();
        m_deviceCount = m_bridges->Count();
    }
    return false;
}

std::optional<CPortScanner::Identity> CPortScanner::ExamineBridge(std::uint32_t position) {
    if (!m_bridges->Open(position, &m_deviceHandle)) {
        return std::nullopt;
    }
    Identity identity;
    if (!m_bridges->VendorId(m_deviceHandle, &identity.vendorId) ||
        identity.vendorId != kControllerVendorId) {
        return std::nullopt;
    }
    if (!m_bridges->ProductId(m_deviceHandle, &identity.productId) ||
        identity.productId != kControllerProductId) {
        return std::nullopt;
    }
    char buffer[kSerialBufferSize] = {};
    std::uint8_t length = 0;
    m_bridges->SerialNumber(m_deviceHandle, buffer, &length);
    // A length that leaves no room for the terminator means the string did not fit: the
    // buffer holds only part of it, which would name some other device in the look-up.
    if (length >= kSerialBufferSize) {
        return std::nullopt;
    }
    identity.serial.assign(buffer, std::find(buffer, buffer + length, '\0'));
    if (!HasControllerSerial(identity.serial)) {
        return std::nullopt;
    }
    return identity;
}

void CPortScanner::CloseDevice() {
    m_bridges->Close(m_deviceHandle);
    // A failed open may leave the handle as it was; without this the close after it would
    // close the previous bridge's handle a second time.
    m_deviceHandle = kNoBridge;
}

}  // namespace zentrik
