#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace zentrik {

using LoopClock = std::chrono::steady_clock;

// What the console loop waits on: the port's notifications (the wParam of each
// WM_PORT_EVENT, in order) and the clock its reply timer runs on.
class PortEventSource {
  public:
    virtual ~PortEventSource() = default;

    virtual LoopClock::time_point Now() = 0;
    // Appends the pending notifications to `out`. When none are pending, waits for one
    // until `deadline` (no deadline: returns at once).
    virtual void Wait(std::optional<LoopClock::time_point> deadline,
                      std::vector<std::uintptr_t>& out) = 0;
};

}  // namespace zentrik
