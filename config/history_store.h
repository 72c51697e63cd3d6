#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_document.h"

namespace zentrik {

// What made the controller's configuration known: the link's events, in the same order.
enum class HistoryEvent : std::uint8_t { Download, Upload, Verify, Compare, Backup };

// "download", "upload", "verify", "compare", "backup": the word in file names and listings.
std::string_view HistoryEventWord(HistoryEvent event);

// One configuration in the history.
struct HistoryEntry {
    std::string path;
    std::string time;  // local, "YYYY-MM-DD HH:MM:SS"
    HistoryEvent event = HistoryEvent::Download;
    std::string serial;  // the controller's 16 hexadecimal digits; empty when not known
};

// How recording a configuration ended.
enum class HistoryWrite { Written, Unchanged, Failed };

// The history of what the controller held: one configuration file (.zcfg) per event in one
// folder, named "YYYYMMDD-HHMMSS-<event>.zcfg" by the local time it was recorded ("-2", "-3",
// ... before the extension for the second and later entries of the same second, so that the
// names sort as the entries came), its comment line naming the event and the controller's
// serial number. A configuration the newest entry already holds, for the same controller, is
// not recorded again. The newest kKept entries are kept, the older deleted, except backups,
// which are never deleted. Files of other names in the folder are left alone.
class HistoryStore {
  public:
    static constexpr std::size_t kKept = 200;

    // `folder` ends in its separator; it is created on the first write.
    explicit HistoryStore(std::string folder) : m_folder(std::move(folder)) {}
    const std::string& Folder() const { return m_folder; }

    // Records what the controller holds at `now`. `serial` is empty when unknown. The path
    // written goes to `path` when given.
    HistoryWrite Record(HistoryEvent event, const ConfigDocument& document,
                        const std::string& serial, std::time_t now,
                        std::string* path = nullptr) const;

    // Every entry, newest first.
    std::vector<HistoryEntry> Entries() const;

    // The configuration of the newest entry of the controller with this serial number (empty:
    // of any controller) that can still be read; nothing when there is none.
    std::optional<ConfigDocument> Newest(const std::string& serial) const;

  private:
    std::string m_folder;
};

// The history's folder for this run: "history" in the user's data folder (DefaultUserDataFolder),
// with its trailing separator; empty when there is no such folder.
std::string DefaultHistoryFolder();

}  // namespace zentrik
