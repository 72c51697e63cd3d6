#include <windows.h>

#include <cstdlib>

#include "config/file_store.h"
#include "config/ini_location.h"

namespace zentrik {

IniLocation DefaultIniLocation() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    IniLocationInputs inputs;
    if (n > 0 && n < MAX_PATH) {
        inputs.exeFolder = FolderWithSeparator(std::string_view(path, n), '\\');
    }
    // A folder under Program Files cannot be written by a normal user.
    inputs.exeFolderWritable = !inputs.exeFolder.empty() && IsWritableFolder(inputs.exeFolder);
    inputs.userConfigFolder = DefaultUserDataFolder();
    return ChooseIniLocation(inputs);
}

std::string DefaultUserDataFolder() {
    // One per-user folder on Windows, for the INI file and the backups alike.
    if (const char* appData = std::getenv("APPDATA"); appData != nullptr && *appData != '\0') {
        return std::string(appData) + "\\zentrik\\";
    }
    return {};
}

}  // namespace zentrik
