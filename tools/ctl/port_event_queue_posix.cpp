// The queue's signal on POSIX systems: an eventfd, waited for with ppoll.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "ctl/port_event_queue.h"

namespace zentrik {

std::intptr_t PortEventQueue::OsCreateSignal() {
    const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd >= 0 ? fd : kNoSignal;
}

void PortEventQueue::OsDestroySignal(std::intptr_t signal) {
    ::close(static_cast<int>(signal));
}

void PortEventQueue::OsRaise(std::intptr_t signal) {
    const std::uint64_t one = 1;
    while (::write(static_cast<int>(signal), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void PortEventQueue::OsClear(std::intptr_t signal) {
    std::uint64_t count = 0;
    while (::read(static_cast<int>(signal), &count, sizeof count) < 0 && errno == EINTR) {
    }
}

bool PortEventQueue::OsWait(std::intptr_t signal, std::optional<LoopClock::time_point> deadline) {
    pollfd fd{static_cast<int>(signal), POLLIN, 0};
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
            return true;
        }
        if (ready == 0 || errno != EINTR) {
            return false;
        }
    }
}

}  // namespace zentrik
