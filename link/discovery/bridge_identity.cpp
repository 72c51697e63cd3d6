#include "link/discovery/bridge_identity.h"

#include <charconv>

namespace zentrik {

bool HasControllerSerial(std::string_view serial) {
    return serial.substr(0, kControllerSerialPrefix.size()) == kControllerSerialPrefix;
}

std::optional<std::uint16_t> ParseUsbId(std::string_view hex) {
    if (hex.empty() || hex.size() > 4) {
        return std::nullopt;
    }
    unsigned value = 0;
    auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (error != std::errc() || end != hex.data() + hex.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::optional<int> TtyUsbPortNumber(std::string_view name) {
    constexpr std::string_view kPrefix = "ttyUSB";
    if (auto slash = name.rfind('/'); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    if (name.substr(0, kPrefix.size()) != kPrefix) {
        return std::nullopt;
    }
    std::string_view digits = name.substr(kPrefix.size());
    if (digits.empty() || digits.front() < '0' || digits.front() > '9') {
        return std::nullopt;
    }
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace zentrik
