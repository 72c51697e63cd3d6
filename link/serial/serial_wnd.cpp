#include "link/serial/serial_wnd.h"

#include "link/serial/port_message.h"

namespace zentrik {

CSerialWnd::~CSerialWnd() {
    CSerialWnd::Close();
}

std::int32_t CSerialWnd::Open(const char* deviceName, PortEventSink* window, std::uint32_t message,
                              std::int32_t messageParam, std::uint32_t rxQueueSize,
                              std::uint32_t txQueueSize) {
    if (std::int32_t error = CSerialEvents::Open(deviceName, rxQueueSize, txQueueSize)) {
        return error;
    }
    m_window = window;
    m_message = message != 0 ? message : DefaultPortMessage();
    m_messageParam = messageParam;
    if (std::int32_t error = StartEventThread()) {
        Close();
        return Fail(error);
    }
    return kErrorSuccess;
}

std::int32_t CSerialWnd::Close() {
    // Cleared first, so nothing is posted while the thread shuts down.
    m_window = nullptr;
    m_message = 0;
    return CSerialEvents::Close();
}

void CSerialWnd::HandleEvent(std::uint32_t eventBits, std::uint32_t lineErrors) {
    PortEventSink* window = m_window;
    std::uint32_t message = m_message;
    if (window != nullptr && message != 0) {
        window->PostPortEvent(message, PackEvent(eventBits, lineErrors), m_messageParam);
    }
}

}  // namespace zentrik
