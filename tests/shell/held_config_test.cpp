#include "shell/held_config.h"

#include <gtest/gtest.h>

#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

TEST(HeldConfig, TheLastControllerIdentifiedHoldsWhatThisRunSawOfItElseWhatTheLoaderKnows) {
    AppSettings settings;
    settings.SetPath(MakeTempDir() + "/Zentrik.ini");
    const ConfigDocument known = SampleConfigDocument();
    ConfigDocument seen = known;
    seen.record.stage[0].RPM_Max = 5000;
    std::vector<std::string> asked;
    const auto loader = [&](const std::string& serial) -> std::optional<ConfigDocument> {
        asked.push_back(serial);
        return serial == "0102030405060708" ? std::optional(known) : std::nullopt;
    };
    const auto rpmMax = [](const HeldConfig& held) {
        return held.Held() != nullptr ? held.Held()->record.stage[0].RPM_Max : -1;
    };

    HeldConfig first(settings);
    first.SetLoader(loader);  // no controller seen yet
    EXPECT_EQ(first.Held(), nullptr);
    first.OnControllerInfo(ControllerIdentity{{1, 2, 3, 4, 5, 6, 7, 8}, 0x100});
    EXPECT_EQ(asked, std::vector<std::string>{"0102030405060708"});
    EXPECT_EQ(rpmMax(first), 6500);

    // The next run starts with the last controller seen.
    HeldConfig next(settings);
    next.SetLoader(loader);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(rpmMax(next), 6500);
    // Seen before the controller said who it is: that controller's record, whoever it is.
    next.OnControllerHolds(seen);
    next.OnControllerInfo(ControllerIdentity{{9, 9, 9, 9, 9, 9, 9, 9}, 0x100});
    EXPECT_EQ(rpmMax(next), 5000);
    EXPECT_EQ(asked.size(), 2u);
    // Another controller after it: only the loader knows what that one holds.
    next.OnControllerInfo(ControllerIdentity{{1, 2, 3, 4, 5, 6, 7, 8}, 0x100});
    EXPECT_EQ(rpmMax(next), 6500);
    EXPECT_EQ(next.Serial(), "0102030405060708");
}

}  // namespace
}  // namespace zentrik::test
