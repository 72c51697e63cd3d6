#include "support/simulator.h"

#include <signal.h>

#include "support/sim_process.h"

namespace zentrik::test {

Simulator::Simulator(const std::vector<std::string>& args)
    : m_process(std::make_unique<simtest::SimProcess>(args)) {
    m_device = m_process->ReadLine();
}

Simulator::~Simulator() = default;

void Simulator::Kill() {
    if (m_process->pid() > 0) {
        ::kill(m_process->pid(), SIGKILL);
        m_process->WaitExit();
    }
}

}  // namespace zentrik::test
