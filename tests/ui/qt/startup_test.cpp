// Start-up, exit and device changes of the whole program, with the simulator as the
// controller where one is attached.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include "link/discovery/connection_diagnosis.h"
#include "link/serial/open_failure_help.h"
#include "shell/shell_texts.h"
#include "support/sample_config.h"
#include "ui/qt/controller_tool_bar.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

namespace texts = shell_texts;

constexpr int kLinkCommands[] = {texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo,
                                 texts::kIdUpgradeFirmware};

QToolButton* ButtonFor(CMainFrame& frame, int id) {
    return qobject_cast<QToolButton*>(frame.ToolBar()->widgetForAction(frame.Command(id)));
}

// The link commands' state as a user sees it: in the Controller menu and on the toolbar.
void ExpectLinkCommands(CMainFrame& frame, bool enabled) {
    frame.findChild<QMenu*>("menuController")->aboutToShow();
    for (const int id : kLinkCommands) {
        EXPECT_EQ(frame.Command(id)->isEnabled(), enabled) << id;
        if (QToolButton* button = ButtonFor(frame, id)) {
            EXPECT_EQ(button->isEnabled(), enabled) << id;
        }
    }
    EXPECT_TRUE(frame.Command(texts::kIdScan)->isEnabled());
}

void ExpectConnection(CMainFrame& frame, bool connected) {
    QToolButton* indicator = ButtonFor(frame, texts::kIdConnection);
    ASSERT_NE(indicator, nullptr);
    EXPECT_EQ(indicator->text(), connected ? "Connected" : "Disconnected");
    EXPECT_EQ(indicator->isEnabled(), connected);
    EXPECT_EQ(frame.Link().IsPortOpen(), connected);
}

// Keeps the port's notifications (posted events of the program's own types) from reaching
// the frame while it lives.
class HoldPortEvents : public QObject {
  public:
    explicit HoldPortEvents(QObject& frame) : m_frame(frame) { m_frame.installEventFilter(this); }
    ~HoldPortEvents() override { m_frame.removeEventFilter(this); }

  protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() >= QEvent::User; }

  private:
    QObject& m_frame;
};

TEST(StartUp, WithoutAControllerTheLinkCommandsAreGreyed) {
    WindowRig rig;
    rig.Start(false);
    CMainFrame& frame = rig.Frame();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_EQ(frame.windowTitle(), "Halvorn Zentrik");
    EXPECT_EQ(
        frame.StatusPane()->text().toStdString(),
        DiagnoseConnection(GatherConnectionFacts({}, false, 0, LinkAnswer::NotAsked, {})).pane);
    EXPECT_EQ(frame.StatisticsPane()->text(), "Queued:0  Sent:0  Good:0  CRC Errors:0  Timeouts:0");
    ExpectConnection(frame, false);
    ExpectLinkCommands(frame, false);
    EXPECT_TRUE(rig.Answers().Seen().empty());  // no controller is no message
}

TEST(StartUp, TheSimulatorNamedByZentrikPortIsConnectedBeforeTheWindowShows) {
    Simulator sim;
    ASSERT_FALSE(sim.Device().empty());
    WindowRig rig;
    rig.UsePort(sim.Device());
    rig.StartWithPlatformDiscovery();
    ExpectConnection(rig.Frame(), true);
    ExpectLinkCommands(rig.Frame(), true);
    EXPECT_EQ(rig.Frame().Port().DeviceName(), sim.Device());
}

TEST(StartUp, AControllerWhosePortFailsToOpenIsReportedBeforeTheWindowShows) {
    WindowRig rig;
    const std::string missing = rig.Path("no-such-device");
    rig.UsePort(missing);
    bool windowShown = true;
    QString reason;
    rig.Answers().Then([&](QWidget* box) {
        windowShown = rig.App().MainFrame()->isVisible();
        if (auto* messageBox = qobject_cast<QMessageBox*>(box)) {
            reason = messageBox->informativeText();
        }
        uitest::ModalAnswerer::ClickButton(box, "OK");
    });
    rig.Start(true);
    ASSERT_EQ(rig.Answers().Seen().size(), 1u);
    const uitest::SeenModal& box = rig.Answers().Seen()[0];
    EXPECT_EQ(box.caption, "Serial Port Unavailable");
    EXPECT_EQ(box.text.toStdString(),
              missing + " is not available. Please choose a different serial port.");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    // Below the fixed text: why the open failed, from the open's own error.
    EXPECT_EQ(reason.toStdString(), zentrik::OpenFailureHelp(ENOENT, missing));
    EXPECT_FALSE(windowShown);
    ExpectConnection(rig.Frame(), false);
}

// ---- exit ------------------------------------------------------------------------------------

TEST(Exit, SavesTheConfigurationThenTheSettings) {
    WindowRig rig("");  // no INI file yet
    rig.Start(false);
    ConfigDocument& doc = rig.Frame().Document();
    doc = test::SampleConfigDocument();
    doc.displayPressures[0] = 12.5;  // an edit not yet in the record
    rig.Exit();

    const std::string text = FileText(rig.IniPath());
    const auto config = text.find("[Zentrik Config]");
    const auto settings = text.find("[Zentrik Settings]");
    ASSERT_NE(config, std::string::npos) << text;
    ASSERT_NE(settings, std::string::npos) << text;
    EXPECT_LT(config, settings) << "the configuration is saved first";
    EXPECT_NE(text.find("Stage 1 MAP Trigger=12.50"), std::string::npos) << text;
    EXPECT_NE(text.find("Timeout=40"), std::string::npos) << text;
}

TEST(Exit, AReadOnlyIniFileLosesNothing) {
    WindowRig rig;
    const std::string before = FileText(rig.IniPath());
    ASSERT_EQ(::chmod(rig.IniPath().c_str(), 0444), 0);
    rig.Start(false);
    rig.Frame().Document().displayPressures[0] = 33.0;
    rig.Exit();
    EXPECT_EQ(FileText(rig.IniPath()), before);
}

TEST(Exit, TheScannedPortNumberIsKept) {
    Simulator sim;
    WindowRig rig("[Zentrik Settings]\nCommPort=9\nCommSpeed=9600\n");
    rig.UsePort(sim.Device());
    rig.Start(true);  // the switchable bridge is on port 0
    rig.Exit();
    const std::string text = FileText(rig.IniPath());
    EXPECT_NE(text.find("CommPort=0"), std::string::npos) << text;
    EXPECT_NE(text.find("CommSpeed=9600"), std::string::npos) << text;
}

}  // namespace
}  // namespace zentrik::apptest
