#pragma once

#include <string>

#include "sim/record_file.h"
#include "sim/sim_options.h"
#include "sim/sim_session.h"

namespace zentrik {

// Serves the simulated controller on a pseudo-terminal. The tool opens the device end; the
// server keeps its own descriptor of that end open as well, so the tool may close and reopen
// the port as often as it likes without the server seeing a hang-up.
class PtyServer {
  public:
    explicit PtyServer(const SimOptions& options);
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;
    ~PtyServer();  // closes the terminal and removes the --link symlink

    // Creates the pseudo-terminal, the symlink and the record file. On failure error() says why.
    bool Open();
    const std::string& devicePath() const { return m_devicePath; }
    const std::string& error() const { return m_error; }

    // Serves until `stopFd` becomes readable or `inputFd` reaches end of file (either may be
    // -1). Returns false on a fatal I/O error, with error() set.
    bool Run(int inputFd, int stopFd);

  private:
    bool Fail(const std::string& what);
    bool CreateLink();
    bool ReadFromTool();
    bool WritePending();
    void OnFlashed(std::span<const std::uint8_t> image);

    SimOptions m_options;
    SimSession m_session;
    RecordFile m_record;
    int m_master = -1;
    int m_slave = -1;
    bool m_linkCreated = false;
    std::string m_devicePath;
    std::string m_error;
    std::vector<std::uint8_t> m_unwritten;
    bool m_recordWarned = false;
};

}  // namespace zentrik
