#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "support/test_paths.h"

namespace zentrik::simtest {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

}  // namespace

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    CloseFd(m_in);
    CloseFd(m_out);
    CloseFd(m_err);
}

bool SimProcess::Start(const std::vector<std::string>& args) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) {
        return false;
    }
    std::vector<std::string> argv{test::SimulatorPath()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (auto& a : argv) {
        raw.push_back(a.data());
    }
    raw.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
            close(fd);
        }
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    m_in = in[1];
    m_out = out[0];
    m_err = err[0];
    return m_pid > 0;
}

std::string SimProcess::ReadLine() {
    std::string line;
    const auto deadline = Clock::now() + kIoLimit;
    pollfd p{m_out, POLLIN, 0};
    while (poll(&p, 1, RemainingMs(deadline)) > 0) {
        char c;
        if (read(m_out, &c, 1) != 1 || c == '\n') {
            break;
        }
        line.push_back(c);
    }
    return line;
}

void SimProcess::CloseInput() {
    CloseFd(m_in);
}

void SimProcess::Signal(int signal) {
    if (m_pid > 0) {
        kill(m_pid, signal);
    }
}

std::optional<int> SimProcess::WaitExit() {
    const auto deadline = Clock::now() + kIoLimit;
    while (m_pid > 0) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (Clock::now() >= deadline) {
            break;
        }
        poll(nullptr, 0, 5);
    }
    return std::nullopt;
}

std::string SimProcess::ErrorOutput() {
    std::string text;
    char buffer[512];
    pollfd p{m_err, POLLIN, 0};
    while (poll(&p, 1, 0) > 0) {
        const ssize_t n = read(m_err, buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

PtyClient::~PtyClient() {
    Close();
}

bool PtyClient::Open(const std::string& path) {
    Close();
    m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0) {
        return false;
    }
    termios tio;
    if (tcgetattr(m_fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    return tcsetattr(m_fd, TCSANOW, &tio) == 0 && tcflush(m_fd, TCIOFLUSH) == 0;
}

void PtyClient::Close() {
    CloseFd(m_fd);
}

bool PtyClient::Write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    const auto deadline = Clock::now() + kIoLimit;
    while (done < bytes.size()) {
        const ssize_t n = write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        pollfd p{m_fd, POLLOUT, 0};
        if (poll(&p, 1, RemainingMs(deadline)) <= 0) {
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> PtyClient::Read(std::size_t count, std::chrono::milliseconds limit) {
    std::vector<std::uint8_t> data;
    const auto deadline = Clock::now() + limit;
    while (data.size() < count) {
        std::uint8_t buffer[4096];
        const ssize_t n = read(m_fd, buffer, std::min(sizeof(buffer), count - data.size()));
        if (n > 0) {
            data.insert(data.end(), buffer, buffer + n);
            continue;
        }
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, RemainingMs(deadline)) <= 0) {
            break;
        }
    }
    return data;
}

}  // namespace zentrik::simtest
