#include "editor/config_compare.h"

#include "base/text_format.h"
#include "config/config_difference.h"
#include "editor/compare_texts.h"
#include "editor/editor_texts.h"
#include "editor/setting_text.h"

namespace zentrik {

namespace {

namespace texts = compare_texts;
namespace form = editor_texts;

// Both sides' values of a setting; pressures in `bar` or psi, with as many more decimals than
// the form's one as it takes to tell them apart.
std::pair<std::string, std::string> Values(const SettingRef& ref, const ConfigDocument& here,
                                           const ConfigDocument& controller, bool bar) {
    std::pair values{SettingValue(ref, here, bar, false),
                     SettingValue(ref, controller, bar, false)};
    const bool pressure = ref.setting == ConfigSetting::MapCutoff ||
                          ref.setting == ConfigSetting::MapTrigger ||
                          ref.setting == ConfigSetting::MapEnd;
    if (pressure && values.first == values.second) {
        const int index = PressureIndex(ref.stage, PressureFieldOf(ref.setting));
        const double a = PressureIn(here, index, bar);
        const double b = PressureIn(controller, index, bar);
        const std::string unit = std::string(" ") + (bar ? form::kBar : form::kPsi);
        int decimals = 2;
        while (decimals < texts::kMostPressureDecimals &&
               FormatFixed(a, decimals) == FormatFixed(b, decimals)) {
            ++decimals;
        }
        values = {FormatFixed(a, decimals) + unit, FormatFixed(b, decimals) + unit};
    }
    return values;
}

}  // namespace

std::vector<ConfigDifference> CompareConfigs(const ConfigDocument& here,
                                             const ConfigDocument& controller) {
    const bool bar = MAP_In_bar(here.record);
    std::vector<ConfigDifference> differences;
    for (const SettingRef& ref : DifferingSettings(here, controller)) {
        auto [hereText, controllerText] = Values(ref, here, controller, bar);
        differences.push_back({SettingName(ref), std::move(hereText), std::move(controllerText)});
    }
    return differences;
}

std::string DifferenceLine(const ConfigDifference& difference) {
    return FormatText(texts::kDifferenceFormat, difference.setting.c_str(), difference.here.c_str(),
                      difference.controller.c_str());
}

std::vector<std::string> DifferenceLines(const ConfigDocument& here,
                                         const ConfigDocument& controller) {
    std::vector<std::string> lines;
    for (const ConfigDifference& difference : CompareConfigs(here, controller)) {
        lines.push_back(DifferenceLine(difference));
    }
    return lines;
}

}  // namespace zentrik
