#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zentrik {

// USB identity of the controller's CP210x bridge.
inline constexpr std::uint16_t kControllerVendorId = 0x10C4;
inline constexpr std::uint16_t kControllerProductId = 0xEA60;
inline constexpr std::string_view kControllerSerialPrefix = "030A";

// The bridge serial number is read into a buffer of this size and terminated after the
// reported length, so a usable serial number has at most 63 characters.
inline constexpr std::size_t kSerialBufferSize = 64;

// True when the serial number begins with the controller's prefix (case-sensitive).
bool HasControllerSerial(std::string_view serial);

// A USB id as sysfs shows it ("10c4"): one to four hexadecimal digits, nothing else.
std::optional<std::uint16_t> ParseUsbId(std::string_view hex);

// The port number n of a CP210x tty named "ttyUSB<n>" (a device node path is accepted too);
// nothing for any other name, since only ttyUSB nodes can be named by a port number.
std::optional<int> TtyUsbPortNumber(std::string_view name);

}  // namespace zentrik
