#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrik::simtest {

inline constexpr std::chrono::milliseconds kIoLimit{5000};

// The zentrik-sim executable run as a child with its standard streams on pipes. Every wait is
// bounded; a child still running at the end is killed.
class SimProcess {
  public:
    SimProcess() = default;
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    bool Start(const std::vector<std::string>& args);
    // The first line of standard output, without its newline; empty on time-out or end.
    std::string ReadLine();
    void CloseInput();
    void Signal(int signal);
    // The exit status, or nothing if the child did not end in time (it is then killed).
    std::optional<int> WaitExit();
    std::string ErrorOutput();  // what the child wrote to standard error (after it ended)

  private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    int m_err = -1;
};

// The tool's end of the pseudo-terminal, set raw like the tool's serial layer sets it.
class PtyClient {
  public:
    PtyClient() = default;
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;
    ~PtyClient();

    bool Open(const std::string& path);
    void Close();
    bool Write(const std::vector<std::uint8_t>& bytes);
    // Exactly `count` bytes, or fewer if they do not come within the limit.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds limit = kIoLimit);

  private:
    int m_fd = -1;
};

}  // namespace zentrik::simtest
