#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "config/config_document.h"
#include "ctl/console_loop.h"
#include "ctl/console_questions.h"
#include "link/controller_link.h"
#include "link/link_host.h"

namespace zentrik {

// The link's host on a console: message boxes go to the error stream (the controller-info
// box to the output stream) and questions to ConsoleQuestions; the upload notice and the upgrade's
// progress are printed; the reply timer is the console loop's; the file chooser returns the
// file named on the command line. It records how transactions ended, so that the command
// can tell whether it completed.
class ConsoleHost : public LinkHost {
  public:
    ConsoleHost(ConsoleLoop& loop, ConsoleQuestions& questions, std::ostream& out,
                std::ostream& err);

    // What ChooseFileToOpen returns.
    void SetFileChoice(std::optional<std::string> path) { m_fileChoice = std::move(path); }
    // Records what the controller holds in the history in `folder` (empty: nowhere), with the
    // serial number `link` last reported; a failure is a warning that does not fail the command.
    void SetHistory(std::string folder, const ControllerLink* link);
    // Records the time of every firmware unit sent, for WriteUnitTimes.
    void RecordUnitTimes(bool on);
    // Writes the recorded times, one per line in nanoseconds from the first; false on error.
    bool WriteUnitTimes(const std::string& path) const;

    // ---- what happened
    int InfoBoxes() const { return m_infoBoxes; }
    int Notices(NoticeKind kind) const;
    // The last configuration downloaded for a purpose other than the document.
    const std::optional<ConfigDocument>& Downloaded() const { return m_downloaded; }
    int VerifyFailures() const { return m_verifyFailures; }
    // Uploads the controller acknowledged whose read-back then failed.
    int UnverifiedUploads() const { return m_unverifiedUploads; }
    bool UpgradeSucceeded() const { return m_upgradeSucceeded; }
    bool UpgradeFinished() const { return m_upgradeFinished; }
    const std::string& LastStatus() const { return m_status; }
    // The device and error code of the last port that failed to open (error 0: none).
    const std::string& LastOpenDevice() const { return m_openDevice; }
    int LastOpenError() const { return m_openError; }

    // LinkHost
    void SetStatusText(std::string_view text) override;
    MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                                 MessageButtons buttons) override;
    void ShowPortUnavailable(std::string_view text, const std::string& device, int error) override;
    void ShowNotice(NoticeKind kind) override;
    void RunUpgrade(int total, FirmwareUnitSource& source) override;
    void ShowStep(int step) override;
    void FinishWithText(std::string_view text) override;
    void FinishWithSuccess() override;
    std::optional<std::string> ChooseFileToOpen(std::string_view filterName,
                                                std::string_view pattern) override;
    void StartReplyTimer(unsigned milliseconds) override { m_loop.StartTimer(milliseconds); }
    void StopReplyTimer() override { m_loop.StopTimer(); }
    ConfigDocument& Document() override { return m_document; }
    void RefreshViews(int /*hint*/) override {}
    void ConfigDownloaded(TransferPurpose purpose, const ConfigDocument& config) override;
    std::string ApplicationTitle() override;
    void ControllerHolds(HeldEvent event, const ConfigDocument& config) override;

  private:
    std::string m_openDevice;
    int m_openError = 0;
    ConsoleLoop& m_loop;
    ConsoleQuestions& m_questions;
    std::ostream& m_out;
    std::ostream& m_err;
    ConfigDocument m_document{};
    std::optional<std::string> m_fileChoice;
    std::string m_status;
    std::string m_historyFolder;
    const ControllerLink* m_link = nullptr;

    int m_infoBoxes = 0;
    int m_downloadNotices = 0;
    int m_uploadNotices = 0;
    int m_verifyFailures = 0;
    int m_unverifiedUploads = 0;
    std::optional<ConfigDocument> m_downloaded;

    int m_total = 0;
    int m_lastDecile = -1;
    bool m_upgradeFinished = false;
    bool m_upgradeSucceeded = false;

    bool m_recordTimes = false;
    std::vector<std::int64_t> m_unitTimes;  // steady clock, ns
};

}  // namespace zentrik
