#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/sim_session.h"

namespace zentrik {

inline constexpr int kExitUsage = 2;
inline constexpr std::uint32_t kMaxBaud = 4'000'000;
inline constexpr int kMaxLatencyMs = 60'000;

// The command line of zentrik-sim.
struct SimOptions {
    SessionSettings session;
    std::optional<std::uint64_t> seed;  // none: a random seed, reported on stderr
    std::string configPath;             // initial configuration, loaded by the caller
    std::string linkPath;
    std::string recordPath;
    std::string flashOutPath;
    bool help = false;
    bool showVersion = false;  // --version without a value
};

struct SimOptionsResult {
    std::optional<SimOptions> options;  // set when the command line was valid
    std::string error;                  // otherwise, what was wrong with it
};

// Parses the arguments after the program name. Accepts "--name value" and "--name=value".
// "--version HEX4" sets the firmware version; "--version" with no value after it (at the
// end, or followed by another option) asks for the program's own version.
SimOptionsResult ParseSimOptions(std::span<const std::string_view> args);

// The text of --help.
std::string SimUsage(std::string_view program);

}  // namespace zentrik
