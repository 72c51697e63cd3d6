#include "editor/selective_merge.h"

#include <gtest/gtest.h>

#include <random>

#include "editor/setting_text.h"

namespace zentrik {

namespace {

// A configuration as a controller could send it: any bytes, either pressure unit, the bar
// pressures converted from psi x 256 as a download does.
ConfigDocument Received(std::mt19937& random) {
    std::array<std::uint8_t, kConfigSize> bytes;
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(random());
    }
    ConfigDocument doc;
    FromWireImage(doc, bytes.data());
    return doc;
}

TEST(TakeSettings, TakesExactlyTheNamedSettingsWhateverEitherSidesUnit) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const ConfigDocument here = Received(random);
        const ConfigDocument controller = Received(random);
        std::vector<SettingRef> taken;
        std::vector<SettingRef> left;
        for (const SettingRef& ref : DifferingSettings(here, controller)) {
            (random() % 3 == 0 ? left : taken).push_back(ref);
        }
        ConfigDocument result = controller;
        TakeSettings(result, here, taken);
        SCOPED_TRACE(round);
        // What was taken reads as here, on the wire too; the rest as the controller.
        ASSERT_EQ(DifferingSettings(result, here), left);
        ASSERT_EQ(DifferingSettings(result, controller), taken);
        EXPECT_EQ(result.record.stage[1].reserved7, controller.record.stage[1].reserved7);
    }
}

TEST(SettingNamed, FindsEachSettingByTheNameTheComparisonPrints) {
    for (const SettingRef& ref : AllSettings()) {
        EXPECT_EQ(SettingNamed(SettingName(ref)), ref) << SettingName(ref);
    }
    EXPECT_EQ(SettingNamed("  stage 2 percent 19 "), (SettingRef{ConfigSetting::Percent, 1, 19}));
    EXPECT_EQ(SettingNamed("Percent 3"), std::nullopt);  // a point is a stage's
}

}  // namespace
}  // namespace zentrik
