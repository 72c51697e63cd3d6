#include "ctl/console_loop.h"

#include <vector>

#include "link/controller_link.h"

namespace zentrik {

void ConsoleLoop::StartTimer(unsigned milliseconds) {
    m_deadline = m_source.Now() + std::chrono::milliseconds(milliseconds);
}

bool ConsoleLoop::RunUntil(const std::function<bool()>& done) {
    // Local: a nested run inside a dispatch must not disturb the batch being delivered.
    std::vector<std::uintptr_t> events;
    events.reserve(8);
    while (!done()) {
        events.clear();
        // Without a timer, only what is already pending is taken.
        m_source.Wait(
            m_deadline ? m_deadline : std::optional<LoopClock::time_point>(m_source.Now()), events);
        if (!events.empty()) {
            // Bytes that arrived by the deadline are handled before the timer is looked at.
            for (const std::uintptr_t wParam : events) {
                if (m_link != nullptr) {
                    m_link->OnPortEvent(wParam);
                }
            }
            continue;
        }
        if (!m_deadline) {
            return false;
        }
        if (m_source.Now() >= *m_deadline) {
            m_deadline.reset();
            if (m_link != nullptr) {
                m_link->OnReplyTimer();
            }
        }
    }
    return true;
}

}  // namespace zentrik
