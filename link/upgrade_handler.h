#pragma once

#include <array>
#include <cstdint>

namespace zentrik {

struct ConfigDocument;

// The eight serial-number bytes of a controller-info reply.
using ControllerSerial = std::array<std::uint8_t, 8>;

// What the upgrade progress dialog calls when it opens: send the first unit of the transfer.
class FirmwareUnitSource {
  public:
    virtual void SendNextFirmwareUnit() = 0;

  protected:
    ~FirmwareUnitSource() = default;
};

// How the link reaches back into a running firmware upgrade. The link calls these only while
// its upgrade flag is set (the echoes: while the receiver is in one of the echo states, which
// only the upgrade sets).
class UpgradeHandler : public FirmwareUnitSource {
  public:
    // A good controller-info reply arrived: ask whether to go on to this version.
    virtual void OnControllerVersion(std::uint16_t version, const ControllerSerial& serial) = 0;
    // The user skipped the version check (Ignore after it timed out): go on without it.
    virtual void OnVersionCheckSkipped() = 0;
    // The configuration downloaded for the backup before flashing (TransferPurpose::Backup).
    virtual void OnBackupDownloaded(const ConfigDocument& config) = 0;
    // A good flash-permission reply arrived: rewind to the first word (before the request is
    // completed) and then run the word transfer (after it is completed).
    virtual void RewindTransfer() = 0;
    virtual void RunWordTransfer() = 0;
    // The echo of a data word or of the image checksum; the reply timer is already stopped.
    virtual void OnWordEcho(std::uint8_t first, std::uint8_t second) = 0;
    virtual void OnChecksumEcho(std::uint8_t first, std::uint8_t second) = 0;

  protected:
    ~UpgradeHandler() = default;
};

}  // namespace zentrik
