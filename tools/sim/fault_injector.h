#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace zentrik {

struct FaultSettings {
    double drop = 0.0;     // probability that a reply or echo is not sent at all
    double corrupt = 0.0;  // probability that one bit of it is flipped
    double noise = 0.0;    // probability that random bytes go on the line before it
    bool silent = false;   // nothing is ever sent
    std::uint64_t seed = 1;
};

inline constexpr int kMaxNoiseBytes = 8;

// Damages the controller's replies and echoes on their way to the tool. Each one is decided
// on its own, in a fixed order (drop, then corrupt, then noise), from one seeded generator,
// so a seed replays the same faults.
class FaultInjector {
  public:
    explicit FaultInjector(const FaultSettings& settings);

    // The bytes that go on the line for one reply or echo; empty when it is dropped.
    std::vector<std::uint8_t> Apply(std::vector<std::uint8_t> chunk);

    int dropped() const { return m_dropped; }
    int corrupted() const { return m_corrupted; }
    int noisy() const { return m_noisy; }

  private:
    bool Chance(double probability);
    std::uint64_t Below(std::uint64_t bound) { return m_random() % bound; }

    FaultSettings m_settings;
    // mt19937_64 is fully specified, so a seed gives the same faults on every platform.
    std::mt19937_64 m_random;
    int m_dropped = 0;
    int m_corrupted = 0;
    int m_noisy = 0;
};

}  // namespace zentrik
