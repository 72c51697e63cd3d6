#pragma once

#include "config/app_settings.h"
#include "config/config_difference.h"
#include "config/config_document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrik {

class IniFile;

// A key whose text the record cannot take as it stands: no number at all (an empty value, a
// word), or a number outside what its field holds, of which the field would keep only the low
// bits (300 in a byte). Loading still stores what the rules of the section make of it.
struct UnfitValue {
    SettingRef setting;
    std::string text;  // the key's value as the file holds it

    bool operator==(const UnfitValue&) const = default;
};

// What reading a section found besides the record: how many of its keys were there, and the
// values that did not fit.
struct ConfigReadNotes {
    int keysRead = 0;   // the keys of a configuration
    int keysFound = 0;  // of those, the ones the section holds
    std::vector<UnfitValue> unfit;

    int MissingKeys() const { return keysRead - keysFound; }
};

// A "Zentrik Config" section (named `section`) <-> the record, pressures as the record's
// fixed-point fields. Missing keys take their defaults; bits no key covers stay zero. With
// `notes`, what the section lacked and what did not fit is noted there.
void LoadConfig(const IniFile& file, std::string_view section, ControllerConfig& config,
                ConfigReadNotes* notes = nullptr);
bool SaveConfig(IniFile& file, std::string_view section, const ControllerConfig& config);

// The value the section keeps for a pressure field (fixed point, x 256), before it is written
// with two decimals.
float PressureFieldValue(std::int16_t field);

// The same on the settings' INI file, read once and written once.
void LoadConfig(const AppSettings& settings, ControllerConfig& config);
bool SaveConfig(AppSettings& settings, const ControllerConfig& config);

// Start of a run: the "Zentrik Config" section into the record, then displayPressures from the
// record's pressure fields (field / 256, no unit conversion).
void LoadDocument(const AppSettings& settings, ConfigDocument& doc,
                  ConfigReadNotes* notes = nullptr);

// End of a run: the record's pressure fields from displayPressures (trunc(value x 256)), then
// the record into "Zentrik Config". The document's record is updated as part of the save.
// Returns false when the file could not be written.
bool SaveDocument(AppSettings& settings, ConfigDocument& doc);

}  // namespace zentrik
