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

        ConfigDocument opened = test::SampleConfigDocument();
        opened.record.reserved94[0] = 0x5A;  // nothing of what was there survives
        ASSERT_EQ(ReadConfigFile(path, opened), ConfigFileStatus::Ok);
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

TEST(ConfigFile, OpensInTheFilesUnitWithDefaultsForMissingKeys) {
    const std::string dir = test::MakeTempDir();
    const std::string path = dir + "/bar.zcfg";
    // Pasted from a Zentrik.ini: another section first, only two keys of ours.
    WriteText(path,
              "[Zentrik Settings]\nTimeout=70\n[Zentrik Config]\nMAP_In_bar=1\n"
              "Stage 1 MAP End=1.50\n");
    ConfigDocument doc = Sample(false);
    ASSERT_FALSE(MAP_In_bar(doc.record));
    ASSERT_EQ(ReadConfigFile(path, doc), ConfigFileStatus::Ok);

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

TEST(ConfigFile, NoSectionAFolderOrAnUnreadableFileChangeNothing) {
    const std::string dir = test::MakeTempDir();
    const std::string settingsOnly = dir + "/settings.zcfg";
    WriteText(settingsOnly,
              "[Zentrik Settings]\nTimeout=70\n; [Zentrik Config]\nZentrik Config=1\n");
    const std::string folder = dir + "/folder.zcfg";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string locked = dir + "/locked.zcfg";
    ASSERT_TRUE(WriteConfigFile(locked, Sample(true), false));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);

    struct Case {
        std::string path;
        ConfigFileStatus status;
    };
    std::vector<Case> cases = {{settingsOnly, ConfigFileStatus::NoConfiguration},
                               {folder, ConfigFileStatus::Unreadable},
                               {dir + "/missing.zcfg", ConfigFileStatus::Unreadable}};
    if (geteuid() != 0) {  // root reads a file of mode 0
        cases.push_back({locked, ConfigFileStatus::Unreadable});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        ConfigDocument doc = Sample(false);
        const ConfigDocument before = doc;
        EXPECT_EQ(ReadConfigFile(c.path, doc), c.status);
        EXPECT_TRUE(SameDocument(doc, before));
    }
}

}  // namespace
}  // namespace zentrik
