#include "sim/fault_injector.h"

namespace zentrik {

FaultInjector::FaultInjector(const FaultSettings& settings)
    : m_settings(settings), m_random(settings.seed) {}

bool FaultInjector::Chance(double probability) {
    // 53 random bits as a fraction in [0, 1): probability 0 never hits, 1 always does.
    const double u = static_cast<double>(m_random() >> 11) * 0x1.0p-53;
    return u < probability;
}

std::vector<std::uint8_t> FaultInjector::Apply(std::vector<std::uint8_t> chunk) {
    if (m_settings.silent || chunk.empty()) {
        return {};
    }
    if (Chance(m_settings.drop)) {
        ++m_dropped;
        return {};
    }
    if (Chance(m_settings.corrupt)) {
        ++m_corrupted;
        const auto index = Below(chunk.size());
        chunk[index] ^= static_cast<std::uint8_t>(1u << Below(8));
    }
    if (Chance(m_settings.noise)) {
        ++m_noisy;
        const auto count = 1 + Below(kMaxNoiseBytes);
        std::vector<std::uint8_t> noisy;
        noisy.reserve(count + chunk.size());
        for (std::uint64_t i = 0; i < count; ++i) {
            noisy.push_back(static_cast<std::uint8_t>(m_random()));
        }
        noisy.insert(noisy.end(), chunk.begin(), chunk.end());
        return noisy;
    }
    return chunk;
}

}  // namespace zentrik
