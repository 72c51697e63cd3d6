// The frame's configuration commands with the simulator as the controller: files opened and
// saved, the comparison and what the user does with it, the chosen port.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "config/config_file.h"
#include "config/config_persistence.h"
#include "config/file_store.h"
#include "config/history_store.h"
#include "editor/compare_texts.h"
#include "editor/control_ids.h"
#include "editor/stage_form.h"
#include "fake_skin.h"
#include "link/serial/device_name.h"
#include "shell/history_texts.h"
#include "shell/shell_texts.h"
#include "support/sample_config.h"
#include "support/simulator.h"
#include "support/switchable_bridges.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

namespace texts = shell_texts;

bool SameRecord(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0;
}

// Told of every refresh, as the form is.
struct Refreshes : DocumentView {
    std::vector<int> hints;
    void OnUpdate(int hint) override { hints.push_back(hint); }
};

class ConfigCommands : public ::testing::Test {
  protected:
    ~ConfigCommands() override { UnsetVariable(kPortOverrideVariable); }

    void Start(const std::string& device, const std::string& settings = "") {
        if (!device.empty()) {
            SetVariable(kPortOverrideVariable, device);
        }
        WriteFile(m_ini, "[Zentrik Settings]\nTimeout=500\n" + settings);
        m_settings.SetPath(m_ini);
        m_doc.AddView(&m_refreshes);
        m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                               std::make_unique<SwitchableBridges>(m_attached));
        m_skin.shell = m_shell.get();
        m_shell->Create();
        m_doc.OnNewDocument();
    }
    bool Idle() { return m_shell->Link().QueueLength() == 0 && !m_shell->Link().requestInFlight(); }
    static void WriteFile(const std::string& path, const std::string& text) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }

    std::string m_dir = MakeTempDir();
    std::string m_ini = m_dir + "/Zentrik.ini";
    AppSettings m_settings;
    CQuarnelDoc m_doc{m_settings};
    Refreshes m_refreshes;
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(true);
    FakeSkin m_skin;
    std::unique_ptr<FrameShell> m_shell;
};

TEST_F(ConfigCommands, SavedAndOpenedFilesGiveBackTheDocumentAndAFileWithoutItChangesNothing) {
    Start({});
    m_doc.Document() = SampleConfigDocument();
    SetMAP_In_bar(m_doc.Document().record, true);  // the sample's pressures, read as bar
    const ConfigDocument saved = m_doc.Document();
    m_skin.fileChoice = m_dir + "/tune.zcfg";
    m_shell->OnCommand(texts::kIdSaveConfigurationAs);
    EXPECT_EQ(m_skin.suggestedName.rfind("zentrik-", 0), 0u);
    EXPECT_EQ(m_shell->StatusText(), "Configuration saved to " + m_dir + "/tune.zcfg");
    EXPECT_EQ(m_skin.commits, 1);  // what was typed is saved too

    // Opened while this computer is set to psi: the file's unit comes with it.
    m_doc.Document() = ConfigDocument{};
    m_shell->OnCommand(texts::kIdOpenConfiguration);
    EXPECT_TRUE(SameRecord(m_doc.Document(), [&] {
        ConfigDocument expected = saved;
        SyncRecordPressures(expected);
        return expected;
    }()));
    EXPECT_TRUE(MAP_In_bar(m_doc.Document().record));
    // Another document: the form forgets the curve history of the one before.
    EXPECT_EQ(m_refreshes.hints, std::vector<int>{StageForm::kHintReplaced});
    EXPECT_EQ(m_shell->StatusText(), "Configuration opened from " + m_dir + "/tune.zcfg");

    // Neither a file without the section nor a folder changes anything.
    const ConfigDocument before = m_doc.Document();
    WriteFile(m_dir + "/other.ini", "[Zentrik Settings]\nTimeout=40\n");
    for (const auto& [path, text] :
         {std::pair{m_dir + "/other.ini", "The file holds no Zentrik configuration."},
          std::pair{m_dir, "This is a folder, not a configuration file."}}) {
        m_skin.fileChoice = path;
        m_shell->OnCommand(texts::kIdOpenConfiguration);
        ASSERT_FALSE(m_skin.boxes.empty());
        EXPECT_EQ(m_skin.boxes.back().text, text);
        EXPECT_TRUE(SameRecord(m_doc.Document(), before));
    }
    EXPECT_EQ(m_refreshes.hints.size(), 1u);
}

TEST_F(ConfigCommands, TheComparisonShowsTheDifferencesAndDoesWhatTheUserChooses) {
    const std::string source = m_dir + "/controller.ini";
    {
        AppSettings controller;
        controller.SetPath(source);
        ConfigDocument doc = SampleConfigDocument();
        ASSERT_TRUE(SaveDocument(controller, doc));
    }
    const std::string record = m_dir + "/record.txt";
    Simulator sim({"--config", source, "--record", record});
    Start(sim.Device());
    ASSERT_TRUE(m_shell->Command(texts::kIdCompare).enabled);
    m_doc.Document() = SampleConfigDocument();
    m_doc.Document().record.stage[0].RPM_Max = 6000;  // the sample's controller holds 6500

    m_skin.compareChoice = CompareChoice::UseControllers;
    m_shell->OnCommand(texts::kIdCompare);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && !m_skin.compares.empty(); }));
    ASSERT_EQ(m_skin.compares.size(), 1u);
    ASSERT_EQ(m_skin.compares[0].size(), 1u);
    EXPECT_EQ(m_skin.compares[0][0].setting, "Stage 1 RPM Cutoff");
    EXPECT_EQ(m_doc.Document().record.stage[0].RPM_Max, 6500);  // the controller's, taken
    EXPECT_EQ(m_refreshes.hints, std::vector<int>{1});
    EXPECT_TRUE(m_skin.noticeTitles.empty());

    // Nothing differs now: a box says so.
    m_shell->OnCommand(texts::kIdCompare);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && !m_skin.boxes.empty(); }));
    EXPECT_EQ(m_skin.boxes.back().caption, "Compare With Controller");
    EXPECT_EQ(m_skin.boxes.back().text,
              "The controller holds the same configuration as this computer.");

    // Upload This sends this computer's configuration.
    m_doc.Document().record.stage[1].Frequency = 40;
    m_skin.compareChoice = CompareChoice::UploadThis;
    m_shell->OnCommand(texts::kIdCompare);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 1; }));
    EXPECT_EQ(m_skin.noticeTitles[0], "Config Uploaded");
    EXPECT_EQ(m_skin.compares.size(), 2u);
}

TEST_F(ConfigCommands, MarksFollowWhatTheControllerHoldsAndClearAfterAGoodUpload) {
    const std::string source = m_dir + "/controller.ini";
    {
        AppSettings controller;
        controller.SetPath(source);
        ConfigDocument doc = SampleConfigDocument();
        ASSERT_TRUE(SaveDocument(controller, doc));
    }
    Simulator sim({"--config", source});
    struct OwnDataHome {  // this test's own history, whatever the test's end
        const char* kept = std::getenv("XDG_DATA_HOME");
        std::string value = kept ? kept : "";
        ~OwnDataHome() {
            kept ? SetVariable("XDG_DATA_HOME", value) : UnsetVariable("XDG_DATA_HOME");
        }
    } ownDataHome;
    SetVariable("XDG_DATA_HOME", m_dir);
    Start(sim.Device());
    EXPECT_EQ(m_skin.shownMarkers.paneText, "Controller's settings unknown");
    m_shell->OnCommand(texts::kIdControllerInfo);
    m_shell->OnCommand(texts::kIdDownload);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && m_skin.noticeTitles.size() == 1; }));
    EXPECT_EQ(m_skin.shownMarkers.paneText, "All settings uploaded");

    m_doc.Document().record.stage[0].RPM_Max = 6000;  // the controller holds 6500
    m_shell->OnFormChanged();
    EXPECT_EQ(m_skin.shownMarkers.paneText, "1 setting not uploaded");
    EXPECT_EQ(m_skin.shownMarkers.Marker(control_ids::kRpmCutoff, 0).kind, MarkerKind::Differs);
    m_shell->OnMarkersPaneDoubleClicked();
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && m_skin.compares.size() == 1; }));

    m_shell->OnCommand(texts::kIdUpload);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 2; }));
    EXPECT_EQ(m_skin.noticeTitles[1], "Config Uploaded");
    EXPECT_EQ(m_skin.shownMarkers.paneText, "All settings uploaded");
    EXPECT_EQ(m_skin.shownMarkers.Marker(control_ids::kRpmCutoff, 0).kind, MarkerKind::None);

    // The next run knows from the history what this controller holds.
    m_shell.reset();
    m_skin.shownMarkers = {};
    m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                           std::make_unique<SwitchableBridges>(m_attached));
    m_skin.shell = m_shell.get();
    m_shell->Create();
    EXPECT_EQ(m_skin.shownMarkers.paneText, "All settings uploaded");
}

TEST_F(ConfigCommands, OnlyTheTickedRowsAreTakenOrUploaded) {
    Simulator sim;  // the factory configuration: Stage 1 RPM Cutoff 5000, Percent 3 20
    Start(sim.Device());
    ConfigDocument& doc = m_doc.Document();
    doc.record.stage[0].RPM_Max = 6000;
    doc.record.stage[0].Percent[3] = 250;
    doc.record.stage[1].Frequency = 40;
    const ConfigDocument here = doc;
    const auto compare = [&](CompareChoice choice, std::vector<bool> ticks) {
        m_skin.compareChoice = choice;
        m_skin.compareTicks = std::move(ticks);  // RPM Cutoff, Percent 3, Frequency
        const std::size_t before = m_skin.compares.size() + m_skin.boxes.size();
        m_shell->OnCommand(texts::kIdCompare);
        ASSERT_TRUE(m_skin.DeliverUntil(
            [&] { return Idle() && m_skin.compares.size() + m_skin.boxes.size() > before; }));
    };
    for (const CompareChoice choice : {CompareChoice::UseControllers, CompareChoice::UploadThis}) {
        compare(choice, {false, false, false});
        EXPECT_EQ(m_shell->StatusText(), "No setting was ticked; nothing was changed");
        EXPECT_TRUE(SameRecord(doc, here));
    }
    compare(CompareChoice::UseControllers, {false, true, false});
    EXPECT_EQ(m_shell->StatusText(), "1 of the controller's settings taken");
    EXPECT_EQ(doc.record.stage[0].Percent[3], 20);
    EXPECT_EQ(doc.record.stage[0].RPM_Max, 6000);
    doc = here;

    // The check finds this computer's Percent 3; cancelled, the form is as it was.
    m_skin.answers = {MessageAnswer::Cancel};
    compare(CompareChoice::UploadThis, {false, true, true});
    EXPECT_TRUE(SameRecord(doc, here));
    EXPECT_EQ(m_shell->Link().Counters().sentCount, 4) << "the comparisons' downloads alone";
    m_skin.answers = {MessageAnswer::Ok};
    compare(CompareChoice::UploadThis, {false, true, true});
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 1; }));
    EXPECT_EQ(doc.record.stage[0].RPM_Max, 5000);  // the controller's, kept
    EXPECT_EQ(doc.record.stage[0].Percent[3], 100);
    EXPECT_EQ(doc.record.stage[1].Frequency, 40);
    compare(CompareChoice::Close, {});  // the controller holds what the form shows
    EXPECT_EQ(m_skin.boxes.back().text, compare_texts::kNoDifferences);
}

TEST_F(ConfigCommands, TheSetupSheetNamesTheFileAndTheControllerOnceKnownAndOpensInTheBrowser) {
    Simulator sim({"--serial", "030A00000000BEEF", "--version", "0102"});
    Start(sim.Device());
    m_doc.Document() = SampleConfigDocument();
    const std::string sheet = m_dir + "/sheet.html";
    m_skin.fileChoice = m_dir + "/tune.zcfg";
    m_shell->OnCommand(texts::kIdSaveConfigurationAs);
    m_skin.fileChoice = sheet;
    m_shell->OnCommand(texts::kIdExportSetupSheet);
    EXPECT_EQ(m_skin.suggestedName, "zentrik-sheet-" + TodayText() + ".html");
    EXPECT_EQ(m_shell->StatusText(), "Setup sheet saved to " + sheet);
    EXPECT_EQ(m_skin.browsed, std::vector<std::string>{sheet});
    EXPECT_EQ(m_skin.commits, 2);
    std::string html;
    ASSERT_EQ(ReadFileBytes(sheet, html), FileReadStatus::Ok);
    EXPECT_NE(html.find("<dd>tune.zcfg</dd>"), std::string::npos);
    EXPECT_EQ(html.find("Serial Number"), std::string::npos);

    // Once the controller has told who it is, the sheet says so.
    m_shell->OnCommand(texts::kIdControllerInfo);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && !m_skin.boxes.empty(); }));
    m_shell->OnCommand(texts::kIdExportSetupSheet);
    ASSERT_EQ(ReadFileBytes(sheet, html), FileReadStatus::Ok);
    EXPECT_NE(html.find("<dd>030A00000000BEEF</dd>"), std::string::npos);
    EXPECT_NE(html.find("<dd>0102</dd>"), std::string::npos);

    // A file that cannot be written: a box, and nothing shown.
    const std::size_t boxes = m_skin.boxes.size();
    m_skin.fileChoice = m_dir + "/missing/sheet.html";
    m_shell->OnCommand(texts::kIdExportSetupSheet);
    ASSERT_EQ(m_skin.boxes.size(), boxes + 1);
    EXPECT_EQ(m_skin.boxes.back().caption, "Export Setup Sheet");
    EXPECT_EQ(m_skin.boxes.back().text,
              "The setup sheet could not be saved to " + m_dir + "/missing/sheet.html.");
    EXPECT_EQ(m_skin.browsed.size(), 2u);
    EXPECT_EQ(m_shell->StatusText(), "Setup sheet saved to " + sheet);
}

TEST_F(ConfigCommands, AFileLackingSettingsOpensOnlyWhenAskedAndUploadsOnlyCorrected) {
    Simulator sim;
    Start(sim.Device());
    const ConfigDocument before = m_doc.Document();
    const std::string file = m_dir + "/edited.zcfg";
    WriteFile(file, "[Zentrik Config]\nStage 1 Percent 3=250\nStage 2 RPM Max=99999\n");
    m_skin.fileChoice = file;
    for (const MessageAnswer answer : {MessageAnswer::Cancel, MessageAnswer::Ok}) {
        m_skin.answers = {answer};
        m_shell->OnCommand(texts::kIdOpenConfiguration);
        const BoxRequest& box = m_skin.boxes.back();
        EXPECT_EQ(box.text,
                  "The file lacks 69 of the 71 settings of a configuration.\nOpen it anyway, "
                  "with the default values for the missing settings?");
        EXPECT_EQ(box.acceptButton, "Open Anyway");
        EXPECT_EQ(box.cancelButton, "Cancel");
        EXPECT_EQ(SameRecord(m_doc.Document(), before), answer == MessageAnswer::Cancel);
    }
    EXPECT_EQ(m_doc.Document().record.stage[0].Percent[3], 250);

    // Upload, and Compare's Upload This: nothing goes unless the user corrects.
    const std::vector<std::string> problems = {
        "Stage 1 Percent 3 is 250%; it must be 0 to 100%.",
        "Stage 2 RPM Cutoff is \"99999\" in the file; it must be 1000 to 20000 RPM."};
    m_skin.answers = {MessageAnswer::Cancel};
    m_shell->OnCommand(texts::kIdUpload);
    m_skin.answers = {MessageAnswer::Cancel};
    m_skin.compareChoice = CompareChoice::UploadThis;
    m_shell->OnCommand(texts::kIdCompare);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return Idle() && !m_skin.compares.empty(); }));
    EXPECT_EQ(m_shell->Link().Counters().sentCount, 1) << "the comparison's download alone";
    ASSERT_EQ(m_skin.boxes.size(), 4u);
    for (const BoxRequest* box : {&m_skin.boxes[2], &m_skin.boxes[3]}) {
        EXPECT_EQ(box->caption, "Check Before Upload");
        EXPECT_EQ(box->items, problems);
        EXPECT_EQ(box->acceptButton, "&Correct and Upload");
    }

    m_skin.answers = {MessageAnswer::Ok};
    m_shell->OnCommand(texts::kIdUpload);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 1; }));
    EXPECT_EQ(m_skin.noticeTitles[0], "Config Uploaded");
    EXPECT_EQ(m_doc.Document().record.stage[0].Percent[3], 100);
    EXPECT_EQ(m_doc.Document().record.stage[1].RPM_Max, 20000);
    EXPECT_TRUE(m_doc.Check().empty());
}

TEST_F(ConfigCommands, AChosenPortIsOpenedKeptAcrossARestartAndReopenedWhenItComesBack) {
    const std::string link = m_dir + "/controller";
    auto sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    *m_attached = false;  // automatic discovery finds nothing
    Start({});
    EXPECT_FALSE(m_shell->Link().IsPortOpen());
    const std::vector<PortChoice> choices = m_shell->PortChoices();
    ASSERT_FALSE(choices.empty());
    EXPECT_EQ(choices[0].id, texts::kIdPortAutomatic);
    EXPECT_TRUE(choices[0].checked);

    // The pseudo-terminal is not on USB, so the list does not hold it: the settings do.
    m_settings.PortDevice = link;
    m_shell->OnCommand(texts::kIdScan);
    EXPECT_TRUE(m_shell->Link().IsPortOpen());
    EXPECT_FALSE(m_shell->PortChoices()[0].checked);

    m_shell.reset();  // the frame goes; the choice is saved with the settings
    AppSettings reread;
    reread.SetPath(m_ini);
    reread.LoadSettings();
    EXPECT_EQ(reread.PortDevice, link);
    m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                           std::make_unique<SwitchableBridges>(m_attached));
    m_skin.shell = m_shell.get();
    m_shell->Create();
    EXPECT_TRUE(m_shell->Link().IsPortOpen());

    // Unplugged: the hang-up closes it; plugged back: any device change reopens it.
    sim->Kill();
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return !m_shell->Link().IsPortOpen(); }));
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);  // not back yet: nothing is shown
    EXPECT_FALSE(m_shell->Link().IsPortOpen());
    sim = std::make_unique<Simulator>(std::vector<std::string>{"--link", link});
    m_shell->OnDeviceChange(FrameShell::kDeviceArrival);
    EXPECT_TRUE(m_shell->Link().IsPortOpen());
    EXPECT_TRUE(m_skin.boxes.empty());

    // Automatic again: discovery decides, and finds nothing.
    m_shell->OnCommand(texts::kIdPortAutomatic);
    EXPECT_TRUE(m_settings.PortDevice.empty());
    EXPECT_FALSE(m_shell->Link().IsPortOpen());
}

TEST_F(ConfigCommands, DownloadsGoToTheHistoryWhoseEntriesOpenInPlaceOfTheForm) {
    Simulator sim;
    Start(sim.Device());
    // A history that cannot be written is only told in the status pane.
    const std::string blocked = m_ini + "/history/";
    m_shell->History().SetFolder(blocked);
    m_shell->OnCommand(texts::kIdDownload);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 1; }));
    EXPECT_EQ(m_shell->StatusText(),
              "The configuration history could not be written to " + blocked);

    m_shell->History().SetFolder(m_dir + "/history/");
    m_shell->OnCommand(texts::kIdDownload);
    ASSERT_TRUE(m_skin.DeliverUntil([&] { return m_skin.noticeTitles.size() == 2; }));
    const std::vector<HistoryEntry> entries = HistoryStore(m_dir + "/history/").Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].event, HistoryEvent::Download);
    const ConfigDocument held = m_doc.Document();

    m_doc.Document().record.stage[0].RPM_Max = 1234;
    m_skin.historyChoice = HistoryChoice::Open;
    m_shell->OnCommand(history_texts::kIdHistory);
    ASSERT_EQ(m_skin.histories.size(), 1u);
    ASSERT_EQ(m_skin.histories[0].size(), 1u);
    EXPECT_EQ(m_skin.histories[0][0].differences, "1");
    EXPECT_EQ(m_skin.histories[0][0].controller, "unknown");
    EXPECT_TRUE(SameRecord(m_doc.Document(), held));

    // Compared: the entry's values in the controller's column, taken as Open takes them.
    m_doc.Document().record.stage[0].RPM_Max = 1234;
    m_skin.historyChoice = HistoryChoice::Compare;
    m_skin.compareChoice = CompareChoice::UseControllers;
    m_shell->OnCommand(history_texts::kIdHistory);
    ASSERT_EQ(m_skin.compares.size(), 1u);
    EXPECT_EQ(m_skin.compares[0].at(0).here, "1234");
    EXPECT_TRUE(SameRecord(m_doc.Document(), held));
}

}  // namespace
}  // namespace zentrik::test
