#include "support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "support/test_paths.h"

namespace zentrik::simtest {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kLimit = std::chrono::seconds(5);

// Waits for input on fd until the deadline; false on time-out.
bool WaitReadable(int fd, Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd p{fd, POLLIN, 0};
    return left.count() > 0 && poll(&p, 1, static_cast<int>(left.count())) > 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
    }
    fd = -1;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
    // Close-on-exec, so that no child inherits another pipe end and misses an end of file.
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return;
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
        execv(raw[0], raw.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    m_in = in[1];
    m_out = out[0];
}

SimProcess::~SimProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    CloseFd(m_in);
    CloseFd(m_out);
}

std::string SimProcess::ReadLine() {
    std::string line;
    const auto deadline = Clock::now() + kLimit;
    char c;
    while (WaitReadable(m_out, deadline) && read(m_out, &c, 1) == 1 && c != '\n') {
        line.push_back(c);
    }
    return line;
}

void SimProcess::CloseInput() {
    CloseFd(m_in);
}

std::optional<int> SimProcess::WaitExit() {
    const auto deadline = Clock::now() + kLimit;
    while (m_pid > 0 && Clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        poll(nullptr, 0, 5);
    }
    return std::nullopt;
}

bool PtyClient::Open(const std::string& path) {
    Close();
    m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio;
    if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    return tcsetattr(m_fd, TCSANOW, &tio) == 0 && tcflush(m_fd, TCIOFLUSH) == 0;
}

void PtyClient::Close() {
    CloseFd(m_fd);
}

bool PtyClient::Write(const std::vector<std::uint8_t>& bytes) {
    // Requests are far smaller than the terminal's buffer: one write takes them whole.
    return write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::vector<std::uint8_t> PtyClient::Read(std::size_t count) {
    std::vector<std::uint8_t> data(count);
    std::size_t got = 0;
    const auto deadline = Clock::now() + kLimit;
    while (got < count && WaitReadable(m_fd, deadline)) {
        const ssize_t n = read(m_fd, data.data() + got, count - got);
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    data.resize(got);
    return data;
}

}  // namespace zentrik::simtest
