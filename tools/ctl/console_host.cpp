#include "ctl/console_host.h"

#include <chrono>
#include <fstream>
#include <ostream>

#include "base/text_format.h"
#include "ctl/ctl_texts.h"
#include "link/link_texts.h"
#include "shell/controller_history.h"

namespace zentrik {

namespace texts = ctl_texts;

namespace {

std::int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ConsoleHost::ConsoleHost(ConsoleLoop& loop, ConsoleQuestions& questions, std::ostream& out,
                         std::ostream& err)
    : m_loop(loop), m_questions(questions), m_out(out), m_err(err) {}

void ConsoleHost::RecordUnitTimes(bool on) {
    m_recordTimes = on;
    if (on) {
        m_unitTimes.reserve(20000);
    }
}

bool ConsoleHost::WriteUnitTimes(const std::string& path) const {
    std::ofstream file(path, std::ios::trunc);
    const std::int64_t first = m_unitTimes.empty() ? 0 : m_unitTimes.front();
    for (const std::int64_t t : m_unitTimes) {
        file << (t - first) << '\n';
    }
    file.close();
    return static_cast<bool>(file);
}

int ConsoleHost::Notices(NoticeKind kind) const {
    return kind == NoticeKind::Downloaded ? m_downloadNotices : m_uploadNotices;
}

void ConsoleHost::SetHistory(std::string folder, const ControllerLink* link) {
    m_historyFolder = std::move(folder);
    m_link = link;
}

void ConsoleHost::ControllerHolds(HeldEvent event, const ConfigDocument& config) {
    if (m_historyFolder.empty()) {
        return;
    }
    const std::string problem =
        RecordControllerHolds(m_historyFolder, event, config,
                              m_link != nullptr ? m_link->LastControllerInfo() : std::nullopt);
    if (!problem.empty()) {
        SetStatusText(problem);
        m_err << texts::kProgramName << ": "
              << FormatText(texts::kHistoryNotRecordedFormat, problem.c_str()) << std::endl;
    }
}

void ConsoleHost::SetStatusText(std::string_view text) {
    m_status.assign(text);
}

MessageAnswer ConsoleHost::ShowMessageBox(std::string_view text, std::string_view caption,
                                          MessageIcon /*icon*/, MessageButtons buttons) {
    if (buttons != MessageButtons::Ok) {
        return m_questions.Ask(text, caption, buttons);
    }
    if (caption == link_texts::kControllerInfoCaption) {
        ++m_infoBoxes;
        m_out << text << std::endl;
    } else {
        if (caption == link_texts::kVerifyFailedCaption) {
            ++m_verifyFailures;
        } else if (caption == link_texts::kUnverifiedCaption) {
            ++m_unverifiedUploads;
        }
        m_err << texts::kProgramName << ": " << caption << ": " << text << std::endl;
    }
    return MessageAnswer::Ok;
}

void ConsoleHost::ShowPortUnavailable(std::string_view text, const std::string& device, int error) {
    m_openDevice = device;
    m_openError = error;
    ShowMessageBox(text, link_texts::kPortUnavailableCaption, MessageIcon::Exclamation,
                   MessageButtons::Ok);
}

void ConsoleHost::ShowNotice(NoticeKind kind) {
    if (kind == NoticeKind::Downloaded) {
        // Counted only: the download has completed when the INI file is saved, and the
        // session says so then.
        ++m_downloadNotices;
    } else {
        ++m_uploadNotices;
        m_err << texts::kUploadedNotice << std::endl;
    }
}

void ConsoleHost::ConfigDownloaded(TransferPurpose /*purpose*/, const ConfigDocument& config) {
    m_downloaded = config;
}

void ConsoleHost::RunUpgrade(int total, FirmwareUnitSource& source) {
    m_total = total;
    m_lastDecile = -1;
    m_upgradeFinished = false;
    m_upgradeSucceeded = false;
    m_unitTimes.clear();
    source.SendNextFirmwareUnit();
    // The dialog stays up until the transfer has ended one way or the other; if the link
    // settles without saying how, the upgrade did not succeed.
    if (!m_loop.RunUntil([this] { return m_upgradeFinished; })) {
        m_err << texts::kProgramName << ": " << texts::kStalled << std::endl;
        m_upgradeFinished = true;
    }
}

void ConsoleHost::ShowStep(int step) {
    if (m_recordTimes) {
        m_unitTimes.push_back(SteadyNs());
    }
    if (step < 0) {
        m_err << texts::kCheckingChecksum << std::endl;
        return;
    }
    if (m_total <= 0) {
        return;
    }
    // One line per tenth of the transfer.
    const int decile = static_cast<int>(static_cast<long long>(step) * 10 / m_total);
    if (decile != m_lastDecile) {
        m_lastDecile = decile;
        m_err << FormatText(texts::kProgressFormat, decile * 10, step, m_total) << std::endl;
    }
}

void ConsoleHost::FinishWithText(std::string_view text) {
    m_upgradeFinished = true;
    m_upgradeSucceeded = false;
    m_err << texts::kProgramName << ": " << text << std::endl;
}

void ConsoleHost::FinishWithSuccess() {
    if (m_recordTimes) {
        m_unitTimes.push_back(SteadyNs());  // the checksum's echo ends the last round trip
    }
    m_upgradeFinished = true;
    m_upgradeSucceeded = true;
    m_err << texts::kUpgradeSucceeded << std::endl;
}

std::optional<std::string> ConsoleHost::ChooseFileToOpen(std::string_view /*filterName*/,
                                                         std::string_view /*pattern*/) {
    return m_fileChoice;
}

std::string ConsoleHost::ApplicationTitle() {
    return texts::kProgramName;
}

}  // namespace zentrik
