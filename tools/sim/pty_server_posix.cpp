#include "sim/pty_server.h"

#include <fcntl.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zentrik {

namespace {

constexpr std::size_t kReadChunk = 4096;

std::string ErrnoText() {
    return std::strerror(errno);
}

timespec ToTimespec(SimDuration d) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    timespec ts;
    ts.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    return ts;
}

}  // namespace

PtyServer::PtyServer(const SimOptions& options) : m_options(options), m_session(options.session) {}

PtyServer::~PtyServer() {
    if (m_linkCreated) {
        // Only remove the link if it is still ours.
        char target[4096];
        const ssize_t n = readlink(m_options.linkPath.c_str(), target, sizeof(target) - 1);
        if (n >= 0 && std::string(target, static_cast<std::size_t>(n)) == m_devicePath) {
            unlink(m_options.linkPath.c_str());
        }
    }
    if (m_slave >= 0) {
        close(m_slave);
    }
    if (m_master >= 0) {
        close(m_master);
    }
}

bool PtyServer::Fail(const std::string& what) {
    m_error = what;
    return false;
}

bool PtyServer::Open() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        return Fail("cannot create a pseudo-terminal: " + ErrnoText());
    }
    const char* name = ptsname(m_master);
    if (name == nullptr) {
        return Fail("cannot name the pseudo-terminal: " + ErrnoText());
    }
    m_devicePath = name;
    m_slave = open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        return Fail("cannot open " + m_devicePath + ": " + ErrnoText());
    }
    // Raw, so that the tool's bytes pass unchanged in both directions.
    termios tio;
    if (tcgetattr(m_slave, &tio) != 0) {
        return Fail("cannot read the terminal settings: " + ErrnoText());
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (tcsetattr(m_slave, TCSANOW, &tio) != 0) {
        return Fail("cannot set the terminal settings: " + ErrnoText());
    }
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return Fail("cannot make the terminal non-blocking: " + ErrnoText());
    }
#if defined(__linux__)
    // Paced bytes are due every few hundred microseconds; the default 50 us of timer slack
    // per wake-up would add several percent to every exchange.
    if (m_options.session.baud != 0) {
        prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    }
#endif
    if (!m_options.linkPath.empty() && !CreateLink()) {
        return false;
    }
    if (!m_options.recordPath.empty()) {
        if (!m_record.Open(m_options.recordPath)) {
            return Fail("cannot open " + m_options.recordPath + ": " + ErrnoText());
        }
        m_session.controller().SetReceiveObserver(
            [this](ReceivedKind, std::span<const std::uint8_t> bytes) {
                if (!m_record.Append(bytes) && !m_recordWarned) {
                    m_recordWarned = true;
                    std::fprintf(stderr, "zentrik-sim: cannot write to %s\n",
                                 m_options.recordPath.c_str());
                }
            });
    }
    if (!m_options.flashOutPath.empty()) {
        m_session.controller().SetFlashObserver(
            [this](std::span<const std::uint8_t> image) { OnFlashed(image); });
    }
    return true;
}

bool PtyServer::CreateLink() {
    const std::string& link = m_options.linkPath;
    if (symlink(m_devicePath.c_str(), link.c_str()) != 0) {
        struct stat st;
        // A symlink left by an earlier run is replaced; anything else is not ours to remove.
        if (errno != EEXIST || lstat(link.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return Fail(
                "cannot create the link " + link + ": " +
                (errno == EEXIST ? std::string("a file of that name exists") : ErrnoText()));
        }
        if (unlink(link.c_str()) != 0 || symlink(m_devicePath.c_str(), link.c_str()) != 0) {
            return Fail("cannot replace the link " + link + ": " + ErrnoText());
        }
    }
    m_linkCreated = true;
    return true;
}

void PtyServer::OnFlashed(std::span<const std::uint8_t> image) {
    if (!WriteFileAtomically(m_options.flashOutPath, image)) {
        std::fprintf(stderr, "zentrik-sim: cannot write the firmware image to %s: %s\n",
                     m_options.flashOutPath.c_str(), ErrnoText().c_str());
    }
}

bool PtyServer::ReadFromTool() {
    std::uint8_t buffer[kReadChunk];
    for (;;) {
        const ssize_t n = read(m_master, buffer, sizeof(buffer));
        if (n > 0) {
            m_session.Receive({buffer, static_cast<std::size_t>(n)}, SimClock::now());
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        }
        // We hold the device end open, so a hang-up means the terminal itself went away.
        return Fail("the pseudo-terminal was hung up");
    }
}

bool PtyServer::WritePending() {
    std::size_t done = 0;
    while (done < m_unwritten.size()) {
        const ssize_t n = write(m_master, m_unwritten.data() + done, m_unwritten.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;  // the tool is not reading; wait until the terminal takes more
        } else {
            return Fail("cannot write to the pseudo-terminal: " + ErrnoText());
        }
    }
    m_unwritten.erase(m_unwritten.begin(), m_unwritten.begin() + static_cast<long>(done));
    return true;
}

bool PtyServer::Run(int inputFd, int stopFd) {
    for (;;) {
        const SimTime now = SimClock::now();
        const std::vector<std::uint8_t> due = m_session.TakeOutput(now);
        m_unwritten.insert(m_unwritten.end(), due.begin(), due.end());
        if (!m_unwritten.empty() && !WritePending()) {
            return false;
        }

        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {m_master, static_cast<short>(POLLIN | (m_unwritten.empty() ? 0 : POLLOUT)),
                        0};
        const nfds_t inputIndex = inputFd >= 0 ? count++ : 0;
        if (inputFd >= 0) {
            fds[inputIndex] = {inputFd, POLLIN, 0};
        }
        const nfds_t stopIndex = stopFd >= 0 ? count++ : 0;
        if (stopFd >= 0) {
            fds[stopIndex] = {stopFd, POLLIN, 0};
        }

        timespec timeout;
        const timespec* wait = nullptr;
        if (const auto wake = m_session.NextWakeup()) {
            timeout = ToTimespec(std::max(SimDuration::zero(), *wake - SimClock::now()));
            wait = &timeout;
        }
        if (ppoll(fds, count, wait, nullptr) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail("poll failed: " + ErrnoText());
        }

        if (stopFd >= 0 && fds[stopIndex].revents != 0) {
            return true;
        }
        if (inputFd >= 0 && fds[inputIndex].revents != 0) {
            if (fds[inputIndex].revents & POLLNVAL) {
                inputFd = -1;  // no standard input to watch
            } else {
                char sink[256];
                const ssize_t n = read(inputFd, sink, sizeof(sink));
                if (n == 0) {
                    return true;
                }
                if (n < 0 && errno != EINTR && errno != EAGAIN) {
                    inputFd = -1;  // unreadable: stop watching it rather than spin on it
                }
            }
        }
        if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !ReadFromTool()) {
            return false;
        }
    }
}

}  // namespace zentrik
