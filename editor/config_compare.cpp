#include "editor/config_compare.h"

#include "base/text_format.h"
#include "config/config_difference.h"
#include "editor/compare_texts.h"
#include "editor/setting_text.h"

namespace zentrik {

namespace {

namespace texts = compare_texts;

// Both sides' values of a setting; pressures in `bar` or psi, with two decimals where the
// form's one would show different values alike.
std::pair<std::string, std::string> Values(const SettingRef& ref, const ConfigDocument& here,
                                           const ConfigDocument& controller, bool bar) {
    std::pair values{SettingValue(ref, here, bar, false),
                     SettingValue(ref, controller, bar, false)};
    const bool pressure = ref.setting == ConfigSetting::MapCutoff ||
                          ref.setting == ConfigSetting::MapTrigger ||
                          ref.setting == ConfigSetting::MapEnd;
    if (pressure && values.first == values.second) {
        const int index = PressureIndex(ref.stage, PressureFieldOf(ref.setting));
        const char* format = bar ? texts::kBarTwoDecimals : texts::kPsiTwoDecimals;
        values = {FormatNumbers(format, {PressureIn(here, index, bar)}),
                  FormatNumbers(format, {PressureIn(controller, index, bar)})};
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
