#pragma once

#include <atomic>

#include "link/serial/port_event_sink.h"
#include "link/serial/serial_events.h"

namespace zentrik {

// A serial port whose event thread posts each event to a sink as a message:
// wParam = (line errors & 0xFFFF) << 16 | (event bits & 0xFFFF), lParam = messageParam.
// The sink must stay valid until Close (or destruction) has returned.
class CSerialWnd : public CSerialEvents {
  public:
    CSerialWnd() = default;
    ~CSerialWnd() override;

    using CSerialEvents::Open;
    // Message id 0 posts DefaultPortMessage(). A null sink opens the port without anyone
    // to tell.
    virtual std::int32_t Open(const char* deviceName, PortEventSink* window, std::uint32_t message,
                              std::int32_t messageParam, std::uint32_t rxQueueSize = 0,
                              std::uint32_t txQueueSize = 0);
    std::int32_t Close() override;
    void HandleEvent(std::uint32_t eventBits, std::uint32_t lineErrors) override;

    std::uint32_t Message() const { return m_message; }

    // The first message parameter for a report.
    static std::uintptr_t PackEvent(std::uint32_t eventBits, std::uint32_t lineErrors) {
        return (static_cast<std::uintptr_t>(lineErrors & 0xFFFF) << 16) | (eventBits & 0xFFFF);
    }

  protected:
    // Read by the event thread while the owner's thread may clear them.
    std::atomic<PortEventSink*> m_window{nullptr};
    std::atomic<std::uint32_t> m_message{0};
    std::int32_t m_messageParam = 0;
};

}  // namespace zentrik
