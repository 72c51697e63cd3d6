#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "config/config_difference.h"
#include "config/config_document.h"

namespace zentrik {

// Takes `settings` from `from` into `into` and leaves every other setting of `into` as the
// controller would hold it. Pressures stay in `into`'s unit unless MapUnits is taken, and then
// every pressure of `into` is converted to `from`'s unit; either way a pressure holds on the
// wire what its own side held (a taken one `from`'s, the others `into`'s). Bytes no setting
// holds stay `into`'s.
void TakeSettings(ConfigDocument& into, const ConfigDocument& from,
                  const std::vector<SettingRef>& settings);

// The setting named as the comparison names it ("Stage 1 RPM Cutoff", "Stage 2 Percent 3",
// "Input_Type1"), in any case and with blanks around it; nothing for a name no setting has.
std::optional<SettingRef> SettingNamed(std::string_view name);

// The settings of the rows CompareConfigs lists for these configurations that are ticked
// (`ticked` has a flag per row; a row without one counts as ticked).
std::vector<SettingRef> TickedSettings(const ConfigDocument& here, const ConfigDocument& controller,
                                       const std::vector<bool>& ticked);

}  // namespace zentrik
