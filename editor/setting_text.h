#pragma once

#include <string>

#include "config/config_difference.h"

namespace zentrik {

// The settings of a configuration in the form's words, for whatever lists them (the comparison
// with the controller, the setup sheet).

// The setting as the form labels it, without its stage: "RPM Cutoff", "Present", "Type";
// "Percent 3" for a curve point, numbered from 0 as the INI keys are; a setting no control
// shows by its INI key.
std::string SettingCaption(const SettingRef& ref);

// The same with the stage for a stage setting: "Stage 2 MAP Trigger".
std::string SettingName(const SettingRef& ref);

// The setting's value in `doc` as the form shows it: lists by their entries' texts (a value
// without an entry as the number), check boxes "on" or "off", numbers in the form's formats
// with their units, pressures in bar when `bar` (else psi) with the form's one decimal, curve
// points as the Start field shows one. Engine speeds carry "RPM" only with `rpmUnit`, since
// the name already says RPM.
std::string SettingValue(const SettingRef& ref, const ConfigDocument& doc, bool bar, bool rpmUnit);

}  // namespace zentrik
