#include "shell/history_list.h"

#include "config/config_file.h"
#include "editor/config_compare.h"
#include "shell/history_texts.h"

namespace zentrik {

namespace texts = history_texts;

HistoryList::HistoryList(std::vector<HistoryEntry> entries, const ConfigDocument& form)
    : m_entries(std::move(entries)) {
    for (const HistoryEntry& entry : m_entries) {
        HistoryRow row;
        row.when = entry.time;
        row.event = texts::kEventNames[static_cast<int>(entry.event)];
        row.controller = entry.serial.empty() ? texts::kUnknownController : entry.serial;
        const ConfigFileRead read = ReadConfigFile(entry.path);
        row.differences = read.status == ConfigFileStatus::Ok
                              ? std::to_string(CompareConfigs(form, read.document).size())
                              : texts::kUnreadable;
        m_rows.push_back(std::move(row));
    }
    Select(0);
}

void HistoryList::Select(int row) {
    m_selected = row >= 0 && row < static_cast<int>(m_rows.size()) ? row : -1;
}

const HistoryEntry* HistoryList::SelectedEntry() const {
    return m_selected >= 0 ? &m_entries[static_cast<std::size_t>(m_selected)] : nullptr;
}

}  // namespace zentrik
