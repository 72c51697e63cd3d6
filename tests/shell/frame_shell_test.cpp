// The frame's behaviour without a window: command states, closing while boxes are up, the
// exit save, the notice's countdown and the progress dialog's state.
#include "shell/frame_shell.h"

#include <gtest/gtest.h>

#include "config/config_persistence.h"
#include "editor/stage_form.h"
#include "fake_skin.h"
#include "link/serial/device_name.h"
#include "shell/connection_status_texts.h"
#include "shell/notice_countdown.h"
#include "shell/shell_texts.h"
#include "shell/upgrade_progress.h"
#include "support/sample_config.h"
#include "support/switchable_bridges.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

namespace texts = shell_texts;

// The frame's behaviour over a document in a folder of its own, with no controller attached.
class FrameShellTest : public ::testing::Test {
  protected:
    FrameShellTest() {
        UnsetVariable(kPortOverrideVariable);
        m_settings.SetPath(m_dir + "/Zentrik.ini");
        m_shell = std::make_unique<FrameShell>(m_skin, m_doc, m_settings,
                                               std::make_unique<SwitchableBridges>(m_attached));
        m_skin.shell = m_shell.get();
        m_shell->Create();
        m_doc.OnNewDocument();
    }

    std::string m_dir = MakeTempDir();
    AppSettings m_settings;
    CQuarnelDoc m_doc{m_settings};
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(false);
    FakeSkin m_skin;
    std::unique_ptr<FrameShell> m_shell;
};

TEST_F(FrameShellTest, WithoutAPortTheLinkCommandsAreOffAndTheIndicatorSaysSo) {
    for (const int id : {texts::kIdUpload, texts::kIdDownload, texts::kIdControllerInfo,
                         texts::kIdUpgradeFirmware}) {
        EXPECT_FALSE(m_shell->Command(id).enabled) << id;
        m_shell->OnCommand(id);  // a stale click or shortcut sends nothing
    }
    EXPECT_EQ(m_shell->Link().QueueLength(), 0u);
    EXPECT_EQ(m_skin.commits, 0);
    const CommandState indicator = m_shell->Command(texts::kIdConnection);
    EXPECT_FALSE(indicator.enabled);
    EXPECT_EQ(indicator.text, "Disconnected");
    for (const int id : {texts::kIdScan, texts::kIdAppAbout, texts::kIdAppExit}) {
        EXPECT_TRUE(m_shell->Command(id).enabled) << id;
    }
    // The status bar says why, and Connection Status says it in full (the system's own
    // devices decide which case it is).
    const ConnectionDiagnosis why =
        DiagnoseConnection(GatherConnectionFacts({}, false, 0, LinkAnswer::NotAsked, {}));
    EXPECT_EQ(m_shell->StatusText(), why.pane);
    EXPECT_EQ(m_shell->StatisticsText(), "Queued:0  Sent:0  Good:0  CRC Errors:0  Timeouts:0");
    m_shell->OnCommand(texts::kIdConnectionStatus);
    ASSERT_EQ(m_skin.boxes.size(), 1u);
    EXPECT_EQ(m_skin.boxes[0].caption, "Connection Status");
    EXPECT_EQ(m_skin.boxes[0].text, why.text);
}

TEST_F(FrameShellTest, TheViewCommandsFlipTheirBarAndItsCheck) {
    EXPECT_TRUE(m_shell->Command(texts::kIdViewToolBar).checked);
    m_shell->OnCommand(texts::kIdViewToolBar);
    EXPECT_FALSE(m_skin.toolBarVisible);
    EXPECT_FALSE(m_shell->Command(texts::kIdViewToolBar).checked);
    EXPECT_TRUE(m_shell->Command(texts::kIdViewStatusBar).checked);
    m_shell->OnCommand(texts::kIdViewStatusBar);
    m_shell->OnCommand(texts::kIdViewToolBar);
    EXPECT_TRUE(m_skin.toolBarVisible);
    EXPECT_FALSE(m_skin.statusBarVisible);
    EXPECT_FALSE(m_shell->Command(texts::kIdViewStatusBar).checked);
}

TEST_F(FrameShellTest, ClosingWhileABoxIsUpAnswersWhatStopsAndClosesAfterwards) {
    bool mayCloseDuringBox = true;
    m_skin.duringBox = [&](const BoxRequest&) {
        mayCloseDuringBox = m_shell->RequestClose();  // the close box while the box is up
    };
    const MessageAnswer answer = m_shell->ShowMessageBox(
        "Continue?", "Question", MessageIcon::Question, MessageButtons::YesNo);
    EXPECT_FALSE(mayCloseDuringBox);
    EXPECT_EQ(m_skin.endModalsCalls, 1);
    EXPECT_EQ(answer, MessageAnswer::No);  // the answer that stops, not Yes
    EXPECT_EQ(m_skin.postCloseCalls, 1);   // the window closes once the box has returned
    EXPECT_FALSE(m_doc.IsClosed());

    // Nothing more is asked or shown while the window closes.
    m_skin.duringBox = nullptr;
    EXPECT_EQ(m_shell->ShowMessageBox("Again?", "Question", MessageIcon::Question,
                                      MessageButtons::AbortRetryIgnore),
              MessageAnswer::Abort);
    m_shell->ShowNotice(NoticeKind::Downloaded);
    m_shell->ShowPortUnavailable("Port", "/dev/none", 2);
    EXPECT_EQ(m_shell->ChooseFileToOpen("Firmware (*.eep)", "*.eep"), std::nullopt);
    EXPECT_EQ(m_skin.boxes.size(), 1u);
    EXPECT_TRUE(m_skin.noticeTitles.empty());

    // The posted close: the document is saved with what was typed, once.
    EXPECT_TRUE(m_shell->RequestClose());
    EXPECT_TRUE(m_doc.IsClosed());
    EXPECT_EQ(m_skin.commits, 1);
    m_shell->SaveOnExit();
    EXPECT_EQ(m_skin.commits, 1);
}

TEST_F(FrameShellTest, ThePortBoxCarriesWhyAndWhatToDo) {
    m_shell->ShowPortUnavailable("The serial port /dev/none is not available.", "/dev/none", 2);
    ASSERT_EQ(m_skin.boxes.size(), 1u);
    EXPECT_EQ(m_skin.boxes[0].caption, "Serial Port Unavailable");
    EXPECT_EQ(m_skin.boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(m_skin.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(m_skin.boxes[0].detail.empty());
}

TEST_F(FrameShellTest, TheEditMenuRunsTheFormsCurveCommandsAndAsksForTheirNumbers) {
    for (int id = texts::kIdEditUndo; id <= texts::kIdCopyAllSettings; ++id) {
        EXPECT_FALSE(m_shell->Command(id).enabled) << id;  // no form yet
    }
    m_doc.Document() = SampleConfigDocument();
    StageForm form(m_doc.Document(), m_settings);
    form.OnInitialUpdate();
    struct View : DocumentView {
        int updates = 0;
        void OnUpdate(int hint) override { updates += hint == 0; }
    } view;
    m_doc.AddView(&view);
    m_shell->SetForm(&form);
    EXPECT_FALSE(m_shell->Command(texts::kIdEditUndo).enabled);
    EXPECT_TRUE(m_shell->Command(texts::kIdScalePoints).enabled);

    // Not a number: asked again with a note; the number taken is offered the next time.
    const std::uint8_t before = m_doc.Document().record.stage[0].Percent[10];
    m_skin.numbers = {"lots", "50"};
    m_shell->OnCommand(texts::kIdScalePoints);
    ASSERT_EQ(m_skin.prompts.size(), 2u);
    EXPECT_EQ(m_skin.prompts[0].caption, "Scale Points");
    EXPECT_EQ(m_skin.prompts[0].text, "100");
    EXPECT_TRUE(m_skin.prompts[0].error.empty());
    EXPECT_EQ(m_skin.prompts[1].text, "lots");
    EXPECT_FALSE(m_skin.prompts[1].error.empty());
    EXPECT_EQ(m_doc.Document().record.stage[0].Percent[10], before / 2);
    EXPECT_EQ(m_skin.commits, 1);
    EXPECT_EQ(view.updates, 1);
    m_skin.numbers = {std::nullopt};
    m_shell->OnCommand(texts::kIdScalePoints);
    EXPECT_EQ(m_skin.prompts.back().text, "50");

    ASSERT_TRUE(m_shell->Command(texts::kIdEditUndo).enabled);
    m_shell->OnCommand(texts::kIdEditUndo);
    EXPECT_EQ(m_doc.Document().record.stage[0].Percent[10], before);
    EXPECT_TRUE(m_shell->Command(texts::kIdEditRedo).enabled);

    m_shell->OnCommand(texts::kIdCopyCurve);
    EXPECT_EQ(m_shell->StatusText(), "Curve copied to Stage 2");
    EXPECT_EQ(m_doc.Document().record.stage[1].Percent[10], before);
    m_doc.RemoveView(&view);
    m_shell->SetForm(nullptr);
}

TEST(NoticeCountdown, FifteenTicksFromOkFifteenSecondsToClosing) {
    NoticeCountdown countdown;
    countdown.Start(static_cast<int>(NoticeKind::Downloaded));
    EXPECT_EQ(countdown.Title(), "Config Downloaded");
    EXPECT_EQ(countdown.Message(), "The config was downloaded from the controller successfully.");
    EXPECT_EQ(countdown.ButtonText(), "OK [15 sec]");
    for (int tick = 1; tick < 15; ++tick) {
        ASSERT_FALSE(countdown.Tick()) << tick;
    }
    EXPECT_EQ(countdown.ButtonText(), "OK [1 sec]");
    EXPECT_TRUE(countdown.Tick());
    countdown.Start(static_cast<int>(NoticeKind::Uploaded));
    EXPECT_EQ(countdown.Title(), "Config Uploaded");
    EXPECT_EQ(countdown.ButtonText(), "OK [15 sec]");
    countdown.Start(7);  // another kind keeps the texts
    EXPECT_EQ(countdown.Title(), "Config Uploaded");
}

TEST(UpgradeProgress, StepsTheChecksumStepAndTheResult) {
    UpgradeProgress progress;
    progress.Begin(70000);
    EXPECT_EQ(progress.BarMaximum(), 70000 & 0xFFFF);  // a 16-bit bound
    EXPECT_EQ(progress.Text(), "Beginning Firmware Upgrade.");
    EXPECT_FALSE(progress.OkShown());
    progress.ShowStep(12);
    EXPECT_EQ(progress.Text(), "Sending Packet 12 of 70000");
    progress.ShowStep(-1);
    EXPECT_EQ(progress.BarValue(), 12);
    EXPECT_EQ(progress.Text(), "Checking Firmware Checksum");
    EXPECT_TRUE(progress.Transferring());
    EXPECT_FALSE(progress.MayCloseWithOk());
    progress.FinishWithSuccess();
    EXPECT_EQ(progress.Text(),
              "The update was successful!\n Please turn off the controller for 10 seconds.");
    EXPECT_TRUE(progress.MayCloseWithOk());
    EXPECT_FALSE(progress.BarShown());
    EXPECT_FALSE(progress.Transferring());
}

}  // namespace
}  // namespace zentrik::test
