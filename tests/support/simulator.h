#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zentrik::simtest {
class SimProcess;
}

namespace zentrik::test {

// zentrik-sim on a pseudo-terminal for one test.
class Simulator {
  public:
    explicit Simulator(const std::vector<std::string>& args = {});
    ~Simulator();
    const std::string& Device() const { return m_device; }
    // Ends it at once, as an unplugged controller would vanish.
    void Kill();

  private:
    std::unique_ptr<simtest::SimProcess> m_process;
    std::string m_device;
};

}  // namespace zentrik::test
