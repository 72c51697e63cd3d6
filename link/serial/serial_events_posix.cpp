// The event thread over epoll. The port is watched edge-triggered, so each arrival wakes the
// thread once and unread bytes that merely wait do not wake it again; the stop eventfd is
// level-triggered, so once set it ends every later wait at once.
#include <linux/serial.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "link/serial/serial_events.h"

namespace zentrik {

struct CSerialEvents::EventThread {
    std::thread thread;
    std::mutex lock;
    std::condition_variable endedSignal;
    bool ended = false;
};

void CSerialEvents::EventThreadDeleter::operator()(EventThread* thread) const {
    if (thread->thread.joinable()) {
        thread->thread.join();
    }
    delete thread;
}

namespace {

int Descriptor(NativeHandle handle) {
    return static_cast<int>(handle);
}

// Line-error counters of a serial driver. Pseudo-terminals and some USB drivers keep none;
// their line errors then stay 0.
struct LineCounters {
    bool available = false;
    serial_icounter_struct counts{};

    void Read(int fd) { available = ioctl(fd, TIOCGICOUNT, &counts) == 0; }

    // Line-error bits for the counters that moved since the previous call.
    std::uint32_t TakeErrors(int fd) {
        if (!available) {
            return 0;
        }
        serial_icounter_struct now{};
        if (ioctl(fd, TIOCGICOUNT, &now) != 0) {
            return 0;
        }
        std::uint32_t errors = 0;
        if (now.overrun != counts.overrun) {
            errors |= kLineErrorOverrun;
        }
        if (now.frame != counts.frame) {
            errors |= kLineErrorFrame;
        }
        if (now.parity != counts.parity) {
            errors |= kLineErrorParity;
        }
        if (now.brk != counts.brk) {
            errors |= kLineErrorBreak;
        }
        if (now.buf_overrun != counts.buf_overrun) {
            errors |= kLineErrorRxOverflow;
        }
        counts = now;
        return errors;
    }
};

}  // namespace

std::int32_t CSerialEvents::OsCreateEvents() {
    int stop = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stop < 0) {
        return errno;
    }
    int wait = epoll_create1(EPOLL_CLOEXEC);
    if (wait < 0) {
        std::int32_t error = errno;
        ::close(stop);
        return error;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = stop;
    if (epoll_ctl(wait, EPOLL_CTL_ADD, stop, &event) != 0) {
        std::int32_t error = errno;
        ::close(wait);
        ::close(stop);
        return error;
    }
    m_stopEvent = stop;
    m_waitEvent = wait;
    return kErrorSuccess;
}

void CSerialEvents::OsCloseEvents() {
    if (m_waitEvent != kNoHandle) {
        ::close(Descriptor(m_waitEvent));
        m_waitEvent = kNoHandle;
    }
    if (m_stopEvent != kNoHandle) {
        ::close(Descriptor(m_stopEvent));
        m_stopEvent = kNoHandle;
    }
}

std::int32_t CSerialEvents::OsStartThread() {
    EventThreadPtr record(new EventThread);
    EventThread* thread = record.get();
    try {
        thread->thread = std::thread([this, thread] {
            RunEventThread();
            std::lock_guard<std::mutex> guard(thread->lock);
            thread->ended = true;
            thread->endedSignal.notify_all();
        });
    } catch (const std::system_error& error) {
        return error.code().value();
    }
    m_thread = std::move(record);
    return kErrorSuccess;
}

void CSerialEvents::OsSignalStop() {
    const std::uint64_t one = 1;
    while (::write(Descriptor(m_stopEvent), &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool CSerialEvents::OsWaitThread(EventThread& thread, std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> guard(thread.lock);
    auto ended = [&thread] { return thread.ended; };
    if (timeoutMs == kInfiniteTimeout) {
        thread.endedSignal.wait(guard, ended);
        return true;
    }
    return thread.endedSignal.wait_for(guard, std::chrono::milliseconds(timeoutMs), ended);
}

std::int32_t CSerialEvents::RunEventThread() {
    const int port = Descriptor(m_port);
    const int stop = Descriptor(m_stopEvent);
    const int wait = Descriptor(m_waitEvent);

    epoll_event watch{};
    watch.events = EPOLLIN | EPOLLET;
    watch.data.fd = port;
    if (epoll_ctl(wait, EPOLL_CTL_ADD, port, &watch) != 0) {
        // Still registered by a thread that a timed stop left behind: re-arm it.
        if (errno != EEXIST || epoll_ctl(wait, EPOLL_CTL_MOD, port, &watch) != 0) {
            return Fail(errno);
        }
    }
    bool watchingPort = true;
    LineCounters counters;
    counters.Read(port);

    std::int32_t exitCode = kErrorSuccess;
    for (;;) {
        epoll_event events[2];
        int count = epoll_wait(wait, events, 2, -1);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            exitCode = Fail(errno);
            break;
        }
        bool stopping = false;
        std::uint32_t portEvents = 0;
        for (int i = 0; i < count; ++i) {
            if (events[i].data.fd == stop) {
                stopping = true;
            } else {
                portEvents |= events[i].events;
            }
        }
        if (stopping) {
            break;
        }
        if (portEvents == 0) {
            continue;
        }
        std::uint32_t bits = 0;
        if (portEvents & (EPOLLHUP | EPOLLERR)) {
            // The device is gone (unplugged, or the far end of a pseudo-terminal closed).
            // Report it once and stop watching it; only the stop event remains.
            bits |= kEventError;
            int pending = 0;
            if ((portEvents & EPOLLIN) && ioctl(port, FIONREAD, &pending) == 0 && pending > 0) {
                bits |= kEventRxChar;
            }
            epoll_ctl(wait, EPOLL_CTL_DEL, port, nullptr);
            watchingPort = false;
        } else if (portEvents & EPOLLIN) {
            bits |= kEventRxChar;
        }
        std::uint32_t lineErrors = counters.TakeErrors(port);
        if (lineErrors != 0) {
            bits |= kEventError;
        }
        m_eventBits |= bits;
        std::uint32_t taken = TakeEvents();
        if (taken != 0) {
            HandleEvent(taken, lineErrors);
        }
    }
    if (watchingPort) {
        epoll_ctl(wait, EPOLL_CTL_DEL, port, nullptr);
    }
    return exitCode;
}

}  // namespace zentrik
