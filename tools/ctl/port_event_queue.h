#pragma once

#include <mutex>

#include "ctl/port_event_source.h"
#include "link/serial/port_event_sink.h"

namespace zentrik {

// The port's notifications handed from its event thread to the console loop: a locked queue
// whose becoming non-empty raises a signal (an eventfd on POSIX systems, an event object on
// Windows), which the loop waits on up to the reply timer's deadline. Posting never blocks
// beyond the short lock.
class PortEventQueue : public PortEventSink, public PortEventSource {
  public:
    PortEventQueue();
    ~PortEventQueue() override;
    PortEventQueue(const PortEventQueue&) = delete;
    PortEventQueue& operator=(const PortEventQueue&) = delete;

    // False when the signal could not be created (the queue is then unusable).
    bool Ok() const { return m_signal != kNoSignal; }

    // PortEventSink, on the port's event thread. Messages other than WM_PORT_EVENT are
    // dropped.
    void PostPortEvent(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    // PortEventSource, on the loop's thread.
    LoopClock::time_point Now() override { return LoopClock::now(); }
    void Wait(std::optional<LoopClock::time_point> deadline,
              std::vector<std::uintptr_t>& out) override;

  private:
    static constexpr std::intptr_t kNoSignal = -1;

    void Take(std::vector<std::uintptr_t>& out);

    // The platform's signal: made, raised, cleared, waited for (true when raised by then).
    static std::intptr_t OsCreateSignal();
    static void OsDestroySignal(std::intptr_t signal);
    static void OsRaise(std::intptr_t signal);
    static void OsClear(std::intptr_t signal);
    static bool OsWait(std::intptr_t signal, std::optional<LoopClock::time_point> deadline);

    std::intptr_t m_signal = kNoSignal;
    std::mutex m_lock;
    std::vector<std::uintptr_t> m_pending;
};

}  // namespace zentrik
