#include "sim/sim_session.h"

#include <algorithm>

namespace zentrik {

SimSession::SimSession(const SessionSettings& settings)
    : m_controller(settings.identity, settings.config),
      m_faults(settings.faults),
      m_latency(settings.latency),
      m_inbound(settings.baud),
      m_outbound(settings.baud) {
    m_controller.SetReplyStatus(settings.status);
    // A slow controller must not give up on a transfer it is itself holding up.
    m_controller.SetFlashIdleTimeout(kFlashIdleTimeout + settings.latency);
}

void SimSession::Receive(std::span<const std::uint8_t> bytes, SimTime now) {
    m_inbound.Push(bytes, now);
    Advance(now);
}

void SimSession::Advance(SimTime now) {
    for (const TimedByte& in : m_inbound.TakeDue(now)) {
        for (OutputChunk& chunk : m_controller.Receive({&in.byte, 1}, in.time)) {
            const std::vector<std::uint8_t> line = m_faults.Apply(std::move(chunk.bytes));
            m_outbound.Push(line, in.time + m_latency);
        }
    }
}

std::vector<std::uint8_t> SimSession::TakeOutput(SimTime now) {
    Advance(now);
    std::vector<std::uint8_t> out;
    for (const TimedByte& b : m_outbound.TakeDue(now)) {
        out.push_back(b.byte);
    }
    return out;
}

std::optional<SimTime> SimSession::NextWakeup() const {
    const auto in = m_inbound.NextDue();
    const auto out = m_outbound.NextDue();
    if (in && out) {
        return std::min(*in, *out);
    }
    return in ? in : out;
}

}  // namespace zentrik
