#include "editor/selective_merge.h"

#include <gtest/gtest.h>

#include <random>

#include "editor/setting_text.h"

namespace zentrik {

void PrintTo(const SettingRef& ref, std::ostream* out) {
    *out << SettingName(ref);
}

namespace {

// A configuration as a controller could send it: any bytes, either pressure unit, the bar
// pressures converted from psi x 256 as a download does (where a round trip slips).
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
        // Bytes no setting holds stay the controller's.
        EXPECT_EQ(result.record.reserved94[3], controller.record.reserved94[3]);
        EXPECT_EQ(result.record.stage[1].reserved7, controller.record.stage[1].reserved7);
    }
}

TEST(SettingNamed, FindsEachSettingByTheNameTheComparisonPrints) {
    for (const SettingRef& ref : AllSettings()) {
        EXPECT_EQ(SettingNamed(SettingName(ref)), ref) << SettingName(ref);
    }
    EXPECT_EQ(SettingNamed("  stage 2 percent 19 "), (SettingRef{ConfigSetting::Percent, 1, 19}));
    EXPECT_EQ(SettingNamed("Stage 2 RPM Cutoff"), (SettingRef{ConfigSetting::RpmCutoff, 1}));
    for (const char* name : {"Percent 3", "Stage 1 Percent 20", "Stage 3 RPM Cutoff", "RPM", ""}) {
        EXPECT_EQ(SettingNamed(name), std::nullopt) << name;
    }
}

}  // namespace
}  // namespace zentrik
