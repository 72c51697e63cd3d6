#include "config/config_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "build_version.h"
#include "config/app_settings.h"
#include "config/config_persistence.h"
#include "support/firmware_file.h"
#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool SameDocument(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           a.displayPressures == b.displayPressures;
}

// A document whose every value differs from the defaults and survives two decimals exactly.
ConfigDocument Sample(bool bar) {
    ConfigDocument doc = test::SampleConfigDocument();
    if (bar) {
        SetMAP_In_bar(doc.record, true);
        doc.displayPressures = {0.25, 1.5, 2.75, 0.5, 1.25, 3.0};
        SyncRecordPressures(doc);
    }
    return doc;
}

TEST(ConfigFile, SavedFileOpensAsTheSameDocumentAndPastesIntoTheIniFile) {
    for (const bool bar : {false, true}) {
        SCOPED_TRACE(bar ? "bar" : "psi");
        const std::string dir = test::MakeTempDir();
        ConfigDocument doc = Sample(bar);
        // An edit the record has not caught up with yet: the file takes the edited value.
        doc.displayPressures[PressureIndex(1, PressureField::MAP_End)] = 3.5;
        const std::string path = dir + "/saved.zcfg";
        ASSERT_TRUE(WriteConfigFile(path, doc, false));

        const ConfigFileRead read = ReadConfigFile(path);
        ASSERT_EQ(read.status, ConfigFileStatus::Ok);
        EXPECT_TRUE(read.notes.unfit.empty());
        const ConfigDocument& opened = read.document;
        SyncRecordPressures(doc);
        EXPECT_TRUE(SameDocument(opened, doc));

        // A comment naming the program and the date, then the one section, as Zentrik.ini
        // holds it: the same keys in the same formats.
        const std::string text = test::ReadTextFile(path);
        const std::vector<std::string> lines = Lines(text);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], std::string("; Zentrik configuration, saved by Zentrik ") +
                                kProductVersion + " (build " + kBuildVersion + ") on " +
                                TodayText() + "\r");
        EXPECT_EQ(TodayText().size(), 10u);
        int sections = 0;
        for (const std::string& line : lines) {
            sections += line.starts_with("[");
        }
        EXPECT_EQ(sections, 1);
        AppSettings ini;
        ini.SetPath(dir + "/Zentrik.ini");
        ASSERT_TRUE(SaveDocument(ini, doc));
        EXPECT_EQ(test::IniSectionText(path, "Zentrik Config"),
                  test::IniSectionText(ini.Path(), "Zentrik Config"));
    }
}

TEST(ConfigFile, AFileLackingSettingsIsNamedSoAndReadsInItsUnitWithDefaults) {
    const std::string dir = test::MakeTempDir();
    const std::string path = dir + "/bar.zcfg";
    // Pasted from a Zentrik.ini: another section first, only two keys of ours.
    WriteText(path,
              "[Zentrik Settings]\nTimeout=70\n[Zentrik Config]\nMAP_In_bar=1\n"
              "Stage 1 MAP End=1.50\n");
    const ConfigFileRead read = ReadConfigFile(path);
    ASSERT_EQ(read.status, ConfigFileStatus::Incomplete);
    EXPECT_EQ(ConfigFileProblemText(read),
              "The file lacks 69 of the 71 settings of a configuration.");
    ConfigDocument doc = read.document;

    EXPECT_TRUE(MAP_In_bar(doc.record));
    EXPECT_EQ(doc.displayPressures[PressureIndex(0, PressureField::MAP_End)], 1.5);
    EXPECT_EQ(doc.record.stage[0].MAP_End, 384);
    // Everything else as an INI file without those keys gives it.
    ConfigDocument defaults;
    AppSettings none;
    none.SetPath(dir + "/none.ini");
    LoadDocument(none, defaults);
    EXPECT_EQ(doc.record.stage[0].RPM_Max, 5000);
    doc.record.flags = defaults.record.flags;
    doc.record.stage[0].MAP_End = defaults.record.stage[0].MAP_End;
    doc.displayPressures[PressureIndex(0, PressureField::MAP_End)] =
        defaults.displayPressures[PressureIndex(0, PressureField::MAP_End)];
    EXPECT_TRUE(SameDocument(doc, defaults));
}

TEST(ConfigFile, EachFailureSaysWhatHappenedAndNothingLargeIsReadIn) {
    const std::string dir = test::MakeTempDir();
    const std::string settingsOnly = dir + "/settings.zcfg";
    WriteText(settingsOnly,
              "[Zentrik Settings]\nTimeout=70\n; [Zentrik Config]\nZentrik Config=1\n");
    const std::string folder = dir + "/folder.zcfg";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string locked = dir + "/locked.zcfg";
    ASSERT_TRUE(WriteConfigFile(locked, Sample(true), false));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    // A whole configuration, padded with comments past the limit.
    const std::string large = dir + "/large.zcfg";
    WriteText(large,
              ConfigFileText(Sample(false), "2026-01-01") + std::string(kMaxConfigFileSize, ';'));

    struct Case {
        std::string path;
        ConfigFileStatus status;
        std::string text;
    };
    std::vector<Case> cases = {
        {settingsOnly, ConfigFileStatus::NoConfiguration,
         "The file holds no Zentrik configuration."},
        {folder, ConfigFileStatus::Folder, "This is a folder, not a configuration file."},
        {dir + "/missing.zcfg", ConfigFileStatus::NotFound, "The file does not exist."},
        {large, ConfigFileStatus::TooLarge, "The file is too large to be a configuration."},
        // Endless: read no further than the limit.
        {"/dev/zero", ConfigFileStatus::TooLarge, "The file is too large to be a configuration."},
    };
    if (geteuid() != 0) {  // root reads a file of mode 0
        cases.push_back(
            {locked, ConfigFileStatus::NoPermission, "You have no permission to read the file."});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const ConfigFileRead read = ReadConfigFile(c.path);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(ConfigFileProblemText(read), c.text);
    }
}

}  // namespace
}  // namespace zentrik
