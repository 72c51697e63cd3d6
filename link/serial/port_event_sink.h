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

// Event bits (as reported to HandleEvent and in the low word of a port message's wParam).
inline constexpr std::uint32_t kEventRxChar = 0x0001;
inline constexpr std::uint32_t kEventRxFlag = 0x0002;
inline constexpr std::uint32_t kEventError = 0x0080;
// Mask set by Open: received byte and line error.
inline constexpr std::uint32_t kDefaultEventMask = kEventRxChar | kEventError;

// Line-error bits (the high word of a port message).
inline constexpr std::uint32_t kLineErrorRxOverflow = 0x0001;
inline constexpr std::uint32_t kLineErrorOverrun = 0x0002;
inline constexpr std::uint32_t kLineErrorParity = 0x0004;
inline constexpr std::uint32_t kLineErrorFrame = 0x0008;
inline constexpr std::uint32_t kLineErrorBreak = 0x0010;

// Message id the link listens for (the first user message).
inline constexpr std::uint32_t WM_PORT_EVENT = 0x0401;

}  // namespace zentrik
