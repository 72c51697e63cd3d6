#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "shell/frame_shell.h"
#include "shell/shell_skin.h"

namespace zentrik::test {

// A window for the frame's behaviour: boxes answered from a script (with a hook that runs
// inside the box, as its event loop would), the notice and the dialogs recorded, the bars as
// two flags, and the port's notifications queued from the event thread until the test
// delivers them.
class FakeSkin : public ShellSkin {
  public:
    FrameShell* shell = nullptr;

    // ---- scripting
    std::deque<MessageAnswer> answers;  // for boxes with a choice; an unscripted one fails
    std::function<void(const BoxRequest&)> duringBox;
    std::function<void()> duringNotice;
    std::optional<std::string> fileChoice;           // what the open and save dialogs answer
    std::deque<std::optional<std::string>> numbers;  // what the number prompts answer
    CompareChoice compareChoice = CompareChoice::Close;
    std::vector<bool> compareTicks;  // the rows' ticks when the dialog closes; empty: as given
    HistoryChoice historyChoice = HistoryChoice::Close;

    // ---- records
    std::vector<BoxRequest> boxes;
    std::vector<std::string> noticeTitles;
    std::vector<std::vector<ConfigDifference>> compares;
    std::vector<std::vector<HistoryRow>> histories;  // the rows of each history dialog
    std::vector<NumberPrompt> prompts;
    std::string suggestedName;
    std::vector<std::string> browsed;  // the files shown in the browser
    int endModalsCalls = 0;
    int postCloseCalls = 0;
    int commits = 0;
    bool toolBarVisible = true;
    bool statusBarVisible = true;
    bool timerRunning = false;
    unsigned timerInterval = 0;
    UploadMarkers shownMarkers;

    // Delivers the port's queued notifications to the shell until `done` holds or `limit`
    // passes; waits for the event thread, never spins.
    bool DeliverUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(10));

    // Waits until the event thread has posted a notification, without delivering it.
    bool WaitForPosted(std::chrono::milliseconds limit = std::chrono::seconds(10));

    // ---- ShellSkin
    std::optional<MessageAnswer> ShowBox(const BoxRequest& box) override;
    void RunNotice(NoticeCountdown& countdown) override;
    void RunProgress(UpgradeProgress& progress, FirmwareUnitSource& source) override;
    void ShowProgress() override {}
    void RunAbout() override {}
    std::optional<std::string> ChooseFileToOpen(std::string_view title, std::string_view filterName,
                                                std::string_view pattern) override;
    std::optional<std::string> ChooseFileToSave(std::string_view title, std::string_view filterName,
                                                std::string_view pattern,
                                                std::string_view suggestedName) override;
    std::optional<std::string> AskNumber(const NumberPrompt& prompt) override;
    CompareChoice RunCompare(const std::vector<ConfigDifference>& rows,
                             std::vector<bool>* ticked) override;
    HistoryChoice RunHistory(HistoryList& list) override {
        histories.push_back(list.Rows());
        return historyChoice;
    }
    void EndModalsForClose() override;
    void PostClose() override { ++postCloseCalls; }
    void StartReplyTimer(unsigned milliseconds) override;
    void StopReplyTimer() override { timerRunning = false; }
    void PostPortEvent(std::uintptr_t wParam) override;
    void RefreshCommands() override {}
    void ShowStatus() override {}
    void ShowMarkers(const UploadMarkers& markers) override { shownMarkers = markers; }
    void CommitPendingInput() override { ++commits; }
    bool IsBarVisible(FrameBar bar) const override;
    void SetBarVisible(FrameBar bar, bool visible) override;
    void OpenWebSite(std::string_view) override {}
    void OpenInBrowser(const std::string& path) override { browsed.push_back(path); }

  private:
    int m_modalDepth = 0;
    bool m_endModals = false;
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<std::uintptr_t> m_events;
};

}  // namespace zentrik::test
