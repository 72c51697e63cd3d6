#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/link_host.h"

namespace zentrik {
class ControllerLink;
}

namespace zentrik::test {

struct BoxRecord {
    std::string text;
    std::string caption;
    MessageIcon icon;
    MessageButtons buttons;
};

// A scripted window: records everything the link shows, answers boxes from a script, runs a
// fake reply timer on a fake clock, and runs the progress dialog's event loop through a pump
// the test supplies. Hooks run inside the modal calls, as a nested event loop would.
class FakeLinkHost : public LinkHost {
  public:
    // ---- scripting
    std::deque<MessageAnswer> answers;  // consumed in order; an unscripted box fails the test
    std::function<void(const BoxRecord&)> duringBox;
    std::function<void(NoticeKind)> duringNotice;
    std::function<void(TransferPurpose)> duringDownload;
    std::optional<std::string> fileChoice;
    std::string title = "Halvorn Zentrik";
    // One step of the progress dialog's event loop; false when nothing could happen.
    std::function<bool()> pumpOnce;
    ControllerLink* link = nullptr;  // receives timer ticks

    // ---- records
    ConfigDocument document;
    std::vector<std::string> status;
    std::vector<BoxRecord> boxes;
    std::string portBoxDevice;  // of the last port box
    int portBoxError = 0;
    std::vector<NoticeKind> notices;
    std::vector<int> refreshHints;
    std::vector<std::pair<TransferPurpose, ConfigDocument>> downloads;  // ConfigDownloaded
    std::vector<std::pair<HeldEvent, ConfigDocument>> held;             // ControllerHolds
    std::string chooserFilter;
    std::string chooserPattern;
    int chooserCalls = 0;
    int upgradeDialogs = 0;
    int upgradeTotal = -1;
    std::vector<int> steps;
    std::optional<std::string> finishText;
    bool finishedWithSuccess = false;

    // ---- fake clock and reply timer (periodic, like a window timer)
    std::int64_t nowMs = 0;
    bool timerArmed = false;
    std::int64_t timerDeadline = 0;
    std::vector<unsigned> timerStarts;
    // Advances the clock, firing the timer at every deadline reached on the way.
    void Advance(std::int64_t ms);
    // Jumps to the timer's deadline and fires it; false when it is not running.
    bool FireTimer();

    std::string LastStatus() const { return status.empty() ? std::string() : status.back(); }
    bool ProgressFinished() const { return finishText.has_value() || finishedWithSuccess; }

    // LinkHost
    void SetStatusText(std::string_view text) override;
    MessageAnswer ShowMessageBox(std::string_view text, std::string_view caption, MessageIcon icon,
                                 MessageButtons buttons) override;
    // Recorded as a box with the port box's caption, answered OK.
    void ShowPortUnavailable(std::string_view text, const std::string& device, int error) override;
    void ShowNotice(NoticeKind kind) override;
    void RunUpgrade(int total, FirmwareUnitSource& source) override;
    void ShowStep(int step) override;
    void FinishWithText(std::string_view text) override;
    void FinishWithSuccess() override;
    std::optional<std::string> ChooseFileToOpen(std::string_view filterName,
                                                std::string_view pattern) override;
    void StartReplyTimer(unsigned milliseconds) override;
    void StopReplyTimer() override;
    ConfigDocument& Document() override { return document; }
    void RefreshViews(int hint) override { refreshHints.push_back(hint); }
    void ConfigDownloaded(TransferPurpose purpose, const ConfigDocument& config) override;
    void ControllerHolds(HeldEvent event, const ConfigDocument& config) override {
        held.emplace_back(event, config);
    }
    std::string ApplicationTitle() override { return title; }

  private:
    unsigned m_interval = 0;
};

}  // namespace zentrik::test
