#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentrik {

// Read access to the system registry, as the port look-ups use it. Keys are opened for
// reading; every key opened is closed by the caller.
class RegistryReader {
  public:
    using Key = std::uintptr_t;
    // The machine's root key (HKEY_LOCAL_MACHINE); it is never closed.
    static constexpr Key kLocalMachine = 0;

    enum class ReadResult {
        Ok,        // the value is in the buffer; *length holds its length in bytes
        MoreData,  // the value is longer than offered; *length holds its length
        Failed,    // no such value or another error; *length is unspecified
    };

    virtual ~RegistryReader() = default;
    virtual bool OpenKey(Key parent, const std::string& subKey, Key* key) = 0;
    // Reads a value into buffer, which offers *length bytes.
    virtual ReadResult ReadValue(Key key, const char* name, char* buffer,
                                 std::uint32_t* length) = 0;
    virtual void CloseKey(Key key) = 0;
};

// Values are read into a buffer of 101 bytes of which 100 are offered, so that a value that
// fills them can still be terminated.
inline constexpr std::uint32_t kRegistryValueOffered = 100;
inline constexpr std::size_t kRegistryValueBufferSize = kRegistryValueOffered + 1;

// Which registry layout maps a bridge to its port, by the system's version.
enum class PortLookUp { Nt, Legacy, None };
// NT family from major version 5 on (the USB enumeration key has kept its layout since);
// the older family only with major version 4. Anything else has no look-up.
PortLookUp ChooseLookUp(bool ntFamily, std::uint32_t majorVersion);

// Serial numbers as the registry spells them: blanks become "_"; the legacy layout also
// upper-cases a to z.
std::string NtSerial(std::string_view serial);
std::string LegacySerial(std::string_view serial);

// Key of the bridge's "Device Parameters" below Enum\USB\ (serial already rewritten). The
// composite form is the one for a bridge that is interface 0 of a composite device.
std::string NtDeviceKeyName(std::uint16_t vendorId, std::uint16_t productId,
                            std::string_view serial, bool composite);
// The "CRLowerDeviceID" a legacy key holds for the bridge (serial already rewritten).
std::string LegacyDeviceId(std::uint16_t vendorId, std::uint16_t productId,
                           std::string_view serial);
// The legacy key probed at an index: Enum\SLABCR\guid\0000 for 0.
std::string LegacyKeyName(int index);

// The number of a port name such as "COM12": the first three characters count as zeros and
// the leading decimal digits after them are the number ("COM" gives 0). A number too large
// for an int gives -1.
int ParsePortName(std::string_view value);

// The COM port number of a bridge, or -1.
int LookUpPortNt(RegistryReader& registry, std::uint16_t vendorId, std::uint16_t productId,
                 std::string_view serial);
int LookUpPortLegacy(RegistryReader& registry, std::uint16_t vendorId, std::uint16_t productId,
                     std::string_view serial);

}  // namespace zentrik
