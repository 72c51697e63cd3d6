// The link through the window against the real simulator: download, upload, info, the whole
// firmware upgrade, the failure boxes, and closing the window while any of them is under way.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "config/config_persistence.h"
#include "link/link_texts.h"
#include "shell/shell_texts.h"
#include "support/firmware_file.h"
#include "support/sample_config.h"
#include "support/test_paths.h"
#include "ui/qt/notice_dlg.h"
#include "window_rig.h"

namespace zentrik::apptest {
namespace {

namespace texts = shell_texts;
using uitest::ModalAnswerer;
using uitest::WaitUntil;

// Settings under which the reply timer never fires by itself: the tests fire it.
constexpr const char* kDrivenTimerSettings =
    "[Zentrik Settings]\nTimeout=60000\nTimeoutRetry=3\nCRCRetry=3\n";

std::string WriteSampleIni(const std::string& path) {
    WriteFileText(path, kPatientSettings);
    AppSettings settings;
    settings.SetPath(path);
    ConfigDocument doc = test::SampleConfigDocument();
    EXPECT_TRUE(SaveDocument(settings, doc));
    return path;
}

ConfigDocument LoadIni(const std::string& path) {
    AppSettings settings;
    settings.SetPath(path);
    ConfigDocument doc{};
    LoadDocument(settings, doc);
    return doc;
}

bool SameRecord(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0;
}

// One expiry of timer 107, as if its interval had passed.
void FireReplyTimer(CMainFrame& frame) {
    ASSERT_TRUE(frame.ReplyTimer().isActive());
    frame.ReplyTimer().stop();
    QMetaObject::invokeMethod(&frame.ReplyTimer(), "timeout", Qt::DirectConnection);
}

void Trigger(CMainFrame& frame, int id) {
    QAction* action = frame.Command(id);
    ASSERT_TRUE(action->isEnabled()) << id;
    action->trigger();
}

// Answers for an upgrade from the first question to the progress dialog, which goes to
// `onProgress`.
void AnswerUpgrade(WindowRig& rig, const std::string& file,
                   std::function<void(CUpgradeProgressDlg*)> onProgress) {
    ModalAnswerer& answers = rig.Answers();
    answers.Press("Yes");  // "Would you like to upgrade the controller's firmware?"
    answers.Then([file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters(), QStringList{"Tolvek Pelvaro Firmware Update (*.eep)"});
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        dialog->selectFile(QString::fromStdString(file));
        static_cast<QDialog*>(dialog)->accept();
    });
    answers.Press("Yes");  // "Check Controller Version"
    answers.Press("Yes");  // the version question
    answers.Then([onProgress](QWidget* modal) {
        auto* dialog = qobject_cast<CUpgradeProgressDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        onProgress(dialog);
    });
}

// Calls `act` once the result is shown, from the dialog's own loop.
void AfterResult(CUpgradeProgressDlg* dialog, std::function<void()> act) {
    QObject::connect(
        dialog, &CUpgradeProgressDlg::transferEnded, dialog, [act] { QTimer::singleShot(0, act); },
        Qt::SingleShotConnection);
}

// Calls `act` once, when the transfer has moved past its first packet.
void WhenUnderWay(CUpgradeProgressDlg* dialog, std::function<void()> act) {
    auto done = std::make_shared<bool>(false);
    QObject::connect(dialog->Bar(), &QProgressBar::valueChanged, dialog, [done, act](int value) {
        if (value > 0 && !*done) {
            *done = true;
            act();
        }
    });
}

class WithSimulator : public ::testing::Test {
  protected:
    void Open(const std::vector<std::string>& simArgs,
              const std::string& settings = kPatientSettings) {
        rig = std::make_unique<WindowRig>(settings);
        sim = std::make_unique<Simulator>(simArgs);
        ASSERT_FALSE(sim->Device().empty());
        rig->UsePort(sim->Device());
        rig->Start(true);
        ASSERT_TRUE(rig->Frame().Link().IsPortOpen());
    }
    CMainFrame& Frame() { return rig->Frame(); }
    ModalAnswerer& Answers() { return rig->Answers(); }
    bool Idle() {
        return Frame().Link().QueueLength() == 0 && !Frame().Link().requestInFlight() &&
               !Frame().Link().upgradeInProgress();
    }

    std::unique_ptr<WindowRig> rig;
    std::unique_ptr<Simulator> sim;
};

// ---- transfers ---------------------------------------------------------------------------------

TEST_F(WithSimulator, DownloadTakesTheControllersRecordRefreshesTheFormAndCountsDown) {
    const std::string dir = test::MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    Open({"--config", source});
    // Told of the refresh as the form is.
    struct Refreshes : DocumentView {
        std::vector<int> hints;
        void OnUpdate(int hint) override { hints.push_back(hint); }
    } refreshed;
    rig->App().Doc()->AddView(&refreshed);

    int shownSeconds = -1;
    QString shownButton;
    int result = -1;
    int secondsAtEnd = -1;
    Answers().Then([&](QWidget* modal) {
        auto* notice = qobject_cast<CNoticeDlg*>(modal);
        ASSERT_NE(notice, nullptr);
        shownSeconds = notice->SecondsLeft();
        shownButton = notice->OkButton()->text();
        QObject::connect(notice, &QDialog::finished, notice, [&, notice](int r) {
            result = r;
            secondsAtEnd = notice->SecondsLeft();
        });
    });
    Trigger(Frame(), texts::kIdDownload);
    ASSERT_TRUE(WaitUntil([&] { return result != -1 && Idle(); }));

    EXPECT_TRUE(SameRecord(Frame().Document(), LoadIni(source)));
    EXPECT_EQ(Frame().Document().displayPressures, LoadIni(source).displayPressures);
    rig->App().Doc()->RemoveView(&refreshed);
    EXPECT_EQ(refreshed.hints, std::vector<int>{1});
    ASSERT_EQ(Answers().Seen().size(), 1u);
    EXPECT_EQ(Answers().Seen()[0].caption, "Config Downloaded");
    EXPECT_EQ(shownButton, "OK [15 sec]");
    EXPECT_EQ(shownSeconds, 15);
    EXPECT_EQ(result, QDialog::Accepted);  // closed by itself
    EXPECT_EQ(secondsAtEnd, 0);
    EXPECT_EQ(Frame().StatusPane()->text(), "Config Downloaded");
    EXPECT_EQ(Frame().StatisticsPane()->text(),
              "Queued:0  Sent:1  Good:1  CRC Errors:0  Timeouts:0");
}

TEST_F(WithSimulator, UploadSendsWhatTheDocumentHolds) {
    const std::string dir = test::MakeTempDir();
    const std::string record = dir + "/record.txt";
    Open({"--record", record});
    Frame().Document() = test::SampleConfigDocument();
    Frame().Document().displayPressures[1] = 20.25;  // edited in the form, not yet saved

    Answers().Press("OK [15 sec]");
    Trigger(Frame(), texts::kIdUpload);
    ASSERT_TRUE(WaitUntil([&] { return Answers().Remaining() == 0 && Idle(); }));
    ASSERT_EQ(Answers().Seen().size(), 1u);
    EXPECT_EQ(Answers().Seen()[0].caption, "Config Uploaded");

    const auto wire = ToWireImage(Frame().Document());
    std::string hex = "22 37 49 F2 02 0A";
    for (const std::uint8_t byte : wire) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", byte);
        hex += pair;
    }
    EXPECT_NE(FileText(record).find(hex), std::string::npos) << FileText(record);
}

TEST_F(WithSimulator, InfoShowsTheSerialNumberAndVersion) {
    Open({"--serial", "0123456789ABCDEF", "--version", "0A0B"});
    Answers().Press("OK");
    Trigger(Frame(), texts::kIdControllerInfo);
    ASSERT_TRUE(WaitUntil([&] { return Answers().Remaining() == 0 && Idle(); }));
    ASSERT_EQ(Answers().Seen().size(), 1u);
    const uitest::SeenModal& box = Answers().Seen()[0];
    EXPECT_EQ(box.caption, "Controller Info");
    EXPECT_EQ(box.text, "Serial Number:0123456789ABCDEF\nFirmware Version:0A0B");
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.buttons, QStringList{"OK"});
    EXPECT_EQ(Frame().StatusPane()->text(), "Controller Info Downloaded");
}

// ---- the firmware upgrade ----------------------------------------------------------------------

TEST_F(WithSimulator, AWholeUpgradeRunsInsideTheProgressDialog) {
    const std::string dir = test::MakeTempDir();
    const std::string flash = dir + "/flash.bin";
    Open({"--version", "0102", "--flash-out", flash});
    const std::vector<std::uint8_t> file = test::BuildFirmwareFile(0x0203, 0x0A, 5);
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(test::WriteBytesFile(image, file));

    CUpgradeProgressDlg* progress = nullptr;
    bool commandsDuringTransfer = true;
    bool survivedKeys = false;
    bool survivedEscapeAfterResult = false;
    QString result;
    bool barHidden = false;
    AnswerUpgrade(*rig, image, [&](CUpgradeProgressDlg* dialog) {
        progress = dialog;
        commandsDuringTransfer = Frame().Command(texts::kIdDownload)->isEnabled();
        EXPECT_TRUE(Frame().Command(texts::kIdConnection)->isEnabled());
        EXPECT_TRUE(dialog->OkButton()->isHidden());
        // Neither Enter nor Escape nor the close box ends the transfer.
        QTest::keyClick(dialog, Qt::Key_Return);
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        survivedKeys = dialog->isVisible() && dialog->IsTransferring();
        AfterResult(dialog, [&, dialog] {
            result = dialog->TextLine()->text();
            barHidden = dialog->Bar()->isHidden();
            // After the result Escape still does nothing; OK closes.
            QTest::keyClick(dialog, Qt::Key_Escape);
            survivedEscapeAfterResult = dialog->isVisible();
            dialog->OkButton()->click();
        });
    });
    Trigger(Frame(), texts::kIdUpgradeFirmware);
    ASSERT_TRUE(WaitUntil([&] { return progress != nullptr && !progress->isVisible() && Idle(); },
                          std::chrono::seconds(60)));

    EXPECT_FALSE(commandsDuringTransfer);
    EXPECT_TRUE(survivedKeys);
    EXPECT_TRUE(survivedEscapeAfterResult);
    EXPECT_EQ(result,
              "The update was successful!\n Please turn off the controller for 10 seconds.");
    EXPECT_TRUE(barHidden);
    EXPECT_EQ(Answers().Seen()[3].text.toStdString(),
              "This will upgrade the controller version from 0102 to 0203.\n");
    EXPECT_TRUE(Frame().Command(texts::kIdDownload)->isEnabled());
    EXPECT_EQ(test::ReadBytesFile(flash),
              std::vector<std::uint8_t>(file.begin(), file.begin() + 30720));
}

TEST_F(WithSimulator, OtherDevicesComingAndGoingDuringTheTransferLeaveThePortAlone) {
    const std::string dir = test::MakeTempDir();
    const std::string flash = dir + "/flash.bin";
    Open({"--version", "0102", "--flash-out", flash});
    const std::vector<std::uint8_t> file = test::BuildFirmwareFile(0x0300, 0x0A, 2);
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(test::WriteBytesFile(image, file));
    const int opens = Frame().Port().OpenCount();

    CUpgradeProgressDlg* progress = nullptr;
    QString result;
    AnswerUpgrade(*rig, image, [&](CUpgradeProgressDlg* dialog) {
        progress = dialog;
        WhenUnderWay(dialog, [&] {
            Frame().Shell().OnDeviceChange(FrameShell::kDeviceArrival);
            Frame().Shell().OnDeviceChange(FrameShell::kDeviceRemoveComplete);
        });
        AfterResult(dialog, [&, dialog] {
            result = dialog->TextLine()->text();
            dialog->OkButton()->click();
        });
    });
    Trigger(Frame(), texts::kIdUpgradeFirmware);
    ASSERT_TRUE(WaitUntil([&] { return progress != nullptr && !progress->isVisible() && Idle(); },
                          std::chrono::seconds(60)));
    EXPECT_EQ(Frame().Port().OpenCount(), opens);
    EXPECT_EQ(result,
              "The update was successful!\n Please turn off the controller for 10 seconds.");
    EXPECT_EQ(test::ReadBytesFile(flash),
              std::vector<std::uint8_t>(file.begin(), file.begin() + 30720));
}

TEST_F(WithSimulator, AControllerLostDuringTheTransferEndsTheUpgradeWithoutAHang) {
    const std::string dir = test::MakeTempDir();
    Open({"--version", "0102"});
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(test::WriteBytesFile(image, test::BuildFirmwareFile(0x0300)));

    CUpgradeProgressDlg* progress = nullptr;
    std::string result;
    bool okShown = false;
    bool upgradeFlag = true;
    AnswerUpgrade(*rig, image, [&](CUpgradeProgressDlg* dialog) {
        progress = dialog;
        WhenUnderWay(dialog, [&] { sim->Kill(); });
        AfterResult(dialog, [&, dialog] {
            result = dialog->TextLine()->text().toStdString();
            okShown = !dialog->OkButton()->isHidden();
            upgradeFlag = Frame().Link().upgradeInProgress();
            dialog->OkButton()->click();
        });
    });
    Trigger(Frame(), texts::kIdUpgradeFirmware);
    ASSERT_TRUE(WaitUntil([&] { return progress != nullptr && !progress->isVisible(); },
                          std::chrono::seconds(60)));
    EXPECT_EQ(result, link_texts::kTransferTimeoutText);
    EXPECT_TRUE(okShown);
    EXPECT_FALSE(upgradeFlag);
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Frame().Link().IsPortOpen());
}

// ---- failures ----------------------------------------------------------------------------------

TEST_F(WithSimulator, ASilentControllerIsAskedThreeTimesThenTheUserDecides) {
    Open({"--silent"}, kDrivenTimerSettings);
    const zentrik::ControllerLink& link = Frame().Link();
    Trigger(Frame(), texts::kIdControllerInfo);
    Trigger(Frame(), texts::kIdDownload);
    EXPECT_EQ(Frame().ReplyTimer().interval(), 60500);
    EXPECT_EQ(Frame().ReplyTimer().timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(Frame().ReplyTimer().isSingleShot());

    // Retry, with the keyboard: the same request gets three fresh attempts.
    // (A mnemonic clicks its button with a short animation, from the box's own loop.)
    Answers().Then([](QWidget* box) {
        box->activateWindow();
        QTest::keyClick(box->windowHandle(), Qt::Key_R, Qt::AltModifier);
    });
    FireReplyTimer(Frame());
    FireReplyTimer(Frame());
    EXPECT_EQ(link.Counters().sentCount, 3);
    EXPECT_TRUE(Answers().Seen().empty());
    FireReplyTimer(Frame());
    ASSERT_EQ(Answers().Seen().size(), 1u);
    EXPECT_EQ(Answers().Seen()[0].caption, "Timeout Error");
    EXPECT_EQ(Answers().Seen()[0].text, "The message timed out.");
    EXPECT_EQ(Answers().Seen()[0].buttons, (QStringList{"&Abort", "&Retry", "&Ignore"}));
    EXPECT_EQ(link.Counters().sentCount, 4);
    EXPECT_EQ(link.QueueLength(), 2u);

    // Ignore drops the info request only: the download goes out.
    Answers().Press("Ignore");
    for (int i = 0; i < 3; ++i) {
        FireReplyTimer(Frame());
    }
    EXPECT_EQ(link.QueueLength(), 1u);
    EXPECT_EQ(link.currentType(), 1);
    EXPECT_EQ(link.Counters().sentCount, 7);
    EXPECT_EQ(Frame().StatusPane()->text(), "Downloading Config From Controller");

    // Abort drops everything.
    Answers().Press("Abort");
    for (int i = 0; i < 3; ++i) {
        FireReplyTimer(Frame());
    }
    EXPECT_TRUE(Idle());
    EXPECT_FALSE(Frame().ReplyTimer().isActive());
    EXPECT_EQ(link.Counters().sentCount, 9);
    EXPECT_EQ(link.Counters().timeoutCount, 9);
    EXPECT_EQ(Frame().StatisticsPane()->text(),
              "Queued:0  Sent:9  Good:0  CRC Errors:0  Timeouts:9");
}

// ---- closing while something is under way -----------------------------------------------------

TEST_F(WithSimulator, ClosingWithARequestInFlightSavesAndEnds) {
    Open({"--silent"});
    Trigger(Frame(), texts::kIdControllerInfo);
    ASSERT_TRUE(Frame().Link().requestInFlight());
    rig->Exit();
    EXPECT_NE(FileText(rig->IniPath()).find("[Zentrik Config]"), std::string::npos);
    EXPECT_TRUE(Answers().Seen().empty());
}

TEST_F(WithSimulator, ClosingWhileABoxIsUpEndsItWithAbort) {
    Open({"--silent"}, kDrivenTimerSettings);
    Trigger(Frame(), texts::kIdControllerInfo);
    Answers().Then([&](QWidget*) { Frame().close(); });
    for (int i = 0; i < 3; ++i) {
        FireReplyTimer(Frame());
    }
    ASSERT_TRUE(WaitUntil([&] { return !Frame().isVisible(); }));
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Frame().Link().Counters().sentCount, 3);  // Abort, not Retry
    rig->App().ExitInstance();
    EXPECT_NE(FileText(rig->IniPath()).find("[Zentrik Config]"), std::string::npos);
}

TEST_F(WithSimulator, ClosingWhileTheNoticeIsUpKeepsTheDownload) {
    const std::string dir = test::MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    Open({"--config", source});
    Answers().Then([&](QWidget*) { Frame().close(); });
    Trigger(Frame(), texts::kIdDownload);
    ASSERT_TRUE(WaitUntil([&] { return !Frame().isVisible(); }));
    rig->App().ExitInstance();
    EXPECT_TRUE(SameRecord(LoadIni(rig->IniPath()), LoadIni(source)));
}

TEST_F(WithSimulator, ClosingDuringTheTransferWaitsForItsEnd) {
    const std::string dir = test::MakeTempDir();
    const std::string flash = dir + "/flash.bin";
    Open({"--version", "0102", "--flash-out", flash});
    const std::vector<std::uint8_t> file = test::BuildFirmwareFile(0x0300, 0x0A, 4);
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(test::WriteBytesFile(image, file));

    CUpgradeProgressDlg* progress = nullptr;
    bool pendingAtResult = false;
    bool visibleAtResult = false;
    QString result;
    AnswerUpgrade(*rig, image, [&](CUpgradeProgressDlg* dialog) {
        progress = dialog;
        WhenUnderWay(dialog, [&] { Frame().close(); });
        AfterResult(dialog, [&, dialog] {
            pendingAtResult = Frame().ClosePending();
            visibleAtResult = Frame().isVisible();  // the result is shown until acknowledged
            result = dialog->TextLine()->text();
            dialog->OkButton()->click();
        });
    });
    Trigger(Frame(), texts::kIdUpgradeFirmware);
    ASSERT_TRUE(WaitUntil([&] { return progress != nullptr && !Frame().isVisible(); },
                          std::chrono::seconds(60)));
    EXPECT_TRUE(pendingAtResult);
    EXPECT_TRUE(visibleAtResult);
    EXPECT_EQ(result,
              "The update was successful!\n Please turn off the controller for 10 seconds.");
    rig->App().ExitInstance();
    EXPECT_EQ(test::ReadBytesFile(flash),
              std::vector<std::uint8_t>(file.begin(), file.begin() + 30720));
    EXPECT_NE(FileText(rig->IniPath()).find("[Zentrik Config]"), std::string::npos);
}

}  // namespace
}  // namespace zentrik::apptest
