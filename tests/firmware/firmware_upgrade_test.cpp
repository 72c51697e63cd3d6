#include "firmware/firmware_upgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "config/config_difference.h"
#include "config/config_file.h"
#include "firmware/firmware_texts.h"
#include "firmware_files.h"
#include "link/link_texts.h"
#include "support/link_rig.h"
#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using test::Bytes;
using test::FakeController;
using test::LinkRig;
namespace texts = firmware_texts;
namespace link_text = link_texts;

constexpr std::size_t kUnits = 15360;

// The link, a controller behind the fake port and the upgrade, with a good file chosen.
struct UpgradeRig : LinkRig {
    FakeController controller{port};
    FirmwareUpgrade upgrade{link, host};
    Bytes file;

    explicit UpgradeRig(std::uint16_t imageVersion = 0x0103) {
        file = test::MakeFirmwareFile(imageVersion);
        host.fileChoice = test::WriteTempFile(file, "update.eep");
    }
    // Answers the first question and the version check with Yes and starts the upgrade.
    UpgradeStart Start() {
        host.answers.push_front(MessageAnswer::Yes);
        host.answers.push_front(MessageAnswer::Yes);
        return upgrade.Run();
    }
    std::size_t UnitsSent() const {
        std::size_t n = 0;
        for (const auto& w : port.writes) {
            n += w.size() == 2;
        }
        return n;
    }
    const test::BoxRecord* FindBox(const std::string& caption) const {
        for (const auto& box : host.boxes) {
            if (box.caption == caption) {
                return &box;
            }
        }
        return nullptr;
    }
};

TEST(UpgradeCommand, FirstQuestionUsesTheApplicationTitle) {
    UpgradeRig rig;
    rig.host.answers = {MessageAnswer::No};
    EXPECT_EQ(rig.upgrade.Run(), UpgradeStart::Declined);
    ASSERT_EQ(rig.host.boxes.size(), 1u);
    EXPECT_EQ(rig.host.boxes[0].text, texts::kUpgradeQuestion);
    EXPECT_EQ(rig.host.boxes[0].caption, rig.host.title);
    EXPECT_EQ(rig.host.boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(rig.host.boxes[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(rig.host.chooserCalls, 0);
}

TEST(UpgradeCommand, CancelledChooserEndsTheCommand) {
    UpgradeRig rig;
    rig.host.fileChoice.reset();
    rig.host.answers = {MessageAnswer::Yes};
    EXPECT_EQ(rig.upgrade.Run(), UpgradeStart::Cancelled);
    EXPECT_EQ(rig.host.chooserFilter, "Tolvek Pelvaro Firmware Update (*.eep)");
    EXPECT_EQ(rig.host.chooserPattern, "*.eep");
    EXPECT_FALSE(rig.link.upgradeInProgress());
}

TEST(UpgradeCommand, BadFilesAreRefusedBeforeAnythingIsSent) {
    struct Case {
        std::string path;
        UpgradeStart result;
        const char* caption;
        const char* text;
    };
    auto corrupt = test::MakeFirmwareFile(0x0103);
    corrupt[30723] ^= 1;
    // A folder opens for reading on POSIX; only reading it fails.
    const std::string folder = test::MakeTempDir() + "/folder.eep";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const Case cases[] = {
        {"/nonexistent/update.eep", UpgradeStart::BadFile, texts::kBadFileCaption,
         texts::kBadFileText},
        {folder, UpgradeStart::BadFile, texts::kBadFileCaption, texts::kBadFileText},
        {test::WriteTempFile(corrupt, "c.eep"), UpgradeStart::Corrupt, texts::kCorruptCaption,
         texts::kCorruptText},
        {test::WriteTempFile(test::MakeFirmwareFile(0x0103, 0x0C), "w.eep"),
         UpgradeStart::WrongProduct, texts::kWrongProductCaption, texts::kWrongProductText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        UpgradeRig rig;
        rig.host.fileChoice = c.path;
        rig.host.answers = {MessageAnswer::Yes};
        EXPECT_EQ(rig.upgrade.Run(), c.result);
        ASSERT_EQ(rig.host.boxes.size(), 2u);
        EXPECT_EQ(rig.host.boxes[1].caption, c.caption);
        EXPECT_EQ(rig.host.boxes[1].text, c.text);
        EXPECT_EQ(rig.host.boxes[1].icon, MessageIcon::Exclamation);
        EXPECT_EQ(rig.host.boxes[1].buttons, MessageButtons::Ok);
        EXPECT_TRUE(rig.port.writes.empty());
        EXPECT_FALSE(rig.link.upgradeInProgress());
    }
}

TEST(UpgradeCommand, VersionCheckQuestionThenInfoRequest) {
    UpgradeRig rig;
    rig.host.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_EQ(rig.upgrade.Run(), UpgradeStart::Declined);
    ASSERT_EQ(rig.host.boxes.size(), 2u);
    EXPECT_EQ(rig.host.boxes[1].caption, texts::kCheckVersionCaption);
    EXPECT_EQ(rig.host.boxes[1].icon, MessageIcon::None);
    EXPECT_TRUE(rig.port.writes.empty());

    UpgradeRig yes;
    EXPECT_EQ(yes.Start(), UpgradeStart::Started);
    EXPECT_TRUE(yes.link.upgradeInProgress());
    EXPECT_FALSE(yes.link.CommandsEnabled());
    EXPECT_EQ(yes.SentTypes(), (std::vector<std::uint8_t>{3}));
    // A second upgrade command while one runs does not touch the image.
    EXPECT_EQ(yes.upgrade.Run(), UpgradeStart::Busy);
}

struct VersionCase {
    std::uint16_t controller;
    std::uint16_t image;
    std::string text;
};

TEST(UpgradeVersionQuestion, TextVariantsAndNo) {
    const VersionCase cases[] = {
        {0x0102, 0x0103, "This will upgrade the controller version from 0102 to 0103.\n"},
        {0x0103, 0x0102,
         "This will upgrade the controller version from 0103 to 0102.\nWARNING: The current "
         "version is not less than this upgrade."},
        {0x0103, 0x0103,
         "This will upgrade the controller version from 0103 to 0103.\nThe version on your "
         "controller matches this upgrade."},
        {0xFF00, 0x0001,  // compared unsigned
         "This will upgrade the controller version from FF00 to 0001.\nWARNING: The current "
         "version is not less than this upgrade."},
    };
    for (const VersionCase& c : cases) {
        UpgradeRig rig(c.image);
        rig.controller.version = c.controller;
        ASSERT_EQ(rig.Start(), UpgradeStart::Started);
        rig.host.answers = {MessageAnswer::No};
        rig.RunUntilIdle();
        const test::BoxRecord* box = rig.FindBox(texts::kVersionQuestionCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text, c.text);
        EXPECT_EQ(box->icon, MessageIcon::None);
        EXPECT_EQ(box->buttons, MessageButtons::YesNo);
        // No ends the upgrade quietly.
        EXPECT_FALSE(rig.link.upgradeInProgress());
        EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3}));
        EXPECT_EQ(rig.host.boxes.size(), 3u);
    }
}

TEST(UpgradeTransfer, SuccessSendsEveryWordThenTheChecksum) {
    UpgradeRig rig;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Yes};
    rig.RunUntilIdle();

    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 238}));
    EXPECT_EQ(rig.host.timerStarts[1], 5040u);
    EXPECT_EQ(rig.host.upgradeDialogs, 1);
    EXPECT_EQ(rig.host.upgradeTotal, 15360);
    EXPECT_TRUE(rig.host.finishedWithSuccess);
    EXPECT_FALSE(rig.host.finishText.has_value());
    // Every word, version bytes first, then the checksum.
    EXPECT_EQ(rig.UnitsSent(), kUnits + 1);
    EXPECT_EQ(rig.controller.receivedImage, Bytes(rig.file.begin(), rig.file.begin() + 30720));
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < 30720; i += 2) {
        sum += (rig.file[i] << 8) | rig.file[i + 1];
    }
    EXPECT_EQ(rig.controller.receivedChecksum,
              (Bytes{static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)}));
    // Units wait exactly Timeout for their echo.
    EXPECT_EQ(rig.host.timerStarts.back(), 40u);
    ASSERT_EQ(rig.host.steps.size(), kUnits + 1);
    EXPECT_EQ(rig.host.steps[0], 0);
    EXPECT_EQ(rig.host.steps[kUnits - 1], 15359);
    EXPECT_EQ(rig.host.steps.back(), -1);
    EXPECT_NE(std::find(rig.host.status.begin(), rig.host.status.end(), "Sent Packet 0 of 15360"),
              rig.host.status.end());
    EXPECT_NE(
        std::find(rig.host.status.begin(), rig.host.status.end(), texts::kStatusSendingChecksum),
        rig.host.status.end());
    EXPECT_EQ(rig.host.LastStatus(), texts::kStatusChecksumReceived);
    EXPECT_FALSE(rig.link.upgradeInProgress());
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_EQ(rig.link.GetReceiveState(), ReceiveState::HuntSync1);
    EXPECT_EQ(rig.link.Counters().sentCount, static_cast<int>(kUnits + 3));
    EXPECT_TRUE(rig.link.CommandsEnabled());
}

TEST(UpgradeTransfer, EachFailureEndsTheDialogWithItsText) {
    struct Case {
        const char* name;
        std::function<void(FakeController&)> setup;
        const char* text;
        std::size_t units;
    };
    const Case cases[] = {
        {"swapped echo", [](FakeController& c) { c.swapEchoAtWord = 100; },
         texts::kByteMismatchText, 101},
        {"missing echo", [](FakeController& c) { c.dropEchoAtWord = 5; },
         link_text::kTransferTimeoutText, 6},
        {"checksum echo differs", [](FakeController& c) { c.corruptChecksumEcho = true; },
         texts::kChecksumMismatchText, kUnits + 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpgradeRig rig;
        c.setup(rig.controller);
        ASSERT_EQ(rig.Start(), UpgradeStart::Started);
        rig.host.answers = {MessageAnswer::Yes};
        rig.RunUntilIdle();
        ASSERT_TRUE(rig.host.finishText.has_value());
        EXPECT_EQ(*rig.host.finishText, c.text);
        EXPECT_FALSE(rig.host.finishedWithSuccess);
        EXPECT_EQ(rig.UnitsSent(), c.units);
        EXPECT_FALSE(rig.link.upgradeInProgress());
        EXPECT_EQ(rig.link.GetReceiveState(), ReceiveState::HuntSync1);
        EXPECT_FALSE(rig.host.timerArmed);
        // Nothing more goes to the controller.
        rig.host.Advance(100000);
        EXPECT_EQ(rig.UnitsSent(), c.units);
    }
}

TEST(UpgradeTransfer, MissingEchoEndsAfterOneTimeoutInterval) {
    UpgradeRig rig;
    rig.controller.dropEchoAtWord = 0;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Yes};
    rig.RunUntilIdle();
    ASSERT_EQ(rig.port.writeTimes.size(), 3u);
    EXPECT_EQ(rig.host.nowMs - rig.port.writeTimes.back(), 40);
    EXPECT_EQ(rig.link.Counters().timeoutCount, 1);
}

TEST(UpgradeVersionCheck, TimeoutBoxIgnoreGoesStraightToFlashPermission) {
    UpgradeRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Ignore};
    rig.RunUntilIdle();
    const test::BoxRecord* box = rig.FindBox(link_text::kVersionTimeoutCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, link_text::kVersionTimeoutText);
    EXPECT_EQ(box->icon, MessageIcon::Exclamation);
    EXPECT_EQ(box->buttons, MessageButtons::AbortRetryIgnore);
    // No automatic retries, no version question.
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 238}));
    EXPECT_EQ(rig.FindBox(texts::kVersionQuestionCaption), nullptr);
    EXPECT_TRUE(rig.host.finishedWithSuccess);
}

TEST(UpgradeVersionCheck, TimeoutBoxRetryAsksAgainAndAbortEnds) {
    UpgradeRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Retry, MessageAnswer::Abort};
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 3}));
    EXPECT_EQ(rig.host.boxes.size(), 4u);
    EXPECT_FALSE(rig.link.upgradeInProgress());
    EXPECT_EQ(rig.link.QueueLength(), 0u);
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_EQ(rig.host.upgradeDialogs, 0);
}

TEST(UpgradeVersionCheck, ChecksumErrorsEndTheUpgradeWithoutRetries) {
    struct Case {
        bool damageInfo;
        const char* text;
        std::vector<std::uint8_t> sent;
    };
    const Case cases[] = {
        {true, link_text::kInfoCrcFailedText, {3}},
        {false, link_text::kPermissionCrcFailedText, {3, 238}},
    };
    for (const Case& c : cases) {
        UpgradeRig rig;
        rig.controller.damageInfoReply = c.damageInfo;
        rig.controller.damagePermissionReply = !c.damageInfo;
        ASSERT_EQ(rig.Start(), UpgradeStart::Started);
        rig.host.answers = {MessageAnswer::Yes};
        rig.RunUntilIdle();
        const test::BoxRecord* box = rig.FindBox(link_text::kUpdateFailedCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text, c.text);
        EXPECT_EQ(box->icon, MessageIcon::Exclamation);
        EXPECT_EQ(rig.SentTypes(), c.sent);
        EXPECT_FALSE(rig.link.upgradeInProgress());
        EXPECT_FALSE(rig.link.requestInFlight());
        EXPECT_EQ(rig.link.QueueLength(), 0u);
        EXPECT_EQ(rig.host.LastStatus(), link_text::kStatusCrcError);
        EXPECT_EQ(rig.host.upgradeDialogs, 0);
    }
}

TEST(UpgradeVersionCheck, SilentFlashPermissionFailsAfterItsLongInterval) {
    UpgradeRig rig;
    rig.controller.answerPermission = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Yes};
    rig.RunUntilIdle();
    const test::BoxRecord* box = rig.FindBox(link_text::kUpdateFailedCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text, link_text::kPermissionTimeoutText);
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 238}));
    EXPECT_EQ(rig.host.nowMs - rig.port.writeTimes.back(), 5040);
    EXPECT_FALSE(rig.link.upgradeInProgress());
    EXPECT_EQ(rig.link.QueueLength(), 0u);
}

TEST(UpgradeVersionCheck, RepliesToOtherRequestsAreIgnoredAndTheCheckTimesOut) {
    UpgradeRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Abort};
    rig.Deliver(test::DamagedReplyFrame(1, Bytes(110, 0)));
    rig.Deliver(test::ReplyFrame(2, 0, Bytes{}));
    EXPECT_EQ(rig.link.Counters().crcErrorCount, 0);
    EXPECT_EQ(rig.link.Counters().goodCount, 0);
    EXPECT_EQ(rig.link.Counters().strayReplyCount, 2);
    EXPECT_TRUE(rig.link.requestInFlight());
    EXPECT_EQ(rig.link.QueueLength(), 1u);
    // The version check still ends, by its own reply timer.
    rig.RunUntilIdle();
    EXPECT_EQ(rig.link.Counters().timeoutCount, 1);
    ASSERT_NE(rig.FindBox(link_text::kVersionTimeoutCaption), nullptr);
    EXPECT_FALSE(rig.link.upgradeInProgress());
    EXPECT_FALSE(rig.link.requestInFlight());
    EXPECT_FALSE(rig.host.timerArmed);
}

TEST(UpgradeReentry, LateAndRetriedVersionRepliesTogetherAskOnce) {
    UpgradeRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Retry};
    ASSERT_TRUE(rig.host.FireTimer());
    ASSERT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 3}));
    // The first reply was only late: it arrives with the reply to the retry.
    const Bytes info = test::ReplyFrame(3, 0, test::InfoPayload(rig.controller.serial, 0x0102));
    Bytes both = info;
    both.insert(both.end(), info.begin(), info.end());
    rig.controller.answerInfo = true;
    rig.host.answers = {MessageAnswer::Yes};
    rig.Deliver(both);
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 3, 238}));
    int questions = 0;
    for (const test::BoxRecord& box : rig.host.boxes) {
        questions += box.caption == texts::kVersionQuestionCaption;
    }
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(rig.host.finishedWithSuccess);
    EXPECT_FALSE(rig.link.upgradeInProgress());
}

TEST(UpgradeReentry, LateVersionReplyDuringTheTimeoutBoxIsTakenOnce) {
    UpgradeRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.duringBox = [&](const test::BoxRecord& box) {
        if (box.caption == link_text::kVersionTimeoutCaption) {
            rig.Deliver(test::ReplyFrame(3, 0, test::InfoPayload(rig.controller.serial, 0x0102)));
        }
    };
    // Yes to the version question asked inside the box; Ignore to the box itself, which by
    // then no longer applies.
    rig.host.answers = {MessageAnswer::Yes, MessageAnswer::Ignore};
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 238}));
    EXPECT_EQ(rig.host.upgradeDialogs, 1);
    EXPECT_TRUE(rig.host.finishedWithSuccess);
}

// ---- backup before the flash request ----------------------------------------------------------

struct BackupRig : UpgradeRig {
    std::string folder = test::MakeTempDir() + "/backups/";  // made by the first backup
    ConfigDocument stored;  // what the controller holds, as a download gives it
    // The backup file as it stood when the flash request went out.
    std::optional<ConfigDocument> atPermission;
    std::vector<std::string> filesAtPermission;

    BackupRig() {
        settings.BackupBeforeUpgrade = true;
        upgrade.SetBackupFolder(folder);
        ConfigDocument bar = test::SampleConfigDocument();
        SetMAP_In_bar(bar.record, true);
        for (double& p : bar.displayPressures) {
            p *= kPsiToBar;
        }
        controller.configImage = ToWireImage(bar);
        FromWireImage(stored, controller.configImage.data());
        auto answer = port.onWrite;
        port.onWrite = [this, answer](std::span<const std::uint8_t> bytes) {
            if (bytes.size() >= 8 && bytes[4] == 238) {
                filesAtPermission = Files();
                if (!upgrade.BackupPath().empty()) {
                    const ConfigFileRead read = ReadConfigFile(upgrade.BackupPath());
                    if (read.status == ConfigFileStatus::Ok) {
                        atPermission = read.document;
                    }
                }
            }
            answer(bytes);
        };
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

bool SameDocument(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           a.displayPressures == b.displayPressures;
}

// A configuration as a configuration file keeps it (pressures with two decimals).
ConfigDocument AsAFileKeepsIt(const ConfigDocument& doc) {
    return ReadConfigText(ConfigFileText(doc, TodayText())).document;
}

TEST(UpgradeBackup, TheControllersConfigIsSavedBeforeTheFlashRequestAndNamedAtTheEnd) {
    BackupRig rig;
    const ConfigDocument document = rig.host.document;
    const std::string name = "zentrik-0123456789ABCDEF-" + TodayText() + ".zcfg";
    for (const std::string& expected :
         {name, "zentrik-0123456789ABCDEF-" + TodayText() + "-2.zcfg"}) {
        SCOPED_TRACE(expected);
        rig.atPermission.reset();
        ASSERT_EQ(rig.Start(), UpgradeStart::Started);
        rig.host.answers = {MessageAnswer::Yes};
        rig.RunUntilIdle();
        EXPECT_TRUE(rig.host.finishedWithSuccess);
        EXPECT_EQ(rig.upgrade.BackupPath(), rig.folder + expected);
        ASSERT_TRUE(rig.atPermission.has_value()) << "no backup when the flash request went out";
        // The same settings, at the precision the file keeps.
        EXPECT_TRUE(DifferingSettings(*rig.atPermission, AsAFileKeepsIt(rig.stored)).empty());
        EXPECT_TRUE(MAP_In_bar(rig.atPermission->record));
        EXPECT_EQ(rig.upgrade.SuccessNote(),
                  "The controller's configuration was backed up to " + rig.folder + expected + ".");
    }
    // The second upgrade of the day kept the first one's backup.
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 1, 238, 3, 1, 238}));
    EXPECT_EQ(rig.filesAtPermission.size(), 2u);
    const ConfigFileRead first = ReadConfigFile(rig.folder + name);
    ASSERT_EQ(first.status, ConfigFileStatus::Ok);
    EXPECT_TRUE(DifferingSettings(first.document, AsAFileKeepsIt(rig.stored)).empty());
    // The download went to the backup only.
    EXPECT_TRUE(SameDocument(rig.host.document, document));
    EXPECT_TRUE(rig.host.refreshHints.empty());
    EXPECT_TRUE(rig.host.notices.empty());
    EXPECT_TRUE(rig.host.downloads.empty());
}

TEST(UpgradeBackup, SkippedVersionCheckStillBacksUpUnderAnUnknownSerial) {
    BackupRig rig;
    rig.controller.answerInfo = false;
    ASSERT_EQ(rig.Start(), UpgradeStart::Started);
    rig.host.answers = {MessageAnswer::Ignore};
    rig.RunUntilIdle();
    EXPECT_EQ(rig.SentTypes(), (std::vector<std::uint8_t>{3, 1, 238}));
    EXPECT_EQ(rig.filesAtPermission,
              std::vector<std::string>{"zentrik-unknown-" + TodayText() + ".zcfg"});
    EXPECT_TRUE(rig.host.finishedWithSuccess);
}

TEST(UpgradeBackup, WithoutItsBackupTheUpgradeNeverAsksToFlash) {
    struct Case {
        const char* name;
        MessageAnswer answer;  // to the backup download's time-out box
        bool unwritable;
        std::string text;
    };
    BackupRig probe;
    const std::string blocker = probe.folder.substr(0, probe.folder.size() - 1) + "-file";
    ASSERT_TRUE(std::ofstream(blocker) << "a file where the folder should be");
    const std::string unwritableFolder = blocker + "/backups/";
    const Case cases[] = {
        {"abort", MessageAnswer::Abort, false, link_text::kBackupDownloadFailedText},
        {"ignore", MessageAnswer::Ignore, false, link_text::kBackupDownloadFailedText},
        {"unwritable", MessageAnswer::Ok, true,
         "The controller's configuration could not be saved to " + unwritableFolder +
             "zentrik-0123456789ABCDEF-" + TodayText() + ".zcfg.\nThe upgrade has not started."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BackupRig rig;
        if (c.unwritable) {
            rig.upgrade.SetBackupFolder(unwritableFolder);
        } else {
            // Silent from the version question on.
            rig.host.duringBox = [&rig](const test::BoxRecord& box) {
                rig.controller.answerFrames = box.caption != texts::kVersionQuestionCaption;
            };
        }
        ASSERT_EQ(rig.Start(), UpgradeStart::Started);
        rig.host.answers = {MessageAnswer::Yes};
        if (!c.unwritable) {
            rig.host.answers.push_back(c.answer);
        }
        rig.RunUntilIdle();
        const std::vector<std::uint8_t> sent = rig.SentTypes();
        EXPECT_EQ(std::count(sent.begin(), sent.end(), 238), 0);
        EXPECT_EQ(sent.back(), 1);
        const test::BoxRecord* box = rig.FindBox(link_text::kUpdateFailedCaption);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text, c.text);
        EXPECT_EQ(box->icon, MessageIcon::Exclamation);
        EXPECT_FALSE(rig.link.upgradeInProgress());
        EXPECT_TRUE(rig.link.CommandsEnabled());
        EXPECT_EQ(rig.link.QueueLength(), 0u);
        EXPECT_FALSE(rig.host.timerArmed);
        EXPECT_EQ(rig.upgrade.BackupPath(), "");
        EXPECT_EQ(rig.host.upgradeDialogs, 0);
    }
}

}  // namespace
}  // namespace zentrik
