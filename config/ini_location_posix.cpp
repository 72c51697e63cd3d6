#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "config/file_store.h"
#include "config/ini_location.h"

namespace zentrik {

namespace {

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);  // the path may have been cut: try a larger buffer
    }
}

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string_view(value) : std::string_view();
}

}  // namespace

IniLocation DefaultIniLocation() {
    IniLocationInputs inputs;
    inputs.exeFolder = FolderWithSeparator(ExecutablePath(), '/');
    inputs.exeFolderWritable = !inputs.exeFolder.empty() &&
                               !IsSystemProgramFolder(inputs.exeFolder) &&
                               IsWritableFolder(inputs.exeFolder);
    inputs.userConfigFolder =
        PosixUserConfigFolder(Environment("XDG_CONFIG_HOME"), Environment("HOME"));
    return ChooseIniLocation(inputs);
}

std::string DefaultUserDataFolder() {
    return PosixUserDataFolder(Environment("XDG_DATA_HOME"), Environment("HOME"));
}

}  // namespace zentrik
