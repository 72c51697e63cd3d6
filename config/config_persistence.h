#pragma once

#include "config/app_settings.h"
#include "config/config_document.h"

#include <cstdint>
#include <string_view>

namespace zentrik {

class IniFile;

// A "Zentrik Config" section (named `section`) <-> the record, pressures as the record's
// fixed-point fields. Missing keys take their defaults; bits no key covers stay zero.
void LoadConfig(const IniFile& file, std::string_view section, ControllerConfig& config);
bool SaveConfig(IniFile& file, std::string_view section, const ControllerConfig& config);

// The value the section keeps for a pressure field (fixed point, x 256), before it is written
// with two decimals.
float PressureFieldValue(std::int16_t field);

// The same on the settings' INI file, read once and written once.
void LoadConfig(const AppSettings& settings, ControllerConfig& config);
bool SaveConfig(AppSettings& settings, const ControllerConfig& config);

// Start of a run: the "Zentrik Config" section into the record, then displayPressures from the
// record's pressure fields (field / 256, no unit conversion).
void LoadDocument(const AppSettings& settings, ConfigDocument& doc);

// End of a run: the record's pressure fields from displayPressures (trunc(value x 256)), then
// the record into "Zentrik Config". The document's record is updated as part of the save.
// Returns false when the file could not be written.
bool SaveDocument(AppSettings& settings, ConfigDocument& doc);

}  // namespace zentrik
