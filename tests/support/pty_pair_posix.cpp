#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace zentrik::test {
namespace {

int RemainingMs(std::chrono::steady_clock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyPair::PtyPair() {
    char name[256] = {};
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        return;
    }
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave, TCSANOW, &tio);
    }
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slaveHolder = slave;
    m_slavePath = name;
}

PtyPair::~PtyPair() {
    CloseMaster();
    if (m_slaveHolder >= 0) {
        ::close(m_slaveHolder);
    }
}

bool PtyPair::WriteMaster(const void* data, std::size_t length) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::size_t done = 0;
    while (done < length) {
        ssize_t n = ::write(m_master, bytes + done, length - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
        pollfd pfd{m_master, POLLOUT, 0};
        if (poll(&pfd, 1, RemainingMs(end)) <= 0) {
            return false;
        }
    }
    return true;
}

std::string PtyPair::ReadMaster(std::size_t length, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string out;
    while (out.size() < length) {
        char buffer[256];
        std::size_t want = std::min(sizeof buffer, length - out.size());
        ssize_t n = ::read(m_master, buffer, want);
        if (n > 0) {
            out.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            break;
        }
        pollfd pfd{m_master, POLLIN, 0};
        if (poll(&pfd, 1, RemainingMs(end)) <= 0) {
            break;
        }
    }
    return out;
}

void PtyPair::CloseMaster() {
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

}  // namespace zentrik::test
