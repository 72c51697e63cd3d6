#include "editor/config_compare.h"

#include <gtest/gtest.h>

#include <random>

#include "config/app_settings.h"
#include "config/config_file.h"
#include "config/config_persistence.h"
#include "config/ini_file.h"
#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik {

void PrintTo(const ConfigDifference& d, std::ostream* out) {
    *out << '{' << d.setting << " | " << d.here << " | " << d.controller << '}';
}

namespace {

using Rows = std::vector<ConfigDifference>;

ConfigDocument Downloaded(const ConfigDocument& uploaded) {
    ConfigDocument doc;
    FromWireImage(doc, ToWireImage(uploaded).data());
    return doc;
}

ConfigDocument FromIniText(const std::string& text) {
    ConfigDocument doc;
    LoadConfig(IniFile(text), kConfigSection, doc.record);
    SyncDisplayPressures(doc);
    return doc;
}

double& Pressure(ConfigDocument& doc, int stage, PressureField field) {
    return doc.displayPressures[PressureIndex(stage, field)];
}

TEST(CompareConfigs, EachKindOfSettingReadsAsTheFormShowsIt) {
    ConfigDocument here = test::SampleConfigDocument();  // psi
    here.record.stage[0].RPM_Max = 6000;
    ConfigDocument controller = here;
    ControllerConfig& c = controller.record;
    c.Input_Type2 = 1;
    SetRPM_Present(c, false);
    c.RPM_Multiplier = -26;
    c.Input_Type1 = 3;
    SetFirst_Gear_Lockout(c.stage[0], false);
    c.stage[0].RPM_Max = 6500;
    c.stage[0].Frequency = 20;
    c.stage[0].Delay_Time = 12;
    c.stage[0].Percent[7] = 40;
    SetTIME_Based(c.stage[1], false);
    SetTrig_Sx2_Config(c.stage[1], 1);
    Pressure(controller, 1, PressureField::MAP_Trigger) = 3.5;
    SetTrig_Sx1_Config(c.stage[1], 0);
    // Bytes no setting holds are not compared.
    c.reserved1 = 0xFF;
    c.stage[0].reserved36[2] = 7;
    c.reserved94[15] = 1;

    const Rows expected = {
        {"Input #2", "Activate with Ground", "Activate with 12 Volts"},
        {"RPM Present", "on", "off"},
        {"Multiplier", "÷4", "÷5.5"},
        {"Input_Type1", "2", "3"},
        {"Stage 1 Enable First-Gear Lockout", "on", "off"},
        {"Stage 1 RPM Cutoff", "6000", "6500"},
        {"Stage 1 Solenoid Frequency", "12 Hz", "20 Hz"},
        {"Stage 1 Delay", "0.5 sec", "1.2 sec"},
        {"Stage 1 Percent 7", "35%", "40%"},
        {"Stage 2 Type", "Time-Based", "MAP-Based"},
        {"Stage 2 Input #2 Will", "Disable", "Enable"},
        {"Stage 2 MAP Trigger", "3.0 psi", "3.5 psi"},
        {"Stage 2 Trig_Sx1_Config", "2", "0"},
    };
    const Rows rows = CompareConfigs(here, controller);
    EXPECT_EQ(rows, expected);
    ASSERT_EQ(rows.size(), expected.size());
    EXPECT_EQ(DifferenceLine(rows[5]), "Stage 1 RPM Cutoff: 6000 here, 6500 on the controller");
    EXPECT_EQ(DifferenceLines(here, controller).size(), expected.size());
    EXPECT_TRUE(CompareConfigs(here, here).empty());

    // Values no list entry stands for are shown as they are, not as the entry the form
    // would fall back to.
    controller = here;
    controller.record.RPM_Multiplier = 77;
    controller.record.Input_Type2 = 9;
    SetTrig_Sx2_Config(controller.record.stage[1], 3);
    EXPECT_EQ(CompareConfigs(here, controller), (Rows{{"Input #2", "Activate with Ground", "9"},
                                                      {"Multiplier", "÷4", "77"},
                                                      {"Stage 2 Input #2 Will", "Disable", "3"}}));
}

TEST(CompareConfigs, NothingDiffersAfterUploadAndDownloadInEitherUnitButWhatAFileMoved) {
    // Pressures anywhere in the form's ranges, with all the decimals the unit switch leaves.
    std::mt19937 random(11);
    const std::string dir = test::MakeTempDir();
    for (const bool bar : {false, true}) {
        std::uniform_real_distribution<double> pressure(bar ? -1.0 : -14.7, bar ? 5.86 : 85.0);
        for (int run = 0; run < 120; ++run) {
            SCOPED_TRACE(testing::Message() << (bar ? "bar" : "psi") << " run " << run);
            ConfigDocument here = test::SampleConfigDocument();
            SetMAP_In_bar(here.record, bar);
            for (double& p : here.displayPressures) {
                p = pressure(random);
            }
            const ConfigDocument controller = Downloaded(here);
            ASSERT_EQ(CompareConfigs(here, controller), Rows{});

            // The controller's configuration downloaded, kept in both kinds of file and read
            // back: the files' two decimals may move a pressure on the controller, and a moved
            // one reads as a difference.
            ASSERT_TRUE(WriteConfigFile(dir + "/c.zcfg", controller, false));
            const ConfigFileRead read = ReadConfigFile(dir + "/c.zcfg");
            ASSERT_EQ(read.status, ConfigFileStatus::Ok);
            const ConfigDocument* fromFile = &read.document;
            AppSettings ini;
            ini.SetPath(dir + "/Zentrik.ini");
            ConfigDocument saved = controller;
            ASSERT_TRUE(SaveDocument(ini, saved));
            ConfigDocument fromIni;
            LoadDocument(ini, fromIni);
            for (const ConfigDocument* reloaded :
                 {fromFile, static_cast<const ConfigDocument*>(&fromIni)}) {
                ASSERT_EQ(CompareConfigs(*reloaded, Downloaded(*reloaded)), Rows{});
                for (const ConfigDifference& row : CompareConfigs(*reloaded, controller)) {
                    ASSERT_NE(row.setting.find(" MAP "), std::string::npos) << row.setting;
                    ASSERT_NE(row.here, row.controller) << row.setting;
                }
            }
        }
    }
}

TEST(CompareConfigs, TheControllersPressuresAreShownInThisComputersUnit) {
    for (const bool hereInBar : {false, true}) {
        SCOPED_TRACE(hereInBar ? "here in bar" : "here in psi");
        ConfigDocument here = test::SampleConfigDocument();
        ConfigDocument other = here;
        SetMAP_In_bar(other.record, true);
        for (double& p : other.displayPressures) {
            p *= kPsiToBar;
        }
        if (hereInBar) {
            std::swap(here, other);
        }
        // The same configuration in the other unit: only the unit differs.
        ConfigDocument controller = Downloaded(other);
        EXPECT_EQ(CompareConfigs(here, controller),
                  (Rows{{"MAP Units", hereInBar ? "bar" : "psi", hereInBar ? "psi" : "bar"}}));

        // 25.75 psi (1.775 bar) on this computer, 1.875 bar (27.19 psi) on the controller.
        ConfigDocument changed = other;
        double& cutoff = Pressure(changed, 0, PressureField::MAP_Max);
        cutoff = hereInBar ? 27.19 : 1.875;
        controller = Downloaded(changed);
        const Rows rows = CompareConfigs(here, controller);
        const ConfigDifference expected =
            hereInBar ? ConfigDifference{"Stage 1 MAP Cutoff", "1.8 bar", "1.9 bar"}
                      : ConfigDifference{"Stage 1 MAP Cutoff", "25.8 psi", "27.2 psi"};
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[1], expected);
    }
}

TEST(CompareConfigs, PressuresDifferExactlyWhereTheControllerWouldHoldThemApart) {
    // The controller, in bar, holds 10.004 psi (2561 / 256); this computer 10.00 psi, which an
    // upload would make 2560.
    ConfigDocument controller;
    SetMAP_In_bar(controller.record, true);
    Pressure(controller, 0, PressureField::MAP_End) = 2561 / 256.0 * kPsiToBar;
    controller = Downloaded(controller);
    ConfigDocument here;
    Pressure(here, 0, PressureField::MAP_End) = 10.0;
    const Rows rows = CompareConfigs(here, controller);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (ConfigDifference{"Stage 1 MAP End", "10.000 psi", "10.004 psi"}));
    // In bar, 0.69 and 0.6875 (both shown as 0.69) are 10 steps of psi x 256 apart.
    here = controller;
    Pressure(here, 0, PressureField::MAP_End) = 0.69;
    Pressure(controller, 0, PressureField::MAP_End) = 0.6875;
    EXPECT_EQ(CompareConfigs(here, controller),
              (Rows{{"Stage 1 MAP End", "0.690 bar", "0.688 bar"}}));
    // 10.0019 psi here goes as 2560, what the controller holds: the same.
    here = Downloaded(ConfigDocument{});
    controller = here;
    Pressure(here, 0, PressureField::MAP_End) = 10.0019;
    Pressure(controller, 0, PressureField::MAP_End) = 10.0;
    EXPECT_EQ(CompareConfigs(here, controller), Rows{});
}

TEST(CompareConfigs, PressuresDifferWhereTheIniFileKeepsThemApart) {
    // 1.52 and 1.53 are kept apart by the file, and one decimal would show them alike.
    const ConfigDocument a = FromIniText("[Zentrik Config]\nStage 1 MAP End=1.52\n");
    const ConfigDocument b = FromIniText("[Zentrik Config]\nStage 1 MAP End=1.53\n");
    EXPECT_EQ(CompareConfigs(a, b), (Rows{{"Stage 1 MAP End", "1.52 psi", "1.53 psi"}}));
    // One fixed-point step apart, and kept as "0.00" and "0.01": a difference too.
    const ConfigDocument zero = FromIniText("[Zentrik Config]\nStage 2 MAP Max=0.00\n");
    const ConfigDocument step = FromIniText("[Zentrik Config]\nStage 2 MAP Max=0.0078125\n");
    EXPECT_EQ(CompareConfigs(zero, step), (Rows{{"Stage 2 MAP Cutoff", "0.00 psi", "0.01 psi"}}));
}

}  // namespace
}  // namespace zentrik
