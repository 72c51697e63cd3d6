#pragma once

#include <string>
#include <string_view>

namespace zentrik {

// Where the INI file lives and whether its folder may have to be created when saving.
struct IniLocation {
    std::string path;
    bool createFolder = false;
    // Read in place of `path` while that file does not exist: the file beside the executable,
    // where settings saved before its folder became read-only still lie. Empty when none.
    std::string fallbackPath;
};

// What the choice depends on, gathered by the platform code.
struct IniLocationInputs {
    std::string exeFolder;  // the executable's folder with its trailing separator; empty
                            // when unknown
    bool exeFolderWritable = false;
    std::string userConfigFolder;  // the per-user folder for our file, with trailing separator;
                                   // empty when unknown
};

// Beside the executable when that folder can be written (the portable install); otherwise
// in the per-user configuration folder, created on the first save, and until that file exists
// the one beside the executable is read; failing both, beside the executable anyway (saves
// fail), or the current folder.
IniLocation ChooseIniLocation(const IniLocationInputs& inputs);

// The executable's path up to and including its last separator; empty when there is none.
std::string FolderWithSeparator(std::string_view exePath, char separator);

// The per-user folder on POSIX systems: $XDG_CONFIG_HOME/zentrik/ when that is an absolute
// path, else $HOME/.config/zentrik/; empty when neither is known.
std::string PosixUserConfigFolder(std::string_view xdgConfigHome, std::string_view home);

// The per-user data folder on POSIX systems, where files the program makes for the user
// (configuration backups) are kept: $XDG_DATA_HOME/zentrik/ when that is an absolute path,
// else $HOME/.local/share/zentrik/; empty when neither is known.
std::string PosixUserDataFolder(std::string_view xdgDataHome, std::string_view home);

// Whether a POSIX folder (with its trailing separator) is one the system's package manager
// installs programs into (/usr/..., /bin/, /sbin/). An installed program never keeps its INI
// file there, even when it runs as root, who may write those folders.
bool IsSystemProgramFolder(std::string_view folder);

// The location for this run, from the running executable and the environment.
IniLocation DefaultIniLocation();

// The per-user data folder for this run, with its trailing separator: on Linux as
// PosixUserDataFolder says, on Windows %APPDATA%\zentrik\. Empty when it cannot be told. The
// folder may not exist yet.
std::string DefaultUserDataFolder();

}  // namespace zentrik
