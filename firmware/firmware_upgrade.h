#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "firmware/firmware_image.h"
#include "link/controller_link.h"
#include "link/link_host.h"
#include "link/upgrade_handler.h"

namespace zentrik {

// How the upgrade command ended before anything was sent, or that it went on to the link.
enum class UpgradeStart {
    Started,       // version check queued; the rest is driven by replies and time-outs
    Declined,      // No to the first question or to the version check
    Cancelled,     // no file chosen
    BadFile,       // the file could not be opened
    Corrupt,       // the Crc32 trailer does not match
    WrongProduct,  // not an image for this controller
    Busy,          // an upgrade is already running
};

// The firmware upgrade: checks the file, asks the controller for its version through the
// link's queue, confirms the change with the user, asks for permission to flash and then
// sends the image word by word, each echoed, followed by the image checksum.
//
// With the BackupBeforeUpgrade setting, once the user has agreed to the version change (or
// skipped the version check), the controller's configuration is first downloaded and saved
// as a configuration file in the per-user data folder; only then is permission to flash asked
// for. A backup that cannot be downloaded or saved ends the upgrade before it starts.
//
// Registers itself with the link for the replies and echoes that belong to it.
class FirmwareUpgrade : private UpgradeHandler {
  public:
    FirmwareUpgrade(ControllerLink& link, LinkHost& host);
    ~FirmwareUpgrade();
    FirmwareUpgrade(const FirmwareUpgrade&) = delete;
    FirmwareUpgrade& operator=(const FirmwareUpgrade&) = delete;

    // The "Upgrade Firmware" command.
    UpgradeStart Run();

    // Sends the word at the current position, or the image checksum after the last word.
    void SendNextFirmwareUnit() override;

    std::uint32_t firmwarePosition() const { return m_position; }
    const FirmwareImage& Image() const { return m_image; }

    // The folder backups go to, with its trailing separator; empty (the default): the
    // per-user data folder (DefaultUserDataFolder).
    void SetBackupFolder(std::string folder) { m_backupFolder = std::move(folder); }
    // The backup this upgrade saved; empty when it saved none.
    const std::string& BackupPath() const { return m_backupPath; }
    // The line a successful upgrade's text ends with: where the backup went. Empty when no
    // backup was made.
    std::string SuccessNote() const;

  private:
    // UpgradeHandler
    void OnControllerVersion(std::uint16_t version, const ControllerSerial& serial) override;
    void OnVersionCheckSkipped() override;
    void OnBackupDownloaded(const ConfigDocument& config) override;
    void RewindTransfer() override;
    void RunWordTransfer() override;
    void OnWordEcho(std::uint8_t first, std::uint8_t second) override;
    void OnChecksumEcho(std::uint8_t first, std::uint8_t second) override;

    void ShowError(const char* text, const char* caption);
    // After the version question: the backup first when it is asked for, else the flash
    // request.
    void RequestFlash();

    ControllerLink& m_link;
    LinkHost& m_host;
    FirmwareImage m_image;
    std::uint32_t m_position = 0;
    std::array<std::uint8_t, 2> m_checksum{};  // as sent, high byte first
    std::optional<ControllerSerial> m_serial;  // from the version check, when it was made
    std::string m_backupFolder;
    std::string m_backupPath;
};

}  // namespace zentrik
