#include "firmware/firmware_upgrade.h"

#include <string>

#include "base/byte_order.h"
#include "base/text_format.h"
#include "config/config_file.h"
#include "config/ini_location.h"
#include "firmware/config_backup.h"
#include "firmware/firmware_texts.h"
#include "link/link_texts.h"

namespace zentrik {

namespace texts = firmware_texts;

FirmwareUpgrade::FirmwareUpgrade(ControllerLink& link, LinkHost& host)
    : m_link(link), m_host(host) {
    m_link.SetUpgradeHandler(this);
}

FirmwareUpgrade::~FirmwareUpgrade() {
    m_link.SetUpgradeHandler(nullptr);
}

void FirmwareUpgrade::ShowError(const char* text, const char* caption) {
    m_host.ShowMessageBox(text, caption, MessageIcon::Exclamation, MessageButtons::Ok);
}

UpgradeStart FirmwareUpgrade::Run() {
    if (m_link.upgradeInProgress()) {
        return UpgradeStart::Busy;  // the image in use must not be replaced
    }
    m_serial.reset();
    m_backupPath.clear();
    if (m_host.ShowMessageBox(texts::kUpgradeQuestion, m_host.ApplicationTitle(),
                              MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return UpgradeStart::Declined;
    }
    const auto path = m_host.ChooseFileToOpen(texts::kFileFilterName, texts::kFilePattern);
    if (!path) {
        return UpgradeStart::Cancelled;
    }
    switch (m_image.Load(*path)) {
        case FirmwareLoadResult::OpenFailed:
            ShowError(texts::kBadFileText, texts::kBadFileCaption);
            return UpgradeStart::BadFile;
        case FirmwareLoadResult::Corrupt:
            ShowError(texts::kCorruptText, texts::kCorruptCaption);
            return UpgradeStart::Corrupt;
        case FirmwareLoadResult::WrongProduct:
            ShowError(texts::kWrongProductText, texts::kWrongProductCaption);
            return UpgradeStart::WrongProduct;
        case FirmwareLoadResult::Ok:
            break;
    }
    if (m_host.ShowMessageBox(texts::kCheckVersionText, texts::kCheckVersionCaption,
                              MessageIcon::None, MessageButtons::YesNo) != MessageAnswer::Yes) {
        return UpgradeStart::Declined;
    }
    m_link.SetUpgradeInProgress(true);
    m_link.QueueRequest(RequestType::ControllerInfo);
    return UpgradeStart::Started;
}

void FirmwareUpgrade::OnControllerVersion(std::uint16_t version, const ControllerSerial& serial) {
    m_serial = serial;
    const std::uint16_t imageVersion = m_image.Version();
    std::string text = FormatText(texts::kVersionQuestionFormat, version, imageVersion);
    if (version == imageVersion) {
        text += texts::kVersionMatches;
    } else if (version > imageVersion) {
        text += texts::kVersionNotLess;
    }
    const MessageAnswer answer = m_host.ShowMessageBox(text, texts::kVersionQuestionCaption,
                                                       MessageIcon::None, MessageButtons::YesNo);
    if (!m_link.upgradeInProgress()) {
        return;  // the upgrade ended while the question was up
    }
    if (answer == MessageAnswer::Yes) {
        RequestFlash();
    } else {
        m_link.SetUpgradeInProgress(false);
    }
}

void FirmwareUpgrade::OnVersionCheckSkipped() {
    // The backup is still made when asked for (named without a serial number): a controller
    // that missed the version check may well answer, and if it does not, the upgrade waits
    // until the user turns the backup off rather than flash without it.
    m_serial.reset();
    RequestFlash();
}

void FirmwareUpgrade::RequestFlash() {
    if (m_link.Settings().BackupBeforeUpgrade) {
        m_link.QueueDownload(TransferPurpose::Backup);
    } else {
        m_link.QueueRequest(RequestType::FlashPermission);
    }
}

void FirmwareUpgrade::OnBackupDownloaded(const ConfigDocument& config) {
    const std::string folder = m_backupFolder.empty() ? DefaultUserDataFolder() : m_backupFolder;
    const std::string path =
        folder.empty() ? std::string() : BackupFilePath(folder, m_serial, TodayText());
    if (path.empty() || !WriteConfigFile(path, config, true)) {
        m_link.SetUpgradeInProgress(false);
        const std::string where = !path.empty()     ? path
                                  : !folder.empty() ? folder
                                                    : texts::kNoDataFolder;
        ShowError(FormatText(texts::kBackupSaveFailedFormat, where.c_str()).c_str(),
                  link_texts::kUpdateFailedCaption);
        return;
    }
    m_backupPath = path;
    m_link.QueueRequest(RequestType::FlashPermission);
}

std::string FirmwareUpgrade::SuccessNote() const {
    return m_backupPath.empty() ? std::string()
                                : FormatText(texts::kBackupSavedFormat, m_backupPath.c_str());
}

void FirmwareUpgrade::RewindTransfer() {
    m_position = 0;
}

void FirmwareUpgrade::RunWordTransfer() {
    m_host.RunUpgrade(static_cast<int>(FirmwareImage::kWordCount), *this);
}

void FirmwareUpgrade::SendNextFirmwareUnit() {
    if (m_position < FirmwareImage::kImageSize) {
        m_link.SetReceiveState(ReceiveState::WordEcho);
        m_link.SendBytes(m_image.Word(m_position), 2);
        const int word = static_cast<int>(m_position / 2);
        m_host.SetStatusText(FormatText(texts::kStatusSentPacketFormat, word,
                                        static_cast<long>(FirmwareImage::kWordCount)));
        m_host.ShowStep(word);
        return;
    }
    WriteBigEndian16(m_checksum.data(), m_image.ImageChecksum());
    m_link.SetReceiveState(ReceiveState::ChecksumEcho);
    m_link.SendBytes(m_checksum.data(), m_checksum.size());
    m_host.SetStatusText(texts::kStatusSendingChecksum);
    m_host.ShowStep(-1);
}

void FirmwareUpgrade::OnWordEcho(std::uint8_t first, std::uint8_t second) {
    // Past the image there is no word to compare with: an echo there is a mismatch.
    const bool inImage = m_position < FirmwareImage::kImageSize;
    const std::uint8_t* sent = m_image.Word(inImage ? m_position : 0);
    if (inImage && first == sent[0] && second == sent[1]) {
        m_position += 2;
        SendNextFirmwareUnit();
        return;
    }
    m_link.SetUpgradeInProgress(false);
    m_link.ResetReceiver();
    m_host.FinishWithText(texts::kByteMismatchText);
}

void FirmwareUpgrade::OnChecksumEcho(std::uint8_t first, std::uint8_t second) {
    m_host.SetStatusText(texts::kStatusChecksumReceived);
    m_link.SetUpgradeInProgress(false);
    m_link.ResetReceiver();
    if (first == m_checksum[0] && second == m_checksum[1]) {
        m_host.FinishWithSuccess();
    } else {
        m_host.FinishWithText(texts::kChecksumMismatchText);
    }
}

}  // namespace zentrik
