// A value typed into the form but not confirmed is what every command and every way of
// closing the window acts on; an upgrade queued behind a request that then fails ends
// visibly and leaves the link idle.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <sstream>

#include "config/config_persistence.h"
#include "editor/control_ids.h"
#include "link/link_texts.h"
#include "shell/shell_texts.h"
#include "support/firmware_file.h"
#include "support/sample_config.h"
#include "support/test_paths.h"
#include "ui/qt/controller_tool_bar.h"
#include "ui/qt/numeric_edit.h"
#include "ui/qt/quarnel_view.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

using namespace control_ids;

namespace texts = shell_texts;
using uitest::WaitUntil;

constexpr const char* kDrivenTimerSettings =
    "[Zentrik Settings]\nTimeout=60000\nTimeoutRetry=3\nCRCRetry=3\n";

// The frames the simulator received, one per line of its record file.
std::vector<std::string> RecordedFrames(const std::string& record) {
    std::vector<std::string> lines;
    std::istringstream in(FileText(record));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The document the last upload frame carried.
ConfigDocument LastUpload(const std::string& record) {
    const std::string prefix = "22 37 49 F2 02 0A";
    std::string frame;
    for (const std::string& line : RecordedFrames(record)) {
        if (line.rfind(prefix, 0) == 0) {
            frame = line;
        }
    }
    ConfigDocument doc{};
    EXPECT_FALSE(frame.empty()) << "no upload recorded";
    std::istringstream in(frame.substr(prefix.size()));
    std::array<std::uint8_t, kConfigSize> payload{};
    for (std::uint8_t& byte : payload) {
        unsigned value = 0;
        in >> std::hex >> value;
        byte = static_cast<std::uint8_t>(value);
    }
    FromWireImage(doc, payload.data());
    return doc;
}

// Clicks into a field and types over its text, without Enter and without leaving it.
void TypeInto(CQuarnelView& view, int id, const char* text) {
    CNumericEdit* edit = view.Edit(id);
    ASSERT_NE(edit, nullptr) << id;
    ASSERT_TRUE(edit->isVisible()) << id;
    // The window is the active one again (a menu that was open took that away).
    QApplication::setActiveWindow(edit->window());
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_TRUE(edit->hasFocus());
    edit->selectAll();
    QTest::keyClicks(edit, text);
    ASSERT_TRUE(edit->IsTyping());
    ASSERT_EQ(edit->text(), text);
}

class TypedInput : public ::testing::Test {
  protected:
    void Open(const std::vector<std::string>& simArgs, const char* settings = kPatientSettings) {
        rig = std::make_unique<WindowRig>(settings);
        AppSettings ini;
        ini.SetPath(rig->IniPath());
        ConfigDocument sample = test::SampleConfigDocument();
        ASSERT_TRUE(SaveDocument(ini, sample));
        sim = std::make_unique<Simulator>(simArgs);
        rig->UsePort(sim->Device());
        rig->Start(true);
        ASSERT_TRUE(Frame().Link().IsPortOpen());
        Frame().show();
        Frame().activateWindow();
        QApplication::setActiveWindow(&Frame());
    }
    CMainFrame& Frame() { return rig->Frame(); }
    CQuarnelView& View() { return *Frame().View(); }
    ConfigDocument& Doc() { return Frame().Document(); }
    bool Idle() {
        return Frame().Link().QueueLength() == 0 && !Frame().Link().requestInFlight() &&
               !Frame().Link().upgradeInProgress();
    }
    // Uploads through `act` and waits for the notice.
    ConfigDocument Upload(const std::function<void()>& act) {
        rig->Answers().Press("OK [15 sec]");
        act();
        EXPECT_TRUE(WaitUntil([&] { return rig->Answers().Remaining() == 0 && Idle(); }));
        return LastUpload(record);
    }

    std::string dir = test::MakeTempDir();
    std::string record = dir + "/record.txt";
    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<Simulator> sim;
};

TEST_F(TypedInput, EveryKindOfFieldIsUploadedAsTypedByEveryPathWithItsRulesApplied) {
    Open({"--record", record});

    // RPM, from the toolbar (whose buttons never take the focus). A cut-off typed at the
    // trigger lowers the trigger; typing alone runs no rule.
    TypeInto(View(), kRpmCutoff, "2500");
    EXPECT_EQ(Doc().record.stage[0].RPM_Max, 6500);
    EXPECT_EQ(Doc().record.stage[0].RPM_Trigger, 2500);
    auto* upload = qobject_cast<QToolButton*>(
        Frame().ToolBar()->widgetForAction(Frame().Command(texts::kIdUpload)));
    ASSERT_NE(upload, nullptr);
    ConfigDocument sent = Upload([&] { QTest::mouseClick(upload, Qt::LeftButton); });
    EXPECT_EQ(sent.record.stage[0].RPM_Max, 2500);
    EXPECT_EQ(sent.record.stage[0].RPM_Trigger, 2499);
    EXPECT_EQ(View().Edit(kRpmCutoff)->Value(), 2500);

    // Pressure, from the menu: above MAP End, so MAP End follows one unit higher.
    TypeInto(View(), kMapTrigger, "12.5");
    auto* menu = Frame().findChild<QMenu*>("menuController");
    sent = Upload([&] {
        menu->popup(Frame().mapToGlobal(QPoint(0, 0)));
        QAction* action = Frame().Command(texts::kIdUpload);
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    });
    EXPECT_DOUBLE_EQ(sent.displayPressures[0], 12.5);
    EXPECT_DOUBLE_EQ(sent.displayPressures[1], 13.5);

    // Percent, by the keyboard: Alt+C opens the menu on its first item, Upload; Enter.
    TypeInto(View(), kStart, "25");
    sent = Upload([&] {
        QTest::keyClick(View().Edit(kStart), Qt::Key_C, Qt::AltModifier);
        ASSERT_TRUE(WaitUntil([&] { return menu->isVisible(); }));
        ASSERT_EQ(menu->activeAction(), Frame().Command(texts::kIdUpload));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(sent.record.stage[0].Percent[0], 25);

    // Seconds, on the time-based stage 2.
    auto* stageList = View().Control(kStage);
    ASSERT_NE(stageList, nullptr);
    QTest::keyClick(stageList, Qt::Key_Down);
    ASSERT_EQ(View().CurrentStage(), 1);
    TypeInto(View(), kDelay, "2.5");
    sent = Upload([&] { QTest::mouseClick(upload, Qt::LeftButton); });
    EXPECT_EQ(sent.record.stage[1].Delay_Time, 25);
}

TEST_F(TypedInput, EveryWayOfClosingSavesTheTypedValue) {
    struct Way {
        const char* name;
        int field;
        const char* typed;
        std::function<void(CMainFrame&)> close;
    };
    const Way ways[] = {
        // The close box, Alt+F4 and the stop signals all ask the window to close.
        {"close", kRpmCutoff, "6400", [](CMainFrame& frame) { frame.close(); }},
        {"File > Exit", kStart, "25",
         [](CMainFrame& frame) { frame.Command(texts::kIdAppExit)->trigger(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Open({});
        TypeInto(View(), way.field, way.typed);
        way.close(Frame());
        rig->App().ExitInstance();
        AppSettings ini;
        ini.SetPath(rig->IniPath());
        ConfigDocument saved{};
        LoadDocument(ini, saved);
        if (way.field == kRpmCutoff) {
            EXPECT_EQ(saved.record.stage[0].RPM_Max, 6400);
        } else {
            EXPECT_EQ(saved.record.stage[0].Percent[0], 25);
        }
        rig.reset();
        sim.reset();
    }
}

TEST_F(TypedInput, AnUpgradeBehindAnAbortedDownloadEndsVisiblyAndLeavesTheLinkIdle) {
    Open({"--silent", "--record", record}, kDrivenTimerSettings);
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(test::WriteBytesFile(image, test::BuildFirmwareFile(0x0203, 0x0A, 5)));

    Frame().Command(texts::kIdDownload)->trigger();
    ASSERT_TRUE(Frame().Link().requestInFlight());

    uitest::ModalAnswerer& answers = rig->Answers();
    answers.Press("Yes");
    answers.Then([image](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->selectFile(QString::fromStdString(image));
        static_cast<QDialog*>(dialog)->accept();
    });
    answers.Press("Yes");  // "Check Controller Version"
    Frame().Command(texts::kIdUpgradeFirmware)->trigger();
    ASSERT_TRUE(Frame().Link().upgradeInProgress());
    ASSERT_EQ(Frame().Link().QueueLength(), 2u);

    // The download's own retries, then its box: Abort.
    answers.Press("Abort");
    answers.Press("OK");
    for (int attempt = 0; attempt < 3; ++attempt) {
        ASSERT_TRUE(Frame().ReplyTimer().isActive());
        Frame().ReplyTimer().stop();
        QMetaObject::invokeMethod(&Frame().ReplyTimer(), "timeout", Qt::DirectConnection);
    }
    ASSERT_EQ(answers.Remaining(), 0u);
    const auto& seen = answers.Seen();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[3].caption, "Timeout Error");
    EXPECT_EQ(seen[4].caption, "Update Failed");
    EXPECT_EQ(seen[4].text, link_texts::kTransferTimeoutText);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Frame().ReplyTimer().isActive());
    EXPECT_TRUE(Frame().Command(texts::kIdControllerInfo)->isEnabled());

    // The next command sends only itself. (The watcher wakes the wait when the simulator
    // writes what it received.)
    QFileSystemWatcher watcher({QString::fromStdString(record)});
    ASSERT_TRUE(WaitUntil([&] { return RecordedFrames(record).size() == 3; }));
    Frame().Command(texts::kIdControllerInfo)->trigger();
    ASSERT_TRUE(WaitUntil([&] { return RecordedFrames(record).size() == 4; }));
    EXPECT_EQ(RecordedFrames(record).back().rfind("22 37 49 F2 03", 0), 0u);
    EXPECT_EQ(Frame().Link().Queue(), std::deque<RequestType>{RequestType::ControllerInfo});
    EXPECT_EQ(answers.Seen().size(), 5u);  // no unasked box
}

}  // namespace
}  // namespace zentrik::apptest
