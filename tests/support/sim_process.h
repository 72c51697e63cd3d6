#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrik::simtest {

// The zentrik-sim executable as a child with standard input and output on pipes. Every wait
// is bounded (a few seconds); a child still running at the end is killed.
class SimProcess {
  public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    std::string ReadLine();  // the next line of standard output; empty on time-out
    void CloseInput();
    std::optional<int> WaitExit();  // exit status; nothing if it did not end in time
    pid_t pid() const { return m_pid; }

  private:
    pid_t m_pid = -1;
    int m_in = -1, m_out = -1;
};

// The tool's end of the pseudo-terminal, set raw.
class PtyClient {
  public:
    ~PtyClient() { Close(); }
    bool Open(const std::string& path);
    void Close();
    bool Write(const std::vector<std::uint8_t>& bytes);
    std::vector<std::uint8_t> Read(std::size_t count);  // fewer if they do not come in time

  private:
    int m_fd = -1;
};

}  // namespace zentrik::simtest
