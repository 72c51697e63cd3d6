#include "link/serial/controller_port.h"

namespace zentrik {

CControllerPort::~CControllerPort() {
    CSerialWnd::Close();
}

std::int32_t CControllerPort::Open(const std::string& deviceName, PortEventSink* window,
                                   std::uint32_t message, std::int32_t messageParam,
                                   std::uint32_t rxQueueSize, std::uint32_t txQueueSize) {
    return CSerialWnd::Open(deviceName.c_str(), window, message, messageParam, rxQueueSize,
                            txQueueSize);
}

}  // namespace zentrik
