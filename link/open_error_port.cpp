#include "link/open_error_port.h"

namespace zentrik {

int OpenErrorPort::Open(const std::string& deviceName, PortEventSink* sink, std::uint32_t message,
                        std::intptr_t param, std::uint32_t rxQueueSize, std::uint32_t txQueueSize) {
    m_device = deviceName;
    m_error = m_port.Open(deviceName, sink, message, param, rxQueueSize, txQueueSize);
    return m_error;
}

}  // namespace zentrik
