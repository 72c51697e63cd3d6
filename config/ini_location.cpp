#include "config/ini_location.h"

#include "config/app_settings.h"

namespace zentrik {

IniLocation ChooseIniLocation(const IniLocationInputs& inputs) {
    const std::string name(kIniFileName);
    if (!inputs.exeFolder.empty() && inputs.exeFolderWritable) {
        return {inputs.exeFolder + name, false, {}};
    }
    if (!inputs.userConfigFolder.empty()) {
        return {inputs.userConfigFolder + name, true,
                inputs.exeFolder.empty() ? std::string() : inputs.exeFolder + name};
    }
    return {inputs.exeFolder + name, false, {}};
}

bool IsSystemProgramFolder(std::string_view folder) {
    for (const std::string_view system : {"/usr/", "/bin/", "/sbin/"}) {
        if (folder.substr(0, system.size()) == system) {
            return true;
        }
    }
    return false;
}

std::string FolderWithSeparator(std::string_view exePath, char separator) {
    const std::size_t last = exePath.rfind(separator);
    if (last == std::string_view::npos) {
        return {};
    }
    return std::string(exePath.substr(0, last + 1));
}

namespace {

// <xdg>/zentrik/ when the XDG variable is an absolute path, else <home>/<fallback>/zentrik/.
std::string PosixUserFolder(std::string_view xdg, std::string_view home,
                            std::string_view fallback) {
    std::string base;
    if (!xdg.empty() && xdg.front() == '/') {
        base = xdg;
    } else if (!home.empty()) {
        base = std::string(home) + "/" + std::string(fallback);
    } else {
        return {};
    }
    if (base.back() != '/') {
        base += '/';
    }
    return base + "zentrik/";
}

}  // namespace

std::string PosixUserConfigFolder(std::string_view xdgConfigHome, std::string_view home) {
    return PosixUserFolder(xdgConfigHome, home, ".config");
}

std::string PosixUserDataFolder(std::string_view xdgDataHome, std::string_view home) {
    return PosixUserFolder(xdgDataHome, home, ".local/share");
}

}  // namespace zentrik
