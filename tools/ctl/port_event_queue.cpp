#include "ctl/port_event_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace zentrik {

PortEventQueue::PortEventQueue() : m_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    m_pending.reserve(16);
}

PortEventQueue::~PortEventQueue() {
    if (m_fd >= 0) {
        ::close(m_fd);
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
    // The eventfd is set whenever the queue turns non-empty; later posts ride on that signal.
    if (wasEmpty) {
        const std::uint64_t one = 1;
        while (::write(m_fd, &one, sizeof one) < 0 && errno == EINTR) {
        }
    }
}

void PortEventQueue::Take(std::vector<std::uintptr_t>& out) {
    // Clear the signal before taking the queue: a post after the take signals again, a post
    // before it is taken now (its signal at worst wakes the loop once for nothing).
    std::uint64_t count = 0;
    while (::read(m_fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> guard(m_lock);
    out.insert(out.end(), m_pending.begin(), m_pending.end());
    m_pending.clear();
}

void PortEventQueue::Wait(std::optional<LoopClock::time_point> deadline,
                          std::vector<std::uintptr_t>& out) {
    pollfd fd{m_fd, POLLIN, 0};
    for (;;) {
        timespec timeout{0, 0};
        if (deadline) {
            const auto left = *deadline - LoopClock::now();
            if (left > LoopClock::duration::zero()) {
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
                timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
                timeout.tv_nsec = static_cast<long>(ns % 1000000000);
            }
        }
        const int ready = ::ppoll(&fd, 1, &timeout, nullptr);
        if (ready > 0) {
            Take(out);
            return;
        }
        if (ready == 0 || errno != EINTR) {
            return;
        }
    }
}

}  // namespace zentrik
