#pragma once

#include <cstddef>
#include <string>

namespace zentrik::test {

// A pseudo-terminal pair for serial tests: the slave's path is what the code under test
// opens as its port; the test plays the device on the master. The pair keeps one slave
// descriptor of its own open so the master never sees the line as closed between opens.
// Every wait is bounded.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return m_master >= 0; }
    int Master() const { return m_master; }
    const std::string& SlavePath() const { return m_slavePath; }

    // Writes all bytes to the master; false on error or when 2 s pass.
    bool WriteMaster(const void* data, std::size_t length);
    bool WriteMaster(const std::string& text) { return WriteMaster(text.data(), text.size()); }
    // Reads from the master until `length` bytes came or `timeoutMs` passed.
    std::string ReadMaster(std::size_t length, int timeoutMs);
    // Closes the master: the slave side sees a hang-up, like an unplugged device.
    void CloseMaster();

  private:
    int m_master = -1;
    int m_slaveHolder = -1;
    std::string m_slavePath;
};

}  // namespace zentrik::test
