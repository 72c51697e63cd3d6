#include "sim/sim_session.h"

namespace zentrik {

SimSession::SimSession(const SessionSettings& settings)
    : m_controller(settings.identity, settings.config),
      m_faults(settings.faults),
      m_latency(settings.latency),
      m_inbound(settings.baud),
      m_outbound(settings.baud) {
    m_controller.SetReplyStatus(settings.status);
    m_controller.SetStoreFault(settings.storeFault);
    // A slow controller must not give up on a transfer it is itself holding up.
    m_controller.SetFlashIdleTimeout(kFlashIdleTimeout + settings.latency);
}

void SimSession::Receive(std::span<const std::uint8_t> bytes, SimTime now) {
    m_inbound.Push(bytes, now);
    // Each byte is handled at once but with the time the line delivers it, and its reply is
    // scheduled from that time; so only the outgoing line ever needs a wake-up.
    for (const TimedByte& in : m_inbound.TakeDue(SimTime::max())) {
        for (OutputChunk& chunk : m_controller.Receive({&in.byte, 1}, in.time)) {
            const std::vector<std::uint8_t> line = m_faults.Apply(std::move(chunk.bytes));
            m_outbound.Push(line, in.time + m_latency);
        }
    }
}

std::vector<std::uint8_t> SimSession::TakeOutput(SimTime now) {
    std::vector<std::uint8_t> out;
    for (const TimedByte& b : m_outbound.TakeDue(now)) {
        out.push_back(b.byte);
    }
    return out;
}

std::optional<SimTime> SimSession::NextWakeup() const {
    return m_outbound.NextDue();
}

}  // namespace zentrik
