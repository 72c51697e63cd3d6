#include "config/history_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config/config_file.h"
#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

namespace fs = std::filesystem;

constexpr std::time_t kNoon = 1796817600;  // a December day, twelve o'clock UTC

ConfigDocument WithRpm(int rpm) {
    ConfigDocument doc = test::SampleConfigDocument();
    doc.record.stage[0].RPM_Max = static_cast<std::uint16_t>(rpm);
    return doc;
}

std::string Name(const std::string& path) {
    return fs::path(path).filename().string();
}

TEST(HistoryStore, OnlyWhatDiffersFromTheNewestEntryOfTheSameControllerIsRecorded) {
    const HistoryStore store(test::MakeTempDir() + "/data/history/");
    EXPECT_EQ(store.Record(HistoryEvent::Download, WithRpm(6000), "", kNoon),
              HistoryWrite::Written);
    EXPECT_EQ(store.Record(HistoryEvent::Upload, WithRpm(6000), "", kNoon + 5),
              HistoryWrite::Unchanged);
    EXPECT_EQ(store.Record(HistoryEvent::Download, WithRpm(6100), "", kNoon + 6),
              HistoryWrite::Written);
    // Held before, but not by the newest entry; and the same again from another controller.
    EXPECT_EQ(store.Record(HistoryEvent::Download, WithRpm(6000), "", kNoon + 7),
              HistoryWrite::Written);
    EXPECT_EQ(store.Record(HistoryEvent::Compare, WithRpm(6000), "030A0000000000B1", kNoon + 8),
              HistoryWrite::Written);
    const std::vector<HistoryEntry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].event, HistoryEvent::Compare);
    EXPECT_EQ(entries[0].serial, "030A0000000000B1");
    EXPECT_EQ(entries[1].serial, "");
    EXPECT_EQ(ReadConfigFile(entries[2].path).document.record.stage[0].RPM_Max, 6100);

    EXPECT_EQ(store.Newest("")->record.stage[0].RPM_Max, 6000);
    EXPECT_EQ(store.Record(HistoryEvent::Upload, WithRpm(6200), "", kNoon + 9),
              HistoryWrite::Written);
    EXPECT_EQ(store.Newest("030A0000000000B1")->record.stage[0].RPM_Max, 6000);
    EXPECT_FALSE(store.Newest("030A0000000000B2"));
}

TEST(HistoryStore, EntriesOfOneSecondAreNumberedInTheOrderTheyCame) {
    const HistoryStore store(test::MakeTempDir() + "/");
    std::string first, second, third;
    ASSERT_EQ(store.Record(HistoryEvent::Download, WithRpm(6000), "", kNoon, &first),
              HistoryWrite::Written);
    ASSERT_EQ(store.Record(HistoryEvent::Upload, WithRpm(6100), "", kNoon, &second),
              HistoryWrite::Written);
    ASSERT_EQ(store.Record(HistoryEvent::Download, WithRpm(6200), "", kNoon, &third),
              HistoryWrite::Written);
    const std::string stamp = Name(first).substr(0, 16);
    EXPECT_EQ(Name(first), stamp + "download.zcfg");
    EXPECT_EQ(Name(second), stamp + "upload-2.zcfg");
    EXPECT_EQ(Name(third), stamp + "download-3.zcfg");
    const std::vector<HistoryEntry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].path, third);
    EXPECT_EQ(entries[2].path, first);
}

TEST(HistoryStore, KeepsTheNewestTwoHundredAndEveryBackup) {
    const std::string folder = test::MakeTempDir() + "/";
    const HistoryStore store(folder);
    std::string backup;
    ASSERT_EQ(store.Record(HistoryEvent::Backup, WithRpm(5000), "", kNoon - 86400, &backup),
              HistoryWrite::Written);
    const std::string text = ConfigFileText(WithRpm(6000), "the day");
    for (int i = 0; i < 200; ++i) {
        std::ofstream(folder + "20261209-1" + std::to_string(10000 + i) + "-download.zcfg") << text;
    }
    std::ofstream(folder + "notes.txt") << "mine";
    ASSERT_EQ(store.Record(HistoryEvent::Upload, WithRpm(6100), "", kNoon + 86400),
              HistoryWrite::Written);
    const std::vector<HistoryEntry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 201u);
    EXPECT_EQ(entries[0].event, HistoryEvent::Upload);
    EXPECT_EQ(entries.back().path, backup);
    EXPECT_FALSE(fs::exists(folder + "20261209-110000-download.zcfg"));
    EXPECT_TRUE(fs::exists(folder + "20261209-110001-download.zcfg"));
    EXPECT_TRUE(fs::exists(folder + "notes.txt"));
}

TEST(HistoryStore, AFolderThatCannotBeMadeFailsTheRecordOnly) {
    const std::string file = test::MakeTempDir() + "/plain";
    std::ofstream(file) << "not a folder";
    const HistoryStore store(file + "/history/");
    EXPECT_EQ(store.Record(HistoryEvent::Download, WithRpm(6000), "", kNoon), HistoryWrite::Failed);
    EXPECT_TRUE(store.Entries().empty());
    EXPECT_FALSE(store.Newest(""));
}

}  // namespace
}  // namespace zentrik
