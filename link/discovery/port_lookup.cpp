#include "link/discovery/port_lookup.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace zentrik {
namespace {

constexpr const char* kNtControlSetKey = "SYSTEM\\CurrentControlSet\\";
constexpr const char* kNtUsbEnumKey = "Enum\\USB\\";
constexpr const char* kNtPortNameValue = "PortName";
constexpr const char* kLegacyDeviceIdValue = "CRLowerDeviceID";
constexpr const char* kLegacyPortNameValue = "Portname";

// The text of a value read with ReadValue: up to the reported length or the first NUL.
std::string_view ValueText(const char* buffer, std::uint32_t length) {
    length = std::min(length, kRegistryValueOffered);
    return std::string_view(buffer, std::find(buffer, buffer + length, '\0') - buffer);
}

}  // namespace

PortLookUp ChooseLookUp(bool ntFamily, std::uint32_t majorVersion) {
    if (ntFamily) {
        return majorVersion >= 5 ? PortLookUp::Nt : PortLookUp::None;
    }
    return majorVersion == 4 ? PortLookUp::Legacy : PortLookUp::None;
}

std::string NtSerial(std::string_view serial) {
    std::string out(serial);
    std::replace(out.begin(), out.end(), ' ', '_');
    return out;
}

std::string LegacySerial(std::string_view serial) {
    std::string out = NtSerial(serial);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string NtDeviceKeyName(std::uint16_t vendorId, std::uint16_t productId,
                            std::string_view serial, bool composite) {
    char ids[32];
    std::snprintf(ids, sizeof ids, composite ? "Vid_%04x&Pid_%04x&Mi_00\\" : "Vid_%04x&Pid_%04x\\",
                  vendorId, productId);
    std::string name = ids;
    name += serial;
    if (composite) {
        name += "_00";
    }
    name += "\\Device Parameters\\";
    return name;
}

std::string LegacyDeviceId(std::uint16_t vendorId, std::uint16_t productId,
                           std::string_view serial) {
    char ids[40];
    std::snprintf(ids, sizeof ids, "USB\\VID_%04X&PID_%04X&MI_00\\", vendorId, productId);
    std::string id = ids;
    id += serial;
    id += "_00";
    return id;
}

std::string LegacyKeyName(int index) {
    char name[40];
    std::snprintf(name, sizeof name, "Enum\\SLABCR\\guid\\%.4d", index);
    return name;
}

int ParsePortName(std::string_view value) {
    if (value.size() <= 3) {
        return 0;
    }
    long long number = 0;
    for (char c : value.substr(3)) {
        if (c < '0' || c > '9') {
            break;
        }
        number = number * 10 + (c - '0');
        if (number > std::numeric_limits<int>::max()) {
            return -1;
        }
    }
    return static_cast<int>(number);
}

int LookUpPortNt(RegistryReader& registry, std::uint16_t vendorId, std::uint16_t productId,
                 std::string_view serial) {
    int result = -1;
    RegistryReader::Key controlSet = 0;
    if (!registry.OpenKey(RegistryReader::kLocalMachine, kNtControlSetKey, &controlSet)) {
        return -1;
    }
    RegistryReader::Key usb = 0;
    if (!registry.OpenKey(controlSet, kNtUsbEnumKey, &usb)) {
        registry.CloseKey(controlSet);
        return -1;
    }
    const std::string rewritten = NtSerial(serial);
    RegistryReader::Key device = 0;
    // The plain form is tried only when the composite key is missing, not when its value
    // can't be read.
    if (registry.OpenKey(usb, NtDeviceKeyName(vendorId, productId, rewritten, true), &device) ||
        registry.OpenKey(usb, NtDeviceKeyName(vendorId, productId, rewritten, false), &device)) {
        char buffer[kRegistryValueBufferSize] = {};
        std::uint32_t length = kRegistryValueOffered;
        if (registry.ReadValue(device, kNtPortNameValue, buffer, &length) ==
            RegistryReader::ReadResult::Ok) {
            result = ParsePortName(ValueText(buffer, length));
        }
        registry.CloseKey(device);
    }
    registry.CloseKey(usb);
    registry.CloseKey(controlSet);
    return result;
}

int LookUpPortLegacy(RegistryReader& registry, std::uint16_t vendorId, std::uint16_t productId,
                     std::string_view serial) {
    int result = -1;
    const std::string expected = LegacyDeviceId(vendorId, productId, LegacySerial(serial));
    char buffer[kRegistryValueBufferSize] = {};
    // The length offered carries over from key to key as each read reports it; a value
    // longer than that is read again from the same key with the length it reported.
    std::uint32_t offered = kRegistryValueOffered;
    bool rereading = false;
    int index = 0;
    RegistryReader::Key key = 0;
    while (registry.OpenKey(RegistryReader::kLocalMachine, LegacyKeyName(index), &key)) {
        std::uint32_t length = offered;
        auto read = registry.ReadValue(key, kLegacyDeviceIdValue, buffer, &length);
        if (read == RegistryReader::ReadResult::MoreData) {
            // One more read of this key when the value fits the buffer; a longer value can't
            // be the expected id, and a second refusal means it keeps changing: skip it.
            if (!rereading && length <= kRegistryValueOffered) {
                offered = length;
                rereading = true;
                --index;
            } else {
                offered = kRegistryValueOffered;
                rereading = false;
            }
        } else {
            rereading = false;
            offered = read == RegistryReader::ReadResult::Ok
                          ? std::min(length, kRegistryValueOffered)
                          : kRegistryValueOffered;
            if (read == RegistryReader::ReadResult::Ok && ValueText(buffer, length) == expected) {
                std::uint32_t nameLength = kRegistryValueOffered;
                if (registry.ReadValue(key, kLegacyPortNameValue, buffer, &nameLength) ==
                    RegistryReader::ReadResult::Ok) {
                    result = ParsePortName(ValueText(buffer, nameLength));
                }
            }
        }
        ++index;
        registry.CloseKey(key);
    }
    return result;
}

}  // namespace zentrik
