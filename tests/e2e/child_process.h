#pragma once

#include <sys/types.h>
#include <chrono>
#include <string>
#include <vector>

namespace zentrik::test {

// Environment changes for a child: "NAME=value" sets, "NAME" alone removes. ZENTRIK_PORT is
// always removed from the inherited environment unless set here, so that tests never pick
// up the caller's device.
using EnvEdits = std::vector<std::string>;

struct ProcessResult {
    int exitCode = -1;  // -1 when killed or not started
    bool timedOut = false;
    std::string out;
    std::string err;
};

// Runs a program to its end, stdin from /dev/null, collecting both outputs. A child still
// running after `limit` is killed and reported as timed out.
ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvEdits& env,
                         std::chrono::milliseconds limit);

// A server process for the length of a test: its stdin is a pipe held open (closing it asks
// the server to end), its first output line is read with a time limit, its stderr goes to a
// file. The destructor closes stdin, waits briefly and kills the process if it is still there.
class ServerProcess {
  public:
    ServerProcess(const std::vector<std::string>& argv, const std::string& errFile);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The first line of output, without its newline; empty when none came in time.
    std::string FirstLine(std::chrono::milliseconds limit);
    // Closes stdin and waits up to `limit` for the exit; kills it after that. Returns the
    // exit status, or -1 when it had to be killed.
    int Stop(std::chrono::milliseconds limit);

  private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
};

}  // namespace zentrik::test
