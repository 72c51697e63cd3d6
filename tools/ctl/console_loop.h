#pragma once

#include <functional>
#include <optional>

#include "ctl/port_event_source.h"

namespace zentrik {

class ControllerLink;

// The console's event loop: delivers the port's notifications to the link and fires its
// reply timer at the deadline. It waits only while the reply timer runs (the link is then
// waiting for a reply); without one nothing can come that the link awaits, so it never waits
// without a deadline and never spins.
class ConsoleLoop {
  public:
    explicit ConsoleLoop(PortEventSource& source) : m_source(source) {}

    void SetLink(ControllerLink* link) { m_link = link; }

    // The reply timer: one shot, restarted by each start.
    void StartTimer(unsigned milliseconds);
    void StopTimer() { m_deadline.reset(); }
    bool TimerRunning() const { return m_deadline.has_value(); }

    // Runs until `done` holds (true), or until nothing is pending and no timer runs while
    // `done` still does not hold (false: the link stopped short). May be nested: a modal
    // call of the link's host runs its own loop inside a dispatch of the outer one.
    bool RunUntil(const std::function<bool()>& done);

  private:
    PortEventSource& m_source;
    ControllerLink* m_link = nullptr;
    std::optional<LoopClock::time_point> m_deadline;
};

}  // namespace zentrik
