#include "sim/sim_options.h"

#include <charconv>
#include <chrono>
#include <cstdlib>
#include <functional>

namespace zentrik {

namespace {

bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    return ec == std::errc{} && end == text.data() + text.size() && value <= max;
}

bool ParseHex(std::string_view text, std::size_t digits, std::uint64_t& value) {
    if (text.size() != digits) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool ParseProbability(std::string_view text, double& value) {
    if (text.empty()) {
        return false;
    }
    // strtod wants a terminated string; from_chars for double is not in every library yet.
    const std::string copy(text);
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && value >= 0.0 && value <= 1.0;
}

std::string Invalid(std::string_view name, std::string_view value, std::string_view expected) {
    return "invalid value '" + std::string(value) + "' for --" + std::string(name) + ": expected " +
           std::string(expected);
}

}  // namespace

SimOptionsResult ParseSimOptions(std::span<const std::string_view> args) {
    SimOptions options;
    SessionSettings& session = options.session;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg.substr(0, 2) != "--" || arg.size() == 2) {
            return {std::nullopt, "unexpected argument '" + std::string(arg) + "'"};
        }
        std::string_view name = arg.substr(2);
        std::optional<std::string_view> inlineValue;
        if (const auto eq = name.find('='); eq != std::string_view::npos) {
            inlineValue = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        if (name == "help" || name == "silent") {
            if (inlineValue) {
                return {std::nullopt, "--" + std::string(name) + " takes no value"};
            }
            (name == "help" ? options.help : session.faults.silent) = true;
            continue;
        }
        if (name == "version" && !inlineValue &&
            (i + 1 == args.size() || args[i + 1].substr(0, 2) == "--")) {
            options.showVersion = true;
            continue;
        }
        std::string_view value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return {std::nullopt, "--" + std::string(name) + " needs a value"};
        }

        std::uint64_t number = 0;
        std::string* path = name == "link"        ? &options.linkPath
                            : name == "record"    ? &options.recordPath
                            : name == "flash-out" ? &options.flashOutPath
                            : name == "config"    ? &options.configPath
                                                  : nullptr;
        if (path != nullptr) {
            if (value.empty()) {
                return {std::nullopt, "--" + std::string(name) + " needs a file name"};
            }
            *path = std::string(value);
        } else if (name == "serial") {
            if (!ParseHex(value, 16, number)) {
                return {std::nullopt, Invalid(name, value, "16 hexadecimal digits")};
            }
            for (int b = 0; b < 8; ++b) {
                session.identity.serial[b] = static_cast<std::uint8_t>(number >> (56 - 8 * b));
            }
        } else if (name == "version") {
            if (!ParseHex(value, 4, number)) {
                return {std::nullopt, Invalid(name, value, "4 hexadecimal digits")};
            }
            session.identity.version = static_cast<std::uint16_t>(number);
        } else if (name == "baud") {
            if (!ParseUnsigned(value, kMaxBaud, number)) {
                return {std::nullopt,
                        Invalid(name, value, "a rate from 0 to " + std::to_string(kMaxBaud))};
            }
            session.baud = static_cast<std::uint32_t>(number);
        } else if (name == "latency") {
            if (!ParseUnsigned(value, kMaxLatencyMs, number)) {
                return {std::nullopt,
                        Invalid(name, value,
                                "milliseconds from 0 to " + std::to_string(kMaxLatencyMs))};
            }
            session.latency = std::chrono::milliseconds(number);
        } else if (name == "seed") {
            if (!ParseUnsigned(value, UINT64_MAX, number)) {
                return {std::nullopt, Invalid(name, value, "a non-negative integer")};
            }
            options.seed = number;
        } else if (name == "status") {
            if (!ParseUnsigned(value, 255, number)) {
                return {std::nullopt, Invalid(name, value, "a status from 0 to 255")};
            }
            session.status = static_cast<std::uint8_t>(number);
        } else if (name == "store-fault") {
            if (!ParseUnsigned(value, kConfigSize - 1, number)) {
                return {std::nullopt,
                        Invalid(name, value,
                                "a byte offset from 0 to " + std::to_string(kConfigSize - 1))};
            }
            session.storeFault = static_cast<std::size_t>(number);
        } else if (name == "drop" || name == "corrupt" || name == "noise") {
            double p = 0;
            if (!ParseProbability(value, p)) {
                return {std::nullopt, Invalid(name, value, "a probability from 0 to 1")};
            }
            (name == "drop"      ? session.faults.drop
             : name == "corrupt" ? session.faults.corrupt
                                 : session.faults.noise) = p;
        } else {
            return {std::nullopt, "unknown option '--" + std::string(name) + "'"};
        }
    }
    return {std::move(options), {}};
}

std::string SimUsage(std::string_view program) {
    return "Usage: " + std::string(program) +
           " [options]\n"
           "Simulates the nitrous controller on a pseudo-terminal. Prints the device path as the\n"
           "first line of output, then serves until interrupted or until standard input ends.\n"
           "\n"
           "  --link PATH        also make PATH a symbolic link to the device (removed at exit)\n"
           "  --serial HEX16     serial number, 16 hex digits (default 030A000000000001)\n"
           "  --version HEX4     firmware version, 4 hex digits (default 0100)\n"
           "  --config FILE      initial configuration from the \"Zentrik Config\" section of an\n"
           "                     INI file (default: the factory configuration)\n"
           "  --baud N           pace both directions at N baud, 10 bits a byte (default 0:\n"
           "                     no pacing)\n"
           "  --latency MS       processing time before each reply or echo (default 0)\n"
           "  --status N         refuse every request with status N in the reply\n"
           "  --silent           never answer\n"
           "  --store-fault N    store every uploaded configuration with byte N (0 to 109) of\n"
           "                     the 110-byte wire image changed (plus one), though the reply\n"
           "                     says it was stored; 9 changes stage 1's RPM cutoff\n"
           "  --drop P           probability that a reply or echo is lost\n"
           "  --corrupt P        probability that a reply or echo has one bit flipped\n"
           "  --noise P          probability of 1 to 8 random bytes before a reply or echo\n"
           "  --seed N           seed of the fault generator (default: random, reported)\n"
           "  --record FILE      append each received frame or firmware unit as a hex line\n"
           "  --flash-out FILE   write the firmware image after each successful upgrade\n"
           "  --help             show this text\n"
           "  --version          (without a value) show the program's version\n";
}

}  // namespace zentrik
