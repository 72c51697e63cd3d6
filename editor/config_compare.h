#pragma once

#include <string>
#include <vector>

#include "config/config_document.h"

namespace zentrik {

// One setting that differs between this computer's configuration and the controller's, in the
// form's words: the setting as the form labels it (with its stage for a stage setting, e.g.
// "Stage 2 MAP Trigger"), and each side's value as the form shows it.
struct ConfigDifference {
    std::string setting;
    std::string here;
    std::string controller;

    bool operator==(const ConfigDifference&) const = default;
};

// The settings that differ, in the form's order (see DifferingSettings). Pressures are shown
// and compared in this computer's unit, the controller's converted to it, with the form's
// "%.1f psi" / "%.1f bar" (more decimals when one would show both alike); engine speeds with the
// form's plain "%.0f", as the name already says RPM; the other numbers with the form's formats
// and units; lists by their entries' texts, check boxes as "on" or "off". Curve points are
// "Percent 0" to "Percent 19", numbered from 0 as the INI keys are. Settings no control shows
// are named by their INI keys and shown as numbers.
std::vector<ConfigDifference> CompareConfigs(const ConfigDocument& here,
                                             const ConfigDocument& controller);

// "Stage 1 RPM Cutoff: 6000 here, 6500 on the controller".
std::string DifferenceLine(const ConfigDifference& difference);

// The lines of all differences; none when the configurations match.
std::vector<std::string> DifferenceLines(const ConfigDocument& here,
                                         const ConfigDocument& controller);

}  // namespace zentrik
