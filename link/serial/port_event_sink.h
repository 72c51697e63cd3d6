#pragma once

#include <cstdint>

namespace zentrik {

// Where a serial port's event thread delivers its notifications. PostPortEvent is called on
// the event thread; an implementation must be thread-safe, must not block and must not call
// back into the port (it only queues the message for the owner's own thread).
class PortEventSink {
  public:
    virtual ~PortEventSink() = default;
    virtual void PostPortEvent(std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
};

// Message id the link listens for (the first user message).
inline constexpr std::uint32_t WM_PORT_EVENT = 0x0401;

}  // namespace zentrik
