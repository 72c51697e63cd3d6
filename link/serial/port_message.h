#pragma once

#include <cstdint>
#include <string_view>

namespace zentrik {

// Name of the message a serial port posts when its owner gives message id 0.
inline constexpr const char* kDefaultPortMessageName = "CSerialWnd_DefaultComMsg";

// First and last id handed out by RegisterPortMessage.
inline constexpr std::uint32_t kFirstRegisteredMessage = 0xC000;
inline constexpr std::uint32_t kLastRegisteredMessage = 0xFFFF;

// A process-wide message id for a name: the same name always gives the same id, different
// names give different ids. Thread-safe. Returns 0 for an empty name or when the id range is
// used up.
std::uint32_t RegisterPortMessage(std::string_view name);

// The id registered for kDefaultPortMessageName.
std::uint32_t DefaultPortMessage();

}  // namespace zentrik
