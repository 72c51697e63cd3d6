#include "fake_skin.h"

#include <gtest/gtest.h>

#include "shell/notice_countdown.h"

namespace zentrik::test {

std::optional<MessageAnswer> FakeSkin::ShowBox(const BoxRequest& box) {
    boxes.push_back(box);
    ++m_modalDepth;
    if (duringBox) {
        duringBox(boxes.back());
    }
    --m_modalDepth;
    if (m_endModals) {
        m_endModals = m_modalDepth > 0;
        return std::nullopt;  // ended without an answer
    }
    if (box.buttons == MessageButtons::Ok && box.acceptButton.empty()) {
        return MessageAnswer::Ok;
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unscripted box: " << box.caption << " / " << box.text;
        return std::nullopt;
    }
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeSkin::RunNotice(NoticeCountdown& countdown) {
    noticeTitles.push_back(countdown.Title());
    if (duringNotice) {
        duringNotice();
    }
}

void FakeSkin::RunProgress(UpgradeProgress& progress, FirmwareUnitSource& source) {
    source.SendNextFirmwareUnit();
    DeliverUntil([&progress] { return progress.Finished(); }, std::chrono::seconds(60));
}

std::optional<std::string> FakeSkin::ChooseFileToOpen(std::string_view, std::string_view,
                                                      std::string_view) {
    return fileChoice;
}

std::optional<std::string> FakeSkin::ChooseFileToSave(std::string_view, std::string_view,
                                                      std::string_view,
                                                      std::string_view suggested) {
    suggestedName = std::string(suggested);
    return fileChoice;
}

std::optional<std::string> FakeSkin::AskNumber(const NumberPrompt& prompt) {
    prompts.push_back(prompt);
    if (numbers.empty()) {
        ADD_FAILURE() << "unscripted prompt: " << prompt.caption;
        return std::nullopt;
    }
    std::optional<std::string> answer = numbers.front();
    numbers.pop_front();
    return answer;
}

CompareChoice FakeSkin::RunCompare(const std::vector<ConfigDifference>& rows,
                                   std::vector<bool>* ticked) {
    compares.push_back(rows);
    EXPECT_EQ(*ticked, std::vector<bool>(rows.size(), true));
    if (!compareTicks.empty()) {
        *ticked = compareTicks;
    }
    return compareChoice;
}

void FakeSkin::EndModalsForClose() {
    ++endModalsCalls;
    m_endModals = m_modalDepth > 0;
}

void FakeSkin::StartReplyTimer(unsigned milliseconds) {
    timerRunning = true;
    timerInterval = milliseconds;
}

void FakeSkin::PostPortEvent(std::uintptr_t wParam) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.push_back(wParam);
    }
    m_posted.notify_one();
}

bool FakeSkin::DeliverUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_posted.wait_until(lock, deadline, [this] { return !m_events.empty(); })) {
            return done();
        }
        const std::uintptr_t event = m_events.front();
        m_events.pop_front();
        lock.unlock();
        shell->OnPortEvent(event);
    }
    return true;
}

bool FakeSkin::WaitForPosted(std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_posted.wait_for(lock, limit, [this] { return !m_events.empty(); });
}

bool FakeSkin::IsBarVisible(FrameBar bar) const {
    return bar == FrameBar::ToolBar ? toolBarVisible : statusBarVisible;
}

void FakeSkin::SetBarVisible(FrameBar bar, bool visible) {
    (bar == FrameBar::ToolBar ? toolBarVisible : statusBarVisible) = visible;
}

}  // namespace zentrik::test
