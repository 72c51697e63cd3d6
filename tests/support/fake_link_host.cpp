#include "support/fake_link_host.h"

#include <gtest/gtest.h>

#include "link/controller_link.h"
#include "link/link_texts.h"

namespace zentrik::test {

void FakeLinkHost::Advance(std::int64_t ms) {
    const std::int64_t target = nowMs + ms;
    while (timerArmed && timerDeadline <= target) {
        FireTimer();
    }
    nowMs = target;
}

bool FakeLinkHost::FireTimer() {
    if (!timerArmed) {
        return false;
    }
    nowMs = timerDeadline;
    timerDeadline += m_interval;  // periodic until stopped
    if (link != nullptr) {
        link->OnReplyTimer();
    }
    return true;
}

void FakeLinkHost::SetStatusText(std::string_view text) {
    status.emplace_back(text);
}

MessageAnswer FakeLinkHost::ShowMessageBox(std::string_view text, std::string_view caption,
                                           MessageIcon icon, MessageButtons buttons) {
    boxes.push_back(BoxRecord{std::string(text), std::string(caption), icon, buttons});
    if (duringBox) {
        duringBox(boxes.back());
    }
    if (buttons == MessageButtons::Ok) {
        return MessageAnswer::Ok;
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted box: " << caption << " / " << text;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Abort;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeLinkHost::ShowPortUnavailable(std::string_view text, const std::string& device,
                                       int error) {
    portBoxDevice = device;
    portBoxError = error;
    ShowMessageBox(text, link_texts::kPortUnavailableCaption, MessageIcon::Exclamation,
                   MessageButtons::Ok);
}

void FakeLinkHost::ShowNotice(NoticeKind kind) {
    notices.push_back(kind);
    if (duringNotice) {
        duringNotice(kind);
    }
}

void FakeLinkHost::ConfigDownloaded(TransferPurpose purpose, const ConfigDocument& config) {
    downloads.emplace_back(purpose, config);
    if (duringDownload) {
        duringDownload(purpose);
    }
}

void FakeLinkHost::RunUpgrade(int total, FirmwareUnitSource& source) {
    ++upgradeDialogs;
    upgradeTotal = total;
    finishText.reset();
    finishedWithSuccess = false;
    source.SendNextFirmwareUnit();
    // The dialog cannot be closed before a Finish call; a loop that can do nothing more
    // would leave it up for ever.
    while (!ProgressFinished()) {
        if (!pumpOnce || !pumpOnce()) {
            ADD_FAILURE() << "progress dialog stalled before the transfer ended";
            return;
        }
    }
}

void FakeLinkHost::ShowStep(int step) {
    steps.push_back(step);
}

void FakeLinkHost::FinishWithText(std::string_view text) {
    finishText = std::string(text);
}

void FakeLinkHost::FinishWithSuccess() {
    finishedWithSuccess = true;
}

std::optional<std::string> FakeLinkHost::ChooseFileToOpen(std::string_view filterName,
                                                          std::string_view pattern) {
    ++chooserCalls;
    chooserFilter = filterName;
    chooserPattern = pattern;
    return fileChoice;
}

void FakeLinkHost::StartReplyTimer(unsigned milliseconds) {
    timerStarts.push_back(milliseconds);
    m_interval = milliseconds == 0 ? 1 : milliseconds;
    timerArmed = true;
    timerDeadline = nowMs + milliseconds;
}

void FakeLinkHost::StopReplyTimer() {
    timerArmed = false;
}

}  // namespace zentrik::test
