#include "config/ini_location.h"

#include "config/app_settings.h"

namespace zentrik {

IniLocation ChooseIniLocation(const IniLocationInputs& inputs) {
    const std::string name(kIniFileName);
    if (!inputs.exeFolder.empty() && inputs.exeFolderWritable) {
        return {inputs.exeFolder + name, false};
    }
    if (!inputs.userConfigFolder.empty()) {
        return {inputs.userConfigFolder + name, true};
    }
    return {inputs.exeFolder + name, false};
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

std::string PosixUserConfigFolder(std::string_view xdgConfigHome, std::string_view home) {
    std::string base;
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
        base = xdgConfigHome;
    } else if (!home.empty()) {
        base = std::string(home) + "/.config";
    } else {
        return {};
    }
    if (base.back() != '/') {
        base += '/';
    }
    return base + "zentrik/";
}

}  // namespace zentrik
