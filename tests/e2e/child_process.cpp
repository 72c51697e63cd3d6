#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace zentrik::test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> BuildEnvironment(const EnvEdits& edits) {
    std::vector<std::string> env;
    auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = nameOf(entry);
        bool edited = name == "ZENTRIK_PORT";
        for (const std::string& edit : edits) {
            edited = edited || nameOf(edit) == name;
        }
        if (!edited) {
            env.push_back(entry);
        }
    }
    for (const std::string& edit : edits) {
        if (edit.find('=') != std::string::npos) {
            env.push_back(edit);
        }
    }
    return env;
}

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings) {
        out.push_back(s.data());
    }
    out.push_back(nullptr);
    return out;
}

// Forks and execs with the given descriptors as 0, 1 and 2; -1 when fork fails.
pid_t Spawn(std::vector<std::string> argv, const EnvEdits& edits, int in, int out, int err) {
    std::vector<std::string> env = BuildEnvironment(edits);
    std::vector<char*> args = CStrings(argv);
    std::vector<char*> envp = CStrings(env);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

int ExitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Waits for the child up to `deadline` (on a pidfd, so without polling); kills it after
// that. Returns the wait status and whether it had to be killed.
std::pair<int, bool> Reap(pid_t pid, Clock::time_point deadline) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    bool killed = false;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (pidfd >= 0) {
                close(pidfd);
            }
            return {status, killed};
        }
        if (done < 0 && errno != EINTR) {
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || killed) {
            if (!killed) {
                kill(pid, SIGKILL);
                killed = true;
            }
            waitpid(pid, &status, 0);
            if (pidfd >= 0) {
                close(pidfd);
            }
            return {status, true};
        }
        if (pidfd >= 0) {
            pollfd fd{pidfd, POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (pidfd >= 0) {
        close(pidfd);
    }
    return {-1, killed};
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvEdits& env,
                         std::chrono::milliseconds limit) {
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        return result;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        return result;
    }
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    const Clock::time_point deadline = Clock::now() + limit;
    const pid_t pid = Spawn(argv, env, devNull, outPipe[1], errPipe[1]);
    close(devNull);
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        return result;
    }

    // Collect both outputs until both end or time runs out.
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        const int ready = poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }
    const auto [status, killed] = Reap(pid, open > 0 ? Clock::now() : deadline);
    result.timedOut = killed || open > 0;
    result.exitCode = killed ? -1 : ExitStatus(status);
    return result;
}

ServerProcess::ServerProcess(const std::vector<std::string>& argv, const std::string& errFile) {
    int inPipe[2];
    int outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0) {
        return;
    }
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        close(inPipe[0]);
        close(inPipe[1]);
        return;
    }
    const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    m_pid = Spawn(argv, {}, inPipe[0], outPipe[1], err >= 0 ? err : 2);
    if (err >= 0) {
        close(err);
    }
    close(inPipe[0]);
    close(outPipe[1]);
    m_stdin = inPipe[1];
    m_stdout = outPipe[0];
}

ServerProcess::~ServerProcess() {
    Stop(std::chrono::milliseconds(2000));
}

std::string ServerProcess::FirstLine(std::chrono::milliseconds limit) {
    std::string line;
    const Clock::time_point deadline = Clock::now() + limit;
    while (m_stdout >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd fd{m_stdout, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            return {};
        }
        char c = 0;
        if (read(m_stdout, &c, 1) != 1) {
            return {};
        }
        if (c == '\n') {
            return line;
        }
        line.push_back(c);
    }
    return {};
}

int ServerProcess::Stop(std::chrono::milliseconds limit) {
    if (m_stdin >= 0) {
        close(m_stdin);
        m_stdin = -1;
    }
    int result = -1;
    if (m_pid > 0) {
        const auto [status, killed] = Reap(m_pid, Clock::now() + limit);
        result = killed ? -1 : ExitStatus(status);
        m_pid = -1;
    }
    if (m_stdout >= 0) {
        close(m_stdout);
        m_stdout = -1;
    }
    return result;
}

}  // namespace zentrik::test
