#pragma once

#include <string>
#include <vector>

#include "config/config_document.h"
#include "config/history_store.h"

namespace zentrik {

// One line of the history dialog's list, its columns' texts.
struct HistoryRow {
    std::string when;
    std::string event;
    std::string controller;
    std::string differences;  // how many settings differ from the form
};

// What the user chose in the history dialog.
enum class HistoryChoice { Close, Open, Compare };

// The history dialog's list and buttons: the entries newest first, each with the number of
// settings in which it differs from the form; the newest selected. Open and Compare act on the
// selected entry and can be chosen only while one is selected.
class HistoryList {
  public:
    HistoryList(std::vector<HistoryEntry> entries, const ConfigDocument& form);

    const std::vector<HistoryRow>& Rows() const { return m_rows; }
    bool Empty() const { return m_rows.empty(); }
    // The selected row; -1 for none.
    int Selected() const { return m_selected; }
    // A row out of range selects none.
    void Select(int row);
    bool CanOpen() const { return m_selected >= 0; }
    bool CanCompare() const { return m_selected >= 0; }
    // The selected entry; nullptr for none.
    const HistoryEntry* SelectedEntry() const;

  private:
    std::vector<HistoryEntry> m_entries;
    std::vector<HistoryRow> m_rows;
    int m_selected = -1;
};

}  // namespace zentrik
