#include "ctl/port_event_queue.h"

namespace zentrik {

PortEventQueue::PortEventQueue() : m_signal(OsCreateSignal()) {
    m_pending.reserve(16);
}

PortEventQueue::~PortEventQueue() {
    if (m_signal != kNoSignal) {
        OsDestroySignal(m_signal);
    }
}

void PortEventQueue::PostPortEvent(std::uint32_t message, std::uintptr_t wParam,
                                   std::intptr_t /*lParam*/) {
    if (message != WM_PORT_EVENT) {
        return;
    }
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        wasEmpty = m_pending.empty();
        m_pending.push_back(wParam);
    }
    // The signal is raised whenever the queue turns non-empty; later posts ride on it.
    if (wasEmpty) {
        OsRaise(m_signal);
    }
}

void PortEventQueue::Take(std::vector<std::uintptr_t>& out) {
    // Clear the signal before taking the queue: a post after the take signals again, a post
    // before it is taken now (its signal at worst wakes the loop once for nothing).
    OsClear(m_signal);
    std::lock_guard<std::mutex> guard(m_lock);
    out.insert(out.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
}

void PortEventQueue::Wait(std::optional<LoopClock::time_point> deadline,
                          std::vector<std::uintptr_t>& out) {
    if (OsWait(m_signal, deadline)) {
        Take(out);
    }
}

}  // namespace zentrik
