#include "config/app_settings.h"
#include "config/config_persistence.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_persistence.h"
#include "config/file_store.h"
#include "config/ini_file.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                names.push_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    return names;
}

std::string Golden(const char* name) {
    return ReadAll(test::DataDir() + "/" + name);
}

// The record a run without an INI file starts with.
ControllerConfig DefaultRecord() {
    ControllerConfig c{};
    c.flags = kRpmPresentBit;
    c.Input_Type2 = 1;
    const std::uint8_t curves[2][20] = {
        {0, 4, 7, 20, 32, 32, 27, 21, 16, 13, 12, 14, 21, 36, 54, 69, 79, 87, 93, 100},
        {0, 5, 10, 11, 10, 10, 11, 16, 28, 42, 52, 56, 55, 54, 53, 54, 59, 73, 89, 100}};
    const int frequency[2] = {15, 14};
    const int rpmMax[2] = {5000, 6000};
    const int mapTrigger[2] = {0, 512};
    const int mapEnd[2] = {2560, 1024};
    const int mapMax[2] = {5130, 10240};  // 20.040001 x 256 = 5130.24
    for (int i = 0; i < 2; ++i) {
        StageConfig& s = c.stage[i];
        s.flags = kStagePresentBit;
        s.Frequency = static_cast<std::uint8_t>(frequency[i]);
        s.RPM_Trigger = 3000;
        s.RPM_Max = static_cast<std::int16_t>(rpmMax[i]);
        s.MAP_Trigger = static_cast<std::int16_t>(mapTrigger[i]);
        s.MAP_End = static_cast<std::int16_t>(mapEnd[i]);
        s.MAP_Max = static_cast<std::int16_t>(mapMax[i]);
        s.Ramp_Time = 100;
        std::memcpy(s.Percent, curves[i], 20);
    }
    return c;
}

bool SameRecord(const ControllerConfig& a, const ControllerConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = test::MakeTempDir();
        m_path = m_folder + "/Zentrik.ini";
        m_settings.SetPath(m_path);
    }
    void TearDown() override {
        chmod(m_folder.c_str(), 0700);
        for (const std::string& name : FolderEntries(m_folder)) {
            unlink((m_folder + "/" + name).c_str());
        }
        rmdir(m_folder.c_str());
    }
    ControllerConfig Load() const {
        ControllerConfig c;
        std::memset(&c, 0xEE, sizeof c);  // loading must not keep anything from before
        LoadConfig(m_settings, c);
        return c;
    }

    std::string m_folder;
    std::string m_path;
    AppSettings m_settings;
};

TEST_F(SettingsFile, NoFileGivesTheDefaultsOfBothSections) {
    EXPECT_TRUE(SameRecord(Load(), DefaultRecord()));
    m_settings.LoadSettings();
    EXPECT_EQ(m_settings.Path(), m_path);
    EXPECT_EQ(m_settings.CommPort, 1);
    EXPECT_EQ(m_settings.CommSpeed, 19200);
    EXPECT_EQ(m_settings.Timeout, 40);
    EXPECT_EQ(m_settings.CRCRetry, 3);
    EXPECT_EQ(m_settings.TimeoutRetry, 3);
    EXPECT_FALSE(m_settings.Smooth);
    EXPECT_TRUE(FolderEntries(m_folder).empty());  // reading never creates the file
}

TEST_F(SettingsFile, FirstRunWritesWhatTheWindowsFunctionsWould) {
    ASSERT_TRUE(SaveConfig(m_settings, Load()));
    m_settings.LoadSettings();
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_EQ(ReadAll(m_path), Golden("defaults_crlf.ini"));
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"Zentrik.ini"});
}

TEST_F(SettingsFile, WindowsWrittenFileLoadsAndSavesBackUnchanged) {
    const std::string golden = Golden("custom_crlf.ini");
    WriteAll(m_path, golden);
    const ControllerConfig c = Load();
    EXPECT_EQ(c.RPM_Multiplier, -26);
    EXPECT_EQ(c.flags, kRpmPresentBit | kMapInBarBit);
    EXPECT_EQ(c.Input_Type1, 2);
    EXPECT_EQ(c.Input_Type2, 2);
    const StageConfig& s1 = c.stage[0];
    EXPECT_EQ(s1.flags, 0x01 | (3 << 1) | (1 << 3) | 0x20 | 0x40);
    EXPECT_EQ(s1.Frequency, 40);
    EXPECT_EQ(s1.RPM_Trigger, 4500);
    EXPECT_EQ(s1.RPM_Max, 7200);
    EXPECT_EQ(s1.MAP_Trigger, -128);  // -0.50 bar, not converted
    EXPECT_EQ(s1.MAP_End, 320);
    EXPECT_EQ(s1.MAP_Max, 537);  // 2.10 x 256 = 537.6
    EXPECT_EQ(s1.Delay_Time, 15);
    EXPECT_EQ(s1.Ramp_Time, 35);
    EXPECT_EQ(s1.Percent[19], 95);
    const StageConfig& s2 = c.stage[1];
    EXPECT_EQ(s2.flags, (2 << 1) | (2 << 3));
    EXPECT_EQ(s2.Frequency, 60);
    EXPECT_EQ(s2.RPM_Max, 19999);
    EXPECT_EQ(s2.MAP_Trigger, 89);
    EXPECT_EQ(s2.MAP_End, 250);
    EXPECT_EQ(s2.MAP_Max, 1500);
    EXPECT_EQ(s2.Percent[0], 100);

    m_settings.LoadSettings();
    EXPECT_EQ(m_settings.CommPort, 5);
    EXPECT_EQ(m_settings.CommSpeed, 9600);
    EXPECT_EQ(m_settings.Timeout, 120);
    EXPECT_EQ(m_settings.CRCRetry, 7);
    EXPECT_EQ(m_settings.TimeoutRetry, 2);
    EXPECT_TRUE(m_settings.Smooth);

    ASSERT_TRUE(SaveConfig(m_settings, c));
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_EQ(ReadAll(m_path), golden);
}

TEST_F(SettingsFile, HandEditedFileLoadsLikeTheWindowsReaders) {
    WriteAll(m_path, Golden("edited_lf.ini"));
    const ControllerConfig c = Load();
    ControllerConfig expected = DefaultRecord();
    expected.RPM_Multiplier = 3;               // "rpm_multiplier = 3" in "[ zentrik config ]"
    expected.stage[0].MAP_End = 2557;          // 9.99 x 256 = 2557.44
    expected.stage[0].MAP_Max = 2560;          // 10.001 x 256 = 2560.256
    expected.stage[0].MAP_Trigger = 0;         // "psi": no number
    SetTrig_Sx2_Config(expected.stage[1], 2);  // 6 keeps its low two bits
    expected.stage[0].Percent[3] = 44;         // 300 cut to a byte
    expected.stage[0].Percent[4] = 44;         // "44" in quotes
    expected.stage[0].Frequency = 0;           // "abc"
    // RPM_Present=7 is on; "Stage 2 Frequency=" (empty) and the keys of the repeated
    // section and of [Notes] leave the defaults.
    EXPECT_TRUE(SameRecord(c, expected));

    m_settings.LoadSettings();
    EXPECT_EQ(m_settings.CommSpeed, 9600);
    EXPECT_TRUE(m_settings.Smooth);  // 256: any non-zero number
    EXPECT_EQ(m_settings.CommPort, 1);
}

TEST_F(SettingsFile, SavingAHandEditedFileKeepsEverythingElse) {
    const std::string original = Golden("edited_lf.ini");
    WriteAll(m_path, original);
    ASSERT_TRUE(SaveConfig(m_settings, Load()));
    const std::string saved = ReadAll(m_path);
    EXPECT_EQ(saved.find('\r'), std::string::npos);  // the file's own line ending

    const std::vector<std::string> lines = Lines(saved);
    // Values written back in place, with the text before the value kept.
    for (const char* line :
         {"rpm_multiplier = 3", "  STAGE 1 MAP END   =   9.99", "Stage 1 MAP Max=10.00",
          "Stage 1 MAP Trigger = 0.00", "Stage 2 Trig_Sx2_Config=2", "RPM_Present=1",
          "Stage 1 Percent 3=44", "Stage 1 Percent 4 = 44", "Stage 1 Frequency=0",
          "Stage 2 Frequency=14", "Stage 1 Percent 5=32", "Stage 2 Percent 19=100"}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
    // Every line that holds no value of ours is still there, in the same order.
    const std::vector<std::string> kept = {"; Zentrik settings, edited by hand",
                                           "stray=before any section",
                                           "",
                                           "  [ zentrik config ]  ",
                                           "this line has no equals sign",
                                           "; a comment about the next section",
                                           "",
                                           "[Zentrik Config]",
                                           "Stage 1 Percent 5=99",
                                           "[Notes]",
                                           "rpm_multiplier=11",
                                           "[Zentrik Settings]",
                                           "CommSpeed=9600",
                                           "Smooth=256"};
    auto it = lines.begin();
    for (const std::string& line : kept) {
        it = std::find(it, lines.end(), line);
        ASSERT_NE(it, lines.end()) << "lost: " << line;
        ++it;
    }
    // Added keys go after the section's last key line, before the comment.
    const auto added = std::find(lines.begin(), lines.end(), "Stage 1 Present=1");
    const auto comment =
        std::find(lines.begin(), lines.end(), "; a comment about the next section");
    EXPECT_LT(added, comment);
    // 71 keys in all, 10 of them already in the section.
    EXPECT_EQ(lines.size(), Lines(original).size() + 71 - 10);
}

TEST_F(SettingsFile, ConfigExamplesRoundTrip) {
    WriteAll(m_path,
             "[Zentrik Config]\nStage 1 MAP End=9.99\nStage 2 MAP End=10.001\n"
             "RPM_Multiplier=-26\nStage 1 MAP Max=-26\nMAP_In_bar=2\n");
    const ControllerConfig c = Load();
    EXPECT_EQ(c.stage[0].MAP_End, 2557);
    EXPECT_EQ(c.stage[1].MAP_End, 2560);
    EXPECT_EQ(c.RPM_Multiplier, -26);
    EXPECT_EQ(c.stage[0].MAP_Max, -26 * 256);
    EXPECT_TRUE(MAP_In_bar(c));
    ASSERT_TRUE(SaveConfig(m_settings, c));
    const IniFile saved(ReadAll(m_path));
    EXPECT_EQ(saved.Value(kConfigSection, "Stage 1 MAP End"), "9.99");
    EXPECT_EQ(saved.Value(kConfigSection, "Stage 2 MAP End"), "10.00");
    EXPECT_EQ(saved.Value(kConfigSection, "RPM_Multiplier"), "-26");
    EXPECT_EQ(saved.Value(kConfigSection, "Stage 1 MAP Max"), "-26.00");
    EXPECT_EQ(saved.Value(kConfigSection, "MAP_In_bar"), "1");
    EXPECT_TRUE(SameRecord(Load(), c));
}

TEST_F(SettingsFile, RandomRecordsSurviveSaveAndLoad) {
    std::mt19937 rng(0x5eed);
    const auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
    const auto word = [&] { return static_cast<std::int16_t>(rng()); };
    // A pressure as the editor leaves it: a value with two decimals, times 256, truncated.
    const auto pressure = [&] {
        const int hundredths = static_cast<int>(rng() % 25000) - 12500;
        return PressureToFixed(hundredths / 100.0);
    };
    for (int round = 0; round < 40; ++round) {
        ControllerConfig c;
        for (std::size_t i = 0; i < sizeof c; ++i) {
            reinterpret_cast<std::uint8_t*>(&c)[i] = byte();
        }
        for (StageConfig& s : c.stage) {
            s.MAP_Trigger = pressure();
            s.MAP_End = pressure();
            s.MAP_Max = pressure();
        }
        ASSERT_TRUE(SaveConfig(m_settings, c));
        const ControllerConfig loaded = Load();

        ControllerConfig expected{};  // what the INI covers
        expected.flags = c.flags & (kRpmPresentBit | kMapInBarBit);
        expected.RPM_Multiplier = c.RPM_Multiplier;
        expected.Input_Type1 = c.Input_Type1;
        expected.Input_Type2 = c.Input_Type2;
        for (int i = 0; i < 2; ++i) {
            StageConfig& e = expected.stage[i];
            const StageConfig& s = c.stage[i];
            e.flags = s.flags & 0x7F;
            e.RPM_Max = s.RPM_Max;
            e.MAP_Max = s.MAP_Max;
            e.Frequency = s.Frequency;
            std::memcpy(e.Percent, s.Percent, sizeof e.Percent);
            e.RPM_Trigger = s.RPM_Trigger;
            e.Delay_Time = s.Delay_Time;
            e.Ramp_Time = s.Ramp_Time;
            e.MAP_Trigger = s.MAP_Trigger;
            e.MAP_End = s.MAP_End;
        }
        ASSERT_TRUE(SameRecord(loaded, expected)) << "round " << round;

        // Any pressure field: two decimals keep it within two steps, and a second save
        // changes nothing more.
        ControllerConfig any = loaded;
        any.stage[0].MAP_Max = static_cast<std::int16_t>(word() % 32767);
        any.stage[1].MAP_Trigger = static_cast<std::int16_t>(word() % 32767);
        ASSERT_TRUE(SaveConfig(m_settings, any));
        const ControllerConfig once = Load();
        EXPECT_LE(std::abs(once.stage[0].MAP_Max - any.stage[0].MAP_Max), 2);
        EXPECT_LE(std::abs(once.stage[1].MAP_Trigger - any.stage[1].MAP_Trigger), 2);
        ASSERT_TRUE(SaveConfig(m_settings, once));
        EXPECT_TRUE(SameRecord(Load(), once));
    }
}

TEST_F(SettingsFile, OneSaveEqualsTheSameWritesMadeOneByOne) {
    const std::string start =
        "; kept\r\n[Zentrik Config]\r\nstage 2 percent 7=1\r\n[Other]\r\nx=y\r\n";
    ControllerConfig c = DefaultRecord();
    c.RPM_Multiplier = -20;
    SetTIME_Based(c.stage[1], true);
    c.stage[1].MAP_End = -3763;
    c.stage[0].Percent[7] = 200;

    WriteAll(m_path, start);
    ASSERT_TRUE(SaveConfig(m_settings, c));
    const std::string batch = ReadAll(m_path);

    WriteAll(m_path, start);
    const std::string_view s = kConfigSection;
    ASSERT_TRUE(m_settings.WriteInt(s, "RPM_Multiplier", c.RPM_Multiplier));
    ASSERT_TRUE(m_settings.WriteBool(s, "RPM_Present", RPM_Present(c)));
    ASSERT_TRUE(m_settings.WriteBool(s, "MAP_In_bar", MAP_In_bar(c)));
    ASSERT_TRUE(m_settings.WriteInt(s, "Input_Type1", c.Input_Type1));
    ASSERT_TRUE(m_settings.WriteInt(s, "Input_Type2", c.Input_Type2));
    for (int i = 0; i < 2; ++i) {
        const StageConfig& st = c.stage[i];
        const std::string p = "Stage " + std::to_string(i + 1) + " ";
        ASSERT_TRUE(m_settings.WriteBool(s, p + "Present", Present(st)));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "Trig_Sx1_Config", Trig_Sx1_Config(st)));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "Trig_Sx2_Config", Trig_Sx2_Config(st)));
        ASSERT_TRUE(m_settings.WriteBool(s, p + "First Gear Lockout", First_Gear_Lockout(st)));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "Frequency", st.Frequency));
        ASSERT_TRUE(m_settings.WriteBool(s, p + "TIME Based", TIME_Based(st)));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "RPM Trigger", st.RPM_Trigger));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "RPM Max", st.RPM_Max));
        ASSERT_TRUE(m_settings.WriteFloat(s, p + "MAP Trigger", st.MAP_Trigger * 0.00390625f));
        ASSERT_TRUE(m_settings.WriteFloat(s, p + "MAP End", st.MAP_End * 0.00390625f));
        ASSERT_TRUE(m_settings.WriteFloat(s, p + "MAP Max", st.MAP_Max * 0.00390625f));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "Delay Time", st.Delay_Time));
        ASSERT_TRUE(m_settings.WriteInt(s, p + "Ramp Time", st.Ramp_Time));
        for (int k = 0; k < kPercentPoints; ++k) {
            ASSERT_TRUE(m_settings.WriteInt(s, p + "Percent " + std::to_string(k), st.Percent[k]));
        }
    }
    EXPECT_EQ(ReadAll(m_path), batch);
    EXPECT_NE(batch.find("stage 2 percent 7=16\r\n"), std::string::npos);
}

TEST_F(SettingsFile, TypedReadsAndWrites) {
    const std::string_view s = "Typed";
    EXPECT_EQ(m_settings.ReadInt(s, "n", 17), 17);
    ASSERT_TRUE(m_settings.WriteInt(s, "n", -5));
    EXPECT_EQ(m_settings.ReadInt(s, "N", 17), -5);

    ASSERT_TRUE(m_settings.WriteBool(s, "flag", 0x101));  // low byte: 1
    EXPECT_EQ(IniFile(ReadAll(m_path)).Value(s, "flag"), "1");
    ASSERT_TRUE(m_settings.WriteBool(s, "flag", 0x100));  // low byte: 0
    EXPECT_FALSE(m_settings.ReadBool(s, "flag", 1));
    EXPECT_TRUE(m_settings.ReadBool(s, "missing", 1));
    EXPECT_FALSE(m_settings.ReadBool(s, "missing", 0x200));  // default taken as its low byte
    ASSERT_TRUE(m_settings.WriteInt(s, "flag", 256));
    EXPECT_TRUE(m_settings.ReadBool(s, "flag", 0));

    EXPECT_DOUBLE_EQ(m_settings.ReadFloat(s, "p", 20.04f), 20.040001);
    ASSERT_TRUE(m_settings.WriteFloat(s, "p", 1.005f));
    EXPECT_EQ(IniFile(ReadAll(m_path)).Value(s, "p"), "1.00");  // 1.00499999523...
    EXPECT_DOUBLE_EQ(m_settings.ReadFloat(s, "p", 5.0f), 1.0);
    ASSERT_TRUE(m_settings.WriteInt(s, "p", 0));
    WriteAll(m_path, "[Typed]\np=psi\nq=\n");
    EXPECT_EQ(m_settings.ReadFloat(s, "p", 5.0f), 0.0);
    EXPECT_EQ(m_settings.ReadFloat(s, "q", 5.0f), 0.0);  // present but empty: not the default
}

TEST_F(SettingsFile, SettingsSectionKeepsUnusedValuesAndTakesTheFoundPort) {
    WriteAll(m_path, "[Zentrik Settings]\nCommSpeed=9600\nCommPort=3\nFuture=kept\n");
    m_settings.LoadSettings();
    EXPECT_EQ(m_settings.CommSpeed, 9600);
    m_settings.SetCommPort(5);
    m_settings.Smooth = true;
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_EQ(ReadAll(m_path),
              "[Zentrik Settings]\nCommSpeed=9600\nCommPort=5\nFuture=kept\nTimeout=40\n"
              "CRCRetry=3\nTimeoutRetry=3\nSmooth=1\n");
    AppSettings next;
    next.SetPath(m_path);
    next.LoadSettings();
    EXPECT_EQ(next.CommPort, 5);
    EXPECT_TRUE(next.Smooth);
}

TEST_F(SettingsFile, OptionalFeaturesAreWrittenOnceTurnedOnAndStayOffOnceTurnedOff) {
    WriteAll(m_path, "[Zentrik Settings]\nCommPort=3\n");
    m_settings.LoadSettings();
    EXPECT_FALSE(m_settings.VerifyUpload);
    EXPECT_FALSE(m_settings.BackupBeforeUpgrade);
    EXPECT_EQ(m_settings.PortDevice, "");
    m_settings.VerifyUpload = true;
    m_settings.PortDevice = "/dev/ttyUSB3";
    ASSERT_TRUE(m_settings.SaveSettings());
    const std::string on = ReadAll(m_path);
    EXPECT_NE(on.find("VerifyUpload=1\n"), std::string::npos) << on;
    EXPECT_NE(on.find("PortDevice=/dev/ttyUSB3\n"), std::string::npos) << on;
    EXPECT_EQ(on.find("BackupBeforeUpgrade"), std::string::npos) << "never turned on: " << on;

    AppSettings next;
    next.SetPath(m_path);
    next.LoadSettings();
    EXPECT_TRUE(next.VerifyUpload);
    EXPECT_EQ(next.PortDevice, "/dev/ttyUSB3");
    // Turned off again: the file must say so, or the next run would turn them back on.
    next.VerifyUpload = false;
    next.PortDevice.clear();
    ASSERT_TRUE(next.SaveSettings());
    m_settings.LoadSettings();
    EXPECT_FALSE(m_settings.VerifyUpload);
    EXPECT_EQ(m_settings.PortDevice, "");

    // Strings read like the other profile values: quotes dropped, cut to the buffer.
    WriteAll(m_path, "[Zentrik Settings]\nPortDevice = \"COM7\" \nBackupBeforeUpgrade=2\n");
    m_settings.LoadSettings();
    EXPECT_EQ(m_settings.PortDevice, "COM7");
    EXPECT_TRUE(m_settings.BackupBeforeUpgrade);
    EXPECT_EQ(m_settings.ReadString("S", "missing", "dflt"), "dflt");
    ASSERT_TRUE(m_settings.WriteString("S", "long", std::string(300, 'x')));
    EXPECT_EQ(m_settings.ReadString("S", "long", ""), std::string(259, 'x'));
    EXPECT_FALSE(m_settings.WriteString("S", "k", "two\nlines"));
}

TEST_F(SettingsFile, DocumentLoadAndSaveScaleWithoutUnitConversion) {
    WriteAll(m_path, "[Zentrik Config]\nMAP_In_bar=1\nStage 2 MAP Max=1.5\n");
    ConfigDocument doc;
    LoadDocument(m_settings, doc);
    EXPECT_TRUE(MAP_In_bar(doc.record));
    EXPECT_EQ(doc.displayPressures[PressureIndex(1, PressureField::MAP_Max)], 1.5);
    EXPECT_EQ(doc.displayPressures[PressureIndex(0, PressureField::MAP_Max)], 5130 / 256.0);

    doc.displayPressures[PressureIndex(0, PressureField::MAP_End)] = 0.999738;
    ASSERT_TRUE(SaveDocument(m_settings, doc));
    EXPECT_EQ(doc.record.stage[0].MAP_End, 255);  // trunc(255.93)
    const IniFile saved(ReadAll(m_path));
    EXPECT_EQ(saved.Value(kConfigSection, "Stage 1 MAP End"), "1.00");
    EXPECT_EQ(saved.Value(kConfigSection, "Stage 2 MAP Max"), "1.50");
}

TEST_F(SettingsFile, EmptyOrJunkFilesLoadDefaultsAndKeepTheirBytes) {
    const std::string long10k(10000, 'L');
    const std::string junk = std::string("\0\x01\xfe\xff garbage\n", 14) + long10k + "\n" +
                             "Stage 1 Frequency=33\n[Zentrik Config\nno equals\n" +
                             "Stage 1 Frequency=" + long10k;
    for (const std::string& bytes : {std::string(), junk}) {
        WriteAll(m_path, bytes);
        // "[Zentrik Config" without ']' still names the section; its key is a 10,000-digit
        // non-number that reads as 0.
        ControllerConfig expected = DefaultRecord();
        if (!bytes.empty()) {
            expected.stage[0].Frequency = 0;
        }
        EXPECT_TRUE(SameRecord(Load(), expected));
        ASSERT_TRUE(SaveConfig(m_settings, DefaultRecord()));
        const std::string saved = ReadAll(m_path);
        if (bytes.empty()) {
            EXPECT_EQ(saved.rfind("[Zentrik Config]\r\nRPM_Multiplier=0\r\n", 0), 0u);
        } else {
            EXPECT_EQ(saved.rfind(junk.substr(0, junk.size() - 10000), 0), 0u);
            EXPECT_NE(saved.find(long10k + "\n"), std::string::npos);
        }
        EXPECT_TRUE(SameRecord(Load(), DefaultRecord()));
    }
}

TEST_F(SettingsFile, ReadOnlyFileOrFolderMakesTheSaveFailUntouched) {
    const std::string before = "[Zentrik Config]\r\nRPM_Multiplier=4\r\n";
    WriteAll(m_path, before);
    chmod(m_path.c_str(), 0444);
    struct stat st1;
    ASSERT_EQ(stat(m_path.c_str(), &st1), 0);
    EXPECT_FALSE(SaveConfig(m_settings, DefaultRecord()));
    EXPECT_FALSE(m_settings.WriteInt(kConfigSection, "RPM_Multiplier", 1));
    EXPECT_FALSE(m_settings.SaveSettings());
    struct stat st2;
    ASSERT_EQ(stat(m_path.c_str(), &st2), 0);
    EXPECT_EQ(st1.st_ino, st2.st_ino);
    EXPECT_EQ(ReadAll(m_path), before);
    EXPECT_EQ(m_settings.ReadInt(kConfigSection, "RPM_Multiplier", 0), 4);  // still readable

    chmod(m_path.c_str(), 0640);
    chmod(m_folder.c_str(), 0555);
    EXPECT_FALSE(SaveConfig(m_settings, DefaultRecord()));
    chmod(m_folder.c_str(), 0700);
    EXPECT_EQ(ReadAll(m_path), before);
    EXPECT_EQ(FolderEntries(m_folder), std::vector<std::string>{"Zentrik.ini"});

    // A writable file keeps its permissions across the replace.
    ASSERT_TRUE(SaveConfig(m_settings, DefaultRecord()));
    ASSERT_EQ(stat(m_path.c_str(), &st2), 0);
    EXPECT_EQ(st2.st_mode & 07777, 0640u);
}

TEST_F(SettingsFile, UnreadableOrMisplacedPathsNeverLoseData) {
    // The path names a folder: defaults on load, and the save fails.
    ASSERT_EQ(mkdir(m_path.c_str(), 0700), 0);
    EXPECT_TRUE(SameRecord(Load(), DefaultRecord()));
    EXPECT_FALSE(SaveConfig(m_settings, DefaultRecord()));
    rmdir(m_path.c_str());

    // No path at all: defaults, and writes report failure.
    AppSettings unset;
    EXPECT_EQ(unset.ReadInt(kSettingsSection, "CommPort", 8), 8);
    EXPECT_FALSE(unset.WriteInt(kSettingsSection, "CommPort", 8));

    // A missing folder is not created for a chosen path.
    AppSettings elsewhere;
    elsewhere.SetPath(m_folder + "/missing/Zentrik.ini");
    EXPECT_FALSE(elsewhere.SaveSettings());
    EXPECT_TRUE(FolderEntries(m_folder).empty());
}

TEST_F(SettingsFile, PerUserFolderIsCreatedOnlyWhenAsked) {
    const std::string path = m_folder + "/config/zentrik/Zentrik.ini";
    EXPECT_FALSE(ReplaceFileBytes(path, "[A]\r\nk=1\r\n", false));
    ASSERT_TRUE(ReplaceFileBytes(path, "[A]\r\nk=1\r\n", true));
    EXPECT_EQ(ReadAll(path), "[A]\r\nk=1\r\n");
    unlink(path.c_str());
    rmdir((m_folder + "/config/zentrik").c_str());
    rmdir((m_folder + "/config").c_str());
}

TEST_F(SettingsFile, SettingsLeftBesideAReadOnlyProgramAreReadUntilThePerUserFileExists) {
    const std::string beside = m_folder + "/beside.ini";
    const std::string user = m_folder + "/user/Zentrik.ini";
    WriteAll(beside, "; mine\r\n[Zentrik Settings]\r\nCommPort=7\r\n");
    AppSettings settings;
    settings.SetLocation({user, true, beside});
    settings.LoadSettings();
    EXPECT_EQ(settings.CommPort, 7);
    settings.SetCommPort(9);
    ASSERT_TRUE(settings.SaveSettings());
    EXPECT_EQ(Lines(ReadAll(user))[0], "; mine\r");
    EXPECT_NE(ReadAll(beside).find("CommPort=7"), std::string::npos);
    // Once the per-user file exists it is the one read.
    settings.LoadSettings();
    EXPECT_EQ(settings.CommPort, 9);
    unlink(user.c_str());
    rmdir((m_folder + "/user").c_str());
}

TEST_F(SettingsFile, SaveThroughASymbolicLinkKeepsTheLink) {
    const std::string real = m_folder + "/real.ini";
    WriteAll(real, "[Zentrik Settings]\r\nCommPort=2\r\n");
    ASSERT_EQ(symlink(real.c_str(), m_path.c_str()), 0);
    m_settings.LoadSettings();
    m_settings.SetCommPort(9);
    ASSERT_TRUE(m_settings.SaveSettings());
    struct stat st;
    ASSERT_EQ(lstat(m_path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(IniFile(ReadAll(real)).Value(kSettingsSection, "CommPort"), "9");
}

// A process in the middle of a save: it has created a temporary file beside the INI file
// under the save's naming and holds it locked, as ReplaceFileBytes does, until it is killed.
class SaveInProgress {
  public:
    explicit SaveInProgress(const std::string& target) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(m_hold) != 0) {
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            close(m_hold[1]);
            const std::string temp = target + ".tmp-" + std::to_string(getpid()) + "-0";
            const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
            const bool ok = fd >= 0 && flock(fd, LOCK_EX) == 0 && write(fd, "[half", 5) == 5;
            [[maybe_unused]] ssize_t n = write(ready[1], ok ? "1" : "0", 1);
            char byte;
            n = read(m_hold[0], &byte, 1);  // until the test lets go or kills it
            _exit(0);
        }
        close(ready[1]);
        close(m_hold[0]);
        char byte = '0';
        m_ready = read(ready[0], &byte, 1) == 1 && byte == '1';
        close(ready[0]);
        m_temp = target + ".tmp-" + std::to_string(m_pid) + "-0";
    }
    ~SaveInProgress() { Kill(); }

    bool Ready() const { return m_pid > 0 && m_ready; }
    const std::string& Temp() const { return m_temp; }
    // Dies as a killed save would: no clean-up, the kernel drops its lock.
    void Kill() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
            close(m_hold[1]);
            m_pid = -1;
        }
    }

  private:
    pid_t m_pid = -1;
    int m_hold[2] = {-1, -1};
    bool m_ready = false;
    std::string m_temp;
};

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST_F(SettingsFile, ASaveRemovesWhatDeadSavesLeftButNotALiveSavesFile) {
    SaveInProgress dead(m_path), live(m_path);
    ASSERT_TRUE(dead.Ready() && live.Ready());
    dead.Kill();
    // Left by an older run that did not lock, and files that only look similar.
    const std::string unlocked = m_path + ".tmp-999999-3";
    const std::string otherFiles = m_folder + "/Other.ini.tmp-1-0";
    const std::string folder = m_path + ".tmp-folder";
    WriteAll(unlocked, "[stale");
    WriteAll(otherFiles, "[other");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);

    m_settings.SetCommPort(4);
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_FALSE(Exists(dead.Temp())) << "a killed save's file stays";
    EXPECT_FALSE(Exists(unlocked));
    EXPECT_TRUE(Exists(live.Temp())) << "a live save's file was removed under it";
    EXPECT_TRUE(Exists(otherFiles));
    EXPECT_TRUE(Exists(folder));
    EXPECT_EQ(IniFile(ReadAll(m_path)).Value(kSettingsSection, "CommPort"), "4");

    // Once that save has died, the next save takes its file away too.
    live.Kill();
    ASSERT_TRUE(m_settings.SaveSettings());
    EXPECT_FALSE(Exists(live.Temp()));
    rmdir(folder.c_str());
    unlink(otherFiles.c_str());
}

}  // namespace
}  // namespace zentrik
