#include "shell/single_instance.h"

#include <cstdint>

#include "base/text_format.h"
#include "config/app_settings.h"
#include "config/ini_location.h"
#include "shell/frame_shell.h"

namespace zentrik {

namespace {

// The first field of every message, so that a stray connection is told apart.
constexpr std::string_view kHandOverTag = "zentrik-hand-over-1";

std::uint64_t Fnv1a(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::vector<std::string_view> SplitAtNul(std::string_view text) {
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t end = text.find('\0');
        fields.push_back(text.substr(0, end));
        if (end == std::string_view::npos) {
            return fields;
        }
        text.remove_prefix(end + 1);
    }
}

// Whether a file name needs no folder before it: from the root on POSIX systems; on Windows
// also with a drive letter ("C:\\..."), from the current drive's root or on a share.
bool IsAbsolutePath(std::string_view path, bool posix) {
    if (posix) {
        return path.front() == '/';
    }
    return path.front() == '\\' || path.front() == '/' || (path.size() > 1 && path[1] == ':');
}

}  // namespace

WindowCommandLine ParseWindowCommandLine(const std::vector<std::string>& args) {
    WindowCommandLine line;
    bool optionsEnded = false;
    int files = 0;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--version" && args.size() == 1) {
            line.version = true;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return {false, {}, FormatText("unknown option %s", arg.c_str())};
        } else if (arg.empty()) {
            continue;  // nothing to open
        } else if (++files > 1) {
            return {false, {}, "give one configuration file at most"};
        } else {
            line.file = arg;
        }
    }
    return line;
}

std::string RunSettingsPath(const AppSettings& settings) {
    return settings.Path().empty() ? DefaultIniLocation().path : settings.Path();
}

std::string InstanceName(std::string_view settingsPath, bool foldCase) {
    std::string text(settingsPath);
    if (foldCase) {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    return FormatText("zentrik-%016llx", static_cast<unsigned long long>(Fnv1a(text)));
}

InstanceFolder PosixInstanceFolder(std::string_view runtimeDir, std::string_view tmpDir,
                                   unsigned uid) {
    const auto withSlash = [](std::string_view folder) {
        std::string path(folder);
        if (path.back() != '/') {
            path += '/';
        }
        return path;
    };
    if (!runtimeDir.empty() && runtimeDir.front() == '/') {
        return {withSlash(runtimeDir), false};
    }
    const std::string base = !tmpDir.empty() && tmpDir.front() == '/' ? withSlash(tmpDir) : "/tmp/";
    return {base + FormatText("zentrik-%u/", uid), true};
}

std::string HandOverMessage(const std::vector<std::string>& args, std::string_view workingFolder) {
    std::string message(kHandOverTag);
    message += '\0';
    message += workingFolder;
    for (const std::string& arg : args) {
        message += '\0';
        message += arg;
    }
    return message;
}

std::optional<std::string> HandOverFile(std::string_view message) {
    if (message.size() > kMaxHandOverBytes) {
        return std::nullopt;
    }
    const std::vector<std::string_view> fields = SplitAtNul(message);
    if (fields.size() < 2 || fields[0] != kHandOverTag) {
        return std::nullopt;
    }
    const WindowCommandLine line =
        ParseWindowCommandLine(std::vector<std::string>(fields.begin() + 2, fields.end()));
    if (!line.error.empty() || line.version) {
        return std::nullopt;
    }
    if (line.file.empty()) {
        return std::string();
    }
    const std::string_view folder = fields[1];
    if (folder.empty() || IsAbsolutePath(line.file, folder.front() == '/')) {
        return line.file;
    }
    const char separator = folder.front() == '/' ? '/' : '\\';
    std::string path(folder);
    if (path.back() != separator) {
        path += separator;
    }
    return path + line.file;
}

SingleInstance::Start SingleInstance::Begin(const std::string& settingsPath, bool foldCase,
                                            const std::vector<std::string>& args,
                                            const std::string& workingFolder) {
    const std::string name = InstanceName(settingsPath, foldCase);
    const std::string message = HandOverMessage(args, workingFolder);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        switch (m_channel.TryClaim(name, *this)) {
            case InstanceChannel::Claim::Ours:
            case InstanceChannel::Claim::Unavailable:
                return Start::Run;
            case InstanceChannel::Claim::Held:
                break;
        }
        switch (m_channel.Send(name, message)) {
            case InstanceChannel::Sent::Delivered:
                return Start::HandedOver;
            case InstanceChannel::Sent::NoAnswer:
                return Start::NoAnswer;
            case InstanceChannel::Sent::NotListening:
                // The holder is between its claim and its listening, or has just ended.
                m_channel.Pause();
                break;
        }
    }
    return Start::NoAnswer;
}

void SingleInstance::Attach(FrameShell& shell, const std::string& startFile) {
    m_shell = &shell;
    if (!startFile.empty()) {
        m_files.push_front(startFile);
    }
    shell.SetModalsEndedHandler([this] {
        if (!m_files.empty()) {
            m_channel.PostRun();
        }
    });
    if (!m_files.empty()) {
        m_channel.PostRun();
    }
}

bool SingleInstance::Receive(std::string_view message) {
    std::optional<std::string> file = HandOverFile(message);
    if (!file) {
        return false;
    }
    if (!file->empty()) {
        m_files.push_back(std::move(*file));
        if (m_shell != nullptr) {
            m_channel.PostRun();
        }
    }
    return true;
}

void SingleInstance::Run() {
    // An open's box runs an event loop, in which a later post may call again.
    if (m_shell == nullptr || m_running) {
        return;
    }
    m_running = true;
    while (!m_files.empty() && !m_shell->ModalUp() && !m_shell->ClosePending()) {
        const std::string file = std::move(m_files.front());
        m_files.pop_front();
        m_shell->OpenConfigurationFile(file);
    }
    m_running = false;
}

}  // namespace zentrik
