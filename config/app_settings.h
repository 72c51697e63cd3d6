#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "config/controller_config.h"
#include "config/ini_location.h"

namespace zentrik {

class IniFile;

inline constexpr std::string_view kIniFileName = "Zentrik.ini";
inline constexpr std::string_view kConfigSection = "Zentrik Config";
inline constexpr std::string_view kSettingsSection = "Zentrik Settings";

// The tool's own settings and the typed access to its INI file. One object lives for the
// whole run. Every typed operation acts on the file at once (no cached copy); the sections are
// read and written once each (LoadSettings, SaveSettings; the config section in
// config_persistence.h).
//
// Writes return false when the file could not be written; the window ignores that, as the
// tool always has, while the command-line front end reports it.
class AppSettings {
  public:
    // Settings, as read by LoadSettings (zero until then).
    int CommPort = 0;
    int CommSpeed = 0;
    int Timeout = 0;
    int TimeoutRetry = 0;
    int CRCRetry = 0;
    bool Smooth = false;
    // Optional features, off unless the file turns them on; written back only once they have
    // been turned on (or the file names them), so a file that never used them stays as it was.
    bool VerifyUpload = false;         // read the configuration back after an upload
    bool BackupBeforeUpgrade = false;  // save the controller's configuration before an upgrade
    std::string PortDevice;            // the serial device chosen by the user; empty: automatic

    // The INI file. LoadSettings fixes it to the default location (ini_location.h) unless
    // SetPath chose one. While the file is missing, reads and the first write start from the
    // location's fallback file, if any, else from the defaults; writes with no path fail.
    void SetPath(std::string path);
    // The file and where else it may be read from, as DefaultIniLocation gives them.
    void SetLocation(IniLocation location);
    const std::string& Path() const { return m_path; }

    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteInt(std::string_view section, std::string_view key, int value);
    bool ReadBool(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteBool(std::string_view section, std::string_view key, int value);
    double ReadFloat(std::string_view section, std::string_view key, float defaultValue) const;
    bool WriteFloat(std::string_view section, std::string_view key, float value);
    // The value (one pair of enclosing quotes removed, cut to 259 characters) or the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Fails for a value that cannot be kept on one line.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // The "Zentrik Settings" section <-> the members above.
    void LoadSettings();
    bool SaveSettings();
    void SetCommPort(int port) { CommPort = port; }

    // The file parsed once (empty when it is missing or unreadable).
    IniFile ReadIni() const;
    // Reads the file, applies the edits in memory and writes it once. Fails without touching
    // the file when it exists but cannot be read, an edit is refused or the write fails.
    bool EditIni(const std::function<bool(IniFile&)>& edit);

  private:
    std::string m_path;
    bool m_createFolder = false;  // the per-user folder may not exist before the first save
    std::string m_fallbackPath;   // read while m_path does not exist (ini_location.h)
};

}  // namespace zentrik
