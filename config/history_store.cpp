#include "config/history_store.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/text_format.h"
#include "config/config_file.h"
#include "config/config_texts.h"
#include "config/file_store.h"
#include "config/ini_location.h"

namespace zentrik {

namespace texts = config_texts;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kStampLength = 15;  // YYYYMMDD-HHMMSS
constexpr int kMaxPerSecond = 1000;

struct Found {
    HistoryEntry entry;
    std::string stamp;
    int number = 1;  // the entry's place within its second
};

bool Digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The parts of an entry's file name; nothing for any other name.
std::optional<Found> ParseName(const std::string& name) {
    const std::string_view extension = texts::kConfigFileExtension;
    if (name.size() <= kStampLength + 1 + extension.size() ||
        name.compare(name.size() - extension.size(), extension.size(), extension) != 0) {
        return std::nullopt;
    }
    const std::string_view stamp(name.data(), kStampLength);
    if (!Digits(stamp.substr(0, 8)) || stamp[8] != '-' || !Digits(stamp.substr(9)) ||
        name[kStampLength] != '-') {
        return std::nullopt;
    }
    std::string_view rest(name.data() + kStampLength + 1,
                          name.size() - kStampLength - 1 - extension.size());
    Found found;
    if (const std::size_t dash = rest.find('-'); dash != std::string_view::npos) {
        const std::string_view number = rest.substr(dash + 1);
        if (!Digits(number) || number.size() > 4) {
            return std::nullopt;
        }
        found.number = std::stoi(std::string(number));
        if (found.number < 2) {
            return std::nullopt;
        }
        rest = rest.substr(0, dash);
    }
    bool known = false;
    for (int e = 0; e <= static_cast<int>(HistoryEvent::Backup); ++e) {
        if (rest == HistoryEventWord(static_cast<HistoryEvent>(e))) {
            found.entry.event = static_cast<HistoryEvent>(e);
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    found.stamp = std::string(stamp);
    const auto part = [&](std::size_t at, std::size_t n) {
        return std::string(stamp.substr(at, n));
    };
    found.entry.time = FormatText(texts::kHistoryTimeFormat, part(0, 4).c_str(), part(4, 2).c_str(),
                                  part(6, 2).c_str(), part(9, 2).c_str(), part(11, 2).c_str(),
                                  part(13, 2).c_str());
    return found;
}

// The first line of a configuration file, and what follows it (the settings).
std::string_view FirstLine(std::string_view text) {
    return text.substr(0, std::min(text.find('\n'), text.size()));
}
std::string_view Settings(std::string_view text) {
    const std::size_t end = text.find('\n');
    return end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
}

// The serial number the comment line names; empty when it names none.
std::string SerialOf(std::string_view text) {
    const std::string_view line = FirstLine(text);
    const std::size_t at = line.rfind(texts::kHistorySerialMark);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string serial(line.substr(at + std::string_view(texts::kHistorySerialMark).size()));
    while (!serial.empty() && (serial.back() == ')' || serial.back() == '\r')) {
        serial.pop_back();
    }
    return serial;
}

std::string ReadText(const std::string& path) {
    std::string bytes;
    if (ReadFileBytes(path, bytes, kMaxConfigFileSize) != FileReadStatus::Ok) {
        bytes.clear();
    }
    return bytes;
}

// Every entry, newest first, with its file's text.
std::vector<std::pair<Found, std::string>> Scan(const std::string& folder) {
    std::vector<std::pair<Found, std::string>> found;
    std::error_code error;
    fs::directory_iterator it(fs::path(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        std::optional<Found> entry = ParseName(it->path().filename().string());
        if (!entry) {
            continue;
        }
        entry->entry.path = folder + it->path().filename().string();
        std::string text = ReadText(entry->entry.path);
        entry->entry.serial = SerialOf(text);
        found.emplace_back(std::move(*entry), std::move(text));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return a.first.stamp != b.first.stamp ? a.first.stamp > b.first.stamp
                                              : a.first.number > b.first.number;
    });
    return found;
}

}  // namespace

std::string_view HistoryEventWord(HistoryEvent event) {
    return texts::kHistoryEventWords[static_cast<int>(event)];
}

HistoryWrite HistoryStore::Record(HistoryEvent event, const ConfigDocument& document,
                                  const std::string& serial, std::time_t now,
                                  std::string* path) const {
    if (m_folder.empty()) {
        return HistoryWrite::Failed;
    }
    // Only the user-interface thread records, so localtime's shared buffer is safe here.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        return HistoryWrite::Failed;
    }
    const std::string stamp =
        FormatText(texts::kHistoryStampFormat, local->tm_year + 1900, local->tm_mon + 1,
                   local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    const std::string when = FormatText(texts::kHistoryTimeFormat, stamp.substr(0, 4).c_str(),
                                        stamp.substr(4, 2).c_str(), stamp.substr(6, 2).c_str(),
                                        stamp.substr(9, 2).c_str(), stamp.substr(11, 2).c_str(),
                                        stamp.substr(13, 2).c_str());
    const std::string word(HistoryEventWord(event));
    const std::string note = serial.empty()
                                 ? FormatText(texts::kHistoryNoteFormat, when.c_str(), word.c_str())
                                 : FormatText(texts::kHistorySerialNoteFormat, when.c_str(),
                                              word.c_str(), serial.c_str());
    const std::string text = ConfigFileText(document, note);

    std::vector<std::pair<Found, std::string>> entries = Scan(m_folder);
    if (!entries.empty() && entries.front().first.entry.serial == serial &&
        Settings(entries.front().second) == Settings(text)) {
        return HistoryWrite::Unchanged;
    }
    // After every entry of the same second, whatever its event, so that the names keep the order.
    int number = 1;
    for (const auto& [found, _] : entries) {
        if (found.stamp == stamp) {
            number = std::max(number, found.number + 1);
        }
    }
    std::string target;
    for (; number <= kMaxPerSecond; ++number) {
        target = m_folder + FormatText(texts::kHistoryNameFormat, stamp.c_str(), word.c_str()) +
                 (number == 1 ? std::string() : FormatText(texts::kHistoryNumberFormat, number)) +
                 texts::kConfigFileExtension;
        std::error_code error;
        if (!fs::exists(fs::path(target), error) && !error) {
            break;
        }
    }
    if (number > kMaxPerSecond || !ReplaceFileBytes(target, text, true)) {
        return HistoryWrite::Failed;
    }
    if (path != nullptr) {
        *path = target;
    }
    // The new entry is the newest: everything from kKept - 1 on among the others is older than
    // the newest kKept, and goes unless it is a backup.
    for (std::size_t i = kKept - 1; i < entries.size(); ++i) {
        if (entries[i].first.entry.event != HistoryEvent::Backup) {
            std::error_code error;
            fs::remove(fs::path(entries[i].first.entry.path), error);
        }
    }
    return HistoryWrite::Written;
}

std::vector<HistoryEntry> HistoryStore::Entries() const {
    std::vector<HistoryEntry> entries;
    for (auto& [found, _] : Scan(m_folder)) {
        entries.push_back(std::move(found.entry));
    }
    return entries;
}

std::optional<ConfigDocument> HistoryStore::Newest(const std::string& serial) const {
    for (const auto& [found, text] : Scan(m_folder)) {
        if (!serial.empty() && found.entry.serial != serial) {
            continue;
        }
        const ConfigFileRead read = ReadConfigText(text);
        if (read.status == ConfigFileStatus::Ok) {
            return read.document;
        }
    }
    return std::nullopt;
}

std::string DefaultHistoryFolder() {
    const std::string folder = DefaultUserDataFolder();
    if (folder.empty()) {
        return {};
    }
    return folder + texts::kHistoryFolderName + folder.back();
}

}  // namespace zentrik
