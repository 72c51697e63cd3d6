#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/fault_injector.h"
#include "sim/line_pacer.h"
#include "sim/sim_controller.h"
#include "sim/sim_time.h"

namespace zentrik {

struct SessionSettings {
    SimIdentity identity;
    ControllerConfig config = DefaultControllerConfig();
    std::uint8_t status = 0;
    FaultSettings faults;
    SimDuration latency{};   // processing time before each reply or echo
    std::uint32_t baud = 0;  // 0: no pacing
    // An uploaded configuration is stored with the byte at this offset of the wire image
    // changed (one added), as a controller with a bad memory cell would; none: as received.
    std::optional<std::size_t> storeFault;
};

// The controller together with its serial line: received bytes reach the controller at the
// time the line would deliver them, and its replies leave after the processing latency,
// through the fault injector, at the line's pace. No I/O and no clock of its own: the caller
// passes the time, writes what TakeOutput returns and wakes up at NextWakeup.
class SimSession {
  public:
    explicit SimSession(const SessionSettings& settings);

    // Bytes the tool wrote, read at `now`.
    void Receive(std::span<const std::uint8_t> bytes, SimTime now);
    // The bytes due on the tool's side of the line by `now`.
    std::vector<std::uint8_t> TakeOutput(SimTime now);
    // When the next byte is due to be sent.
    std::optional<SimTime> NextWakeup() const;

    SimController& controller() { return m_controller; }
    const FaultInjector& faults() const { return m_faults; }

  private:
    SimController m_controller;
    FaultInjector m_faults;
    SimDuration m_latency;
    LinePacer m_inbound;
    LinePacer m_outbound;
};

}  // namespace zentrik
