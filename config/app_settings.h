#pragma once

#include <string>
#include <string_view>

#include "config/controller_config.h"

namespace zentrik {

inline constexpr std::string_view kIniFileName = "Zentrik.ini";
inline constexpr std::string_view kConfigSection = "Zentrik Config";
inline constexpr std::string_view kSettingsSection = "Zentrik Settings";

// The tool's own settings and the typed access to its INI file. One object lives for the
// whole run. Every typed operation acts on the file at once (no cached copy); LoadConfig and
// SaveConfig read and write the file once for the whole section.
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

    // The INI file. LoadSettings fixes it to the default location unless SetPath chose one.
    void SetPath(std::string path);
    const std::string& Path() const { return m_path; }

    int ReadInt(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteInt(std::string_view section, std::string_view key, int value);
    bool ReadBool(std::string_view section, std::string_view key, int defaultValue) const;
    bool WriteBool(std::string_view section, std::string_view key, int value);
    double ReadFloat(std::string_view section, std::string_view key, float defaultValue) const;
    bool WriteFloat(std::string_view section, std::string_view key, float value);

    // The "Zentrik Config" section <-> the record (pressures as stored fixed-point fields).
    void LoadConfig(ControllerConfig& config) const;
    bool SaveConfig(const ControllerConfig& config);

    // The "Zentrik Settings" section <-> the members above.
    void LoadSettings();
    bool SaveSettings();
    void SetCommPort(int port) { CommPort = port; }

private:
    std::string m_path;
};

}  // namespace zentrik
