#include "shell/controller_history.h"

#include <ctime>

#include "base/text_format.h"
#include "config/config_file.h"
#include "config/history_store.h"
#include "editor/config_compare.h"
#include "editor/selective_merge.h"
#include "shell/frame_shell.h"
#include "shell/history_list.h"
#include "shell/history_texts.h"

namespace zentrik {

namespace texts = history_texts;

static_assert(static_cast<int>(HeldEvent::Backup) == static_cast<int>(HistoryEvent::Backup) &&
              static_cast<int>(HeldEvent::Compare) == static_cast<int>(HistoryEvent::Compare));

std::string RecordControllerHolds(const std::string& folder, HeldEvent event,
                                  const ConfigDocument& config,
                                  const std::optional<ControllerIdentity>& identity) {
    std::string serial;
    if (identity) {
        for (const std::uint8_t byte : identity->serial) {
            serial += FormatText("%02X", byte);
        }
    }
    const HistoryStore store(folder);
    if (store.Record(static_cast<HistoryEvent>(event), config, serial, std::time(nullptr)) ==
        HistoryWrite::Failed) {
        return FormatText(texts::kNotRecordedFormat, folder.c_str());
    }
    return {};
}

void ControllerHistory::Record(HeldEvent event, const ConfigDocument& config) {
    if (m_folder.empty()) {
        return;
    }
    const std::string problem =
        RecordControllerHolds(m_folder, event, config, m_shell.Link().LastControllerInfo());
    if (!problem.empty()) {
        m_shell.SetStatusText(problem);
    }
}

void ControllerHistory::Run() {
    if (m_shell.ClosePending()) {
        return;
    }
    // The differences are counted against the form as the screen shows it.
    m_shell.Skin().CommitPendingInput();
    HistoryList list(HistoryStore(m_folder).Entries(), m_shell.Doc().Document());
    HistoryChoice choice = HistoryChoice::Close;
    m_shell.RunDialog([&] { choice = m_shell.Skin().RunHistory(list); });
    const HistoryEntry* entry = list.SelectedEntry();
    if (m_shell.ClosePending() || entry == nullptr) {
        return;
    }
    switch (choice) {
        case HistoryChoice::Open:
            m_shell.OpenConfigurationFile(entry->path);
            break;
        case HistoryChoice::Compare:
            Compare(entry->path);
            break;
        case HistoryChoice::Close:
            break;
    }
}

void ControllerHistory::Compare(const std::string& path) {
    const ConfigFileRead read = ReadConfigFile(path);
    if (read.status != ConfigFileStatus::Ok) {
        m_shell.ShowMessageBox(ConfigFileProblemText(read), texts::kHistoryCaption,
                               MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    const std::vector<ConfigDifference> rows =
        CompareConfigs(m_shell.Doc().Document(), read.document);
    if (rows.empty()) {
        m_shell.ShowMessageBox(texts::kSameAsFormText, texts::kHistoryCaption,
                               MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    const ConfigDocument here = m_shell.Doc().Document();
    std::vector<bool> ticked(rows.size(), true);
    CompareChoice choice = CompareChoice::Close;
    m_shell.RunDialog([&] { choice = m_shell.Skin().RunCompare(rows, &ticked); });
    if (m_shell.ClosePending()) {
        return;
    }
    const std::vector<SettingRef> taken = TickedSettings(here, read.document, ticked);
    if (taken.size() != rows.size()) {
        // Some rows unticked: the entry plays the controller's part in the comparison.
        m_shell.ActOnComparison(choice, read.document, taken, rows.size());
        return;
    }
    switch (choice) {
        case CompareChoice::UseControllers:
            // The entry in place of the document, as Open would.
            m_shell.OpenConfigurationFile(path);
            break;
        case CompareChoice::UploadThis:
            m_shell.OnCommand(shell_texts::kIdUpload);
            break;
        case CompareChoice::Close:
            break;
    }
}

}  // namespace zentrik
