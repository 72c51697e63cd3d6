// The command runner over the in-memory link: a fake port with a scripted controller behind
// it, and a fake event source whose clock jumps to the reply timer's deadline, so time-outs
// and retries take no real time.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>

#include "config/config_persistence.h"
#include "ctl/ctl_session.h"
#include "link/discovery/bridge_identity.h"
#include "link/discovery/port_scanner.h"
#include "link/serial/device_name.h"
#include "support/firmware_file.h"
#include "support/link_rig.h"
#include "support/sample_config.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using test::FakeController;
using test::FakePort;

class FakeEventSource : public PortEventSource {
  public:
    LoopClock::time_point now{};
    std::deque<std::uintptr_t> pending;

    LoopClock::time_point Now() override { return now; }
    void Wait(std::optional<LoopClock::time_point> deadline,
              std::vector<std::uintptr_t>& out) override {
        if (!pending.empty()) {
            out.insert(out.end(), pending.begin(), pending.end());
            pending.clear();
            return;
        }
        if (deadline && *deadline > now) {
            now = *deadline;
        }
    }
};

using test::SampleConfigDocument;

struct SessionRig {
    std::string dir = test::MakeTempDir();
    std::string ini = dir + "/Zentrik.ini";
    AppSettings settings;
    FakePort port;
    FakeController controller{port};
    FakeEventSource source;
    CtlOptions options;
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    bool interactive = false;
    // Frames the controller ignores before it starts answering, and after it stops.
    int silentFrames = 0;
    int answeredFrames = 1 << 30;

    SessionRig() {
        // The controller's answers reach the loop as a port notification, as the port's
        // event thread would post it.
        auto answer = port.onWrite;
        port.onWrite = [this, answer](std::span<const std::uint8_t> bytes) {
            if (bytes.size() >= 8) {
                const int frames = static_cast<int>(controller.requestTypes.size());
                controller.answerFrames = frames >= silentFrames && frames < answeredFrames;
            }
            answer(bytes);
            if (port.HasPending()) {
                source.pending.push_back(kEventRxChar);
            }
        };
    }

    int Run(CtlCommand command, std::string input = {}) {
        options.command = command;
        in.str(std::move(input));
        settings.SetPath(ini);
        settings.LoadSettings();
        const CtlConsole console{in, out, err, interactive};
        CtlSession session(options, settings, port, nullptr, source, console);
        CPortScanner scanner(MakeOverrideBridgeList());
        return session.Run(scanner);
    }

    int FramesSent() const { return static_cast<int>(controller.requestTypes.size()); }
    bool ErrHas(const std::string& text) const { return err.str().find(text) != std::string::npos; }
};

// ---- info -----------------------------------------------------------------------------------

TEST(CtlSession, InfoPrintsSerialAndVersionOnStdout) {
    SessionRig rig;
    rig.controller.serial = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x11, 0x22, 0x33};
    rig.controller.version = 0x0A0B;
    EXPECT_EQ(rig.Run(CtlCommand::Info), kCtlExitOk) << rig.err.str();
    EXPECT_EQ(rig.out.str(), "Serial Number:DEADBEEF00112233\nFirmware Version:0A0B\n");
    EXPECT_EQ(rig.controller.requestTypes, std::vector<std::uint8_t>{3});
    EXPECT_FALSE(rig.port.open) << "the port is closed at the end";
}

TEST(CtlSession, SilentControllerTimesOutAfterTheRetriesAndAnswersAbort) {
    SessionRig rig;
    rig.silentFrames = 1000;
    EXPECT_EQ(rig.Run(CtlCommand::Info), kCtlExitFailed);
    EXPECT_EQ(rig.FramesSent(), 3);  // the default TimeoutRetry
    EXPECT_TRUE(rig.ErrHas("The message timed out.")) << rig.err.str();
    EXPECT_TRUE(rig.ErrHas("answered Abort"));
    EXPECT_EQ(rig.out.str(), "");
}

TEST(CtlSession, RetriesFollowTheIniSettings) {
    SessionRig rig;
    ASSERT_TRUE(test::WriteBytesFile(rig.ini, {}));
    AppSettings writer;
    writer.SetPath(rig.ini);
    writer.WriteInt(kSettingsSection, "TimeoutRetry", 5);
    rig.silentFrames = 4;  // the fifth attempt is answered
    EXPECT_EQ(rig.Run(CtlCommand::Info), kCtlExitOk) << rig.err.str();
    EXPECT_EQ(rig.FramesSent(), 5);
}

TEST(CtlSession, ATerminalUserCanRetryAfterTheTimeoutBox) {
    SessionRig rig;
    rig.interactive = true;
    rig.silentFrames = 3;  // the three automatic attempts fail, the retry is answered
    EXPECT_EQ(rig.Run(CtlCommand::Info, "r\n"), kCtlExitOk) << rig.err.str();
    EXPECT_EQ(rig.FramesSent(), 4);
    EXPECT_NE(rig.out.str().find("Firmware Version:0102"), std::string::npos);
}

TEST(CtlSession, IgnoringTheFailedRequestIsNotSuccess) {
    SessionRig rig;
    rig.interactive = true;
    rig.silentFrames = 1000;
    EXPECT_EQ(rig.Run(CtlCommand::Info, "i\n"), kCtlExitFailed);
    EXPECT_EQ(rig.FramesSent(), 3);
    EXPECT_TRUE(rig.ErrHas("no controller info was received"));
}

TEST(CtlSession, AControllerThatReportsErrorsEndsWithTheCrcBox) {
    SessionRig rig;
    rig.controller.replyStatus = 1;
    EXPECT_EQ(rig.Run(CtlCommand::Info), kCtlExitFailed);
    EXPECT_EQ(rig.FramesSent(), 3);  // the default CRCRetry
    EXPECT_TRUE(rig.ErrHas("The message had crc errors.")) << rig.err.str();
}

TEST(CtlSession, APortThatCannotBeOpenedFailsAtOnce) {
    SessionRig rig;
    rig.port.openResult = 2;
    EXPECT_EQ(rig.Run(CtlCommand::Info), kCtlExitFailed);
    // The link's message, then on the next line why: error 2 is "no such file".
    const std::string box = "is not available. Please choose a different serial port.\n";
    const std::string err = rig.err.str();
    ASSERT_NE(err.find(box), std::string::npos) << err;
    const std::string next = err.substr(err.find(box) + box.size());
    EXPECT_NE(next.find(" is not there: the controller is unplugged"), std::string::npos) << err;
    EXPECT_EQ(next.find('\n'), next.size() - 1) << "the help is not the next line: " << err;
    EXPECT_TRUE(rig.port.writes.empty());
    EXPECT_EQ(rig.source.now, LoopClock::time_point{}) << "no reply time-out was waited for";
}

// ---- download and upload ----------------------------------------------------------------------

TEST(CtlSession, DownloadStoresTheControllersConfigAndLeavesTheRestOfTheFile) {
    SessionRig rig;
    const std::string before = "; keep me\n[Zentrik Settings]\nTimeout=77\n[Other]\nx=1\n";
    ASSERT_TRUE(test::WriteBytesFile(rig.ini, {before.begin(), before.end()}));
    const ConfigDocument sample = SampleConfigDocument();
    rig.controller.configImage = ToWireImage(sample);

    EXPECT_EQ(rig.Run(CtlCommand::Download), kCtlExitOk) << rig.err.str();
    EXPECT_TRUE(rig.ErrHas("The config was downloaded from the controller successfully."));

    AppSettings reader;
    reader.SetPath(rig.ini);
    ConfigDocument loaded;
    LoadDocument(reader, loaded);
    EXPECT_EQ(std::memcmp(&loaded.record, &sample.record, sizeof loaded.record), 0);
    EXPECT_EQ(loaded.displayPressures, sample.displayPressures);

    const std::string after = test::ReadTextFile(rig.ini);
    EXPECT_NE(after.find("; keep me"), std::string::npos);
    EXPECT_NE(after.find("Timeout=77"), std::string::npos);
    EXPECT_NE(after.find("x=1"), std::string::npos);
    EXPECT_EQ(after.find("CommPort"), std::string::npos) << "the settings are never written";
}

TEST(CtlSession, FailedDownloadWritesNothing) {
    for (const bool crc : {false, true}) {
        SessionRig rig;
        if (crc) {
            rig.controller.replyStatus = 1;
        } else {
            rig.silentFrames = 1000;
        }
        EXPECT_EQ(rig.Run(CtlCommand::Download), kCtlExitFailed);
        EXPECT_TRUE(rig.ErrHas(crc ? "The message had crc errors." : "The message timed out."));
        EXPECT_TRUE(rig.ErrHas("the configuration was not downloaded"));
        EXPECT_FALSE(std::ifstream(rig.ini).good()) << "no INI file was created";
    }
}

TEST(CtlSession, DownloadReportsAnIniFileThatCannotBeWritten) {
    SessionRig rig;
    rig.ini = rig.dir + "/missing-folder/Zentrik.ini";
    EXPECT_EQ(rig.Run(CtlCommand::Download), kCtlExitFailed);
    EXPECT_TRUE(rig.ErrHas("cannot write the INI file " + rig.ini)) << rig.err.str();
    EXPECT_FALSE(rig.ErrHas("The config was downloaded from the controller successfully."))
        << "success and failure both reported";
}

TEST(CtlSession, UploadSendsTheIniFilesConfig) {
    SessionRig rig;
    ConfigDocument sample = SampleConfigDocument();
    AppSettings writer;
    writer.SetPath(rig.ini);
    ASSERT_TRUE(SaveDocument(writer, sample));

    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitOk) << rig.err.str();
    EXPECT_TRUE(rig.ErrHas("The config was uploaded to the controller successfully."));
    ASSERT_EQ(rig.port.writes.size(), 1u);
    const auto& frame = rig.port.writes[0];
    ASSERT_EQ(frame.size(), 118u);
    const auto wire = ToWireImage(sample);
    EXPECT_TRUE(std::equal(wire.begin(), wire.end(), frame.begin() + 6));
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(CtlSession, UploadSendsNothingTheFormWouldNotAllowUnlessCorrectedAndCheckNamesIt) {
    const std::string text = "[Zentrik Config]\nStage 1 Frequency=300\nStage 2 Percent 7=180\n";
    const std::string problems =
        "Stage 1 Solenoid Frequency is \"300\" in the file; it must be 10 to 60 Hz.\n"
        "Stage 2 Percent 7 is 180%; it must be 0 to 100%.\n";
    SessionRig rig;
    ASSERT_TRUE(test::WriteBytesFile(rig.ini, test::Bytes(text.begin(), text.end())));
    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitFailed);
    EXPECT_EQ(rig.FramesSent(), 0);
    EXPECT_EQ(rig.err.str(),
              "zentrikctl: Check Before Upload: " + problems.substr(0, problems.find('\n') + 1) +
                  "zentrikctl: Check Before Upload: " + problems.substr(problems.find('\n') + 1) +
                  "zentrikctl: the configuration was not uploaded (--correct "
                  "corrects these values as the form would)\n");

    std::ostringstream out, err;
    std::istringstream in;
    CtlOptions check;
    check.command = CtlCommand::Check;
    EXPECT_EQ(RunCheck(check, rig.settings, CtlConsole{in, out, err}), kCtlExitDiffer);
    EXPECT_EQ(out.str(), problems);

    rig.options.correct = true;
    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitOk) << rig.err.str();
    ConfigDocument stored;
    FromWireImage(stored, rig.controller.configImage.data());
    EXPECT_EQ(stored.record.stage[0].Frequency, 60);
    EXPECT_EQ(stored.record.stage[1].Percent[7], 100);
}

TEST(CtlSession, AFileLackingSettingsIsRefusedAndSaysSo) {
    SessionRig rig;
    const std::string file = rig.dir + "/part.zcfg";
    const std::string text = "[Zentrik Config]\nStage 1 Frequency=20\n";
    ASSERT_TRUE(test::WriteBytesFile(file, test::Bytes(text.begin(), text.end())));
    rig.options.configFile = file;
    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitFailed);
    EXPECT_EQ(rig.FramesSent(), 0);
    EXPECT_EQ(rig.err.str(), "zentrikctl: " + file +
                                 ": The file lacks 70 of the 71 settings of a configuration.\n");
}

TEST(CtlSession, AVerifyTellsItsOutcomeOnceAndAnUnverifiedUploadExitsWithFour) {
    {
        SessionRig rig;
        rig.options.verify = true;
        rig.answeredFrames = 1;  // the upload is acknowledged; the read-back gets no reply
        EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitUnverified);
        EXPECT_EQ(Count(rig.err.str(),
                        "The controller acknowledged the configuration, but "
                        "reading it back failed: the message timed out."),
                  1u)
            << rig.err.str();
        EXPECT_FALSE(rig.ErrHas("not uploaded"));
    }
    SessionRig rig;
    rig.options.verify = true;
    rig.controller.storeFaultAt = 8;
    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitFailed);
    EXPECT_EQ(Count(rig.err.str(), "holds a different configuration"), 1u) << rig.err.str();
}

TEST(CtlSession, UploadWithoutAnIniFileSendsTheDefaults) {
    SessionRig rig;
    EXPECT_EQ(rig.Run(CtlCommand::Upload), kCtlExitOk) << rig.err.str();
    ASSERT_EQ(rig.port.writes.size(), 1u);
    ConfigDocument defaults;
    AppSettings none;
    none.SetPath(rig.ini);
    LoadDocument(none, defaults);
    EXPECT_EQ(defaults.record.stage[0].RPM_Max, 5000);  // a default, not zero
    const auto wire = ToWireImage(defaults);
    EXPECT_TRUE(std::equal(wire.begin(), wire.end(), rig.port.writes[0].begin() + 6));
    EXPECT_FALSE(std::ifstream(rig.ini).good()) << "an upload writes no file";
}

// ---- upgrade --------------------------------------------------------------------------------

struct UpgradeRig : SessionRig {
    std::vector<std::uint8_t> file = test::BuildFirmwareFile(0x0200);
    UpgradeRig() {
        options.firmwareFile = dir + "/fw.eep";
        EXPECT_TRUE(test::WriteBytesFile(options.firmwareFile, file));
        options.yes = true;
    }
    int CountLines(const std::string& prefix) const {
        int n = 0;
        std::istringstream lines(err.str());
        for (std::string line; std::getline(lines, line);) {
            n += line.starts_with(prefix) ? 1 : 0;
        }
        return n;
    }
};

TEST(CtlSession, UpgradeSendsTheImageAndSucceedsOnTheChecksumEcho) {
    UpgradeRig rig;
    EXPECT_EQ(rig.Run(CtlCommand::Upgrade), kCtlExitOk) << rig.err.str();
    EXPECT_EQ(rig.controller.requestTypes, (std::vector<std::uint8_t>{3, 238}));
    EXPECT_TRUE(std::equal(rig.file.begin(), rig.file.begin() + 30720,
                           rig.controller.receivedImage.begin(),
                           rig.controller.receivedImage.end()));
    EXPECT_EQ(rig.controller.receivedImage.size(), 30720u);
    EXPECT_EQ(rig.controller.receivedChecksum.size(), 2u);
    EXPECT_TRUE(rig.ErrHas("Firmware upgrade complete."));
    EXPECT_TRUE(rig.ErrHas("This will upgrade the controller version from 0102 to 0200."));
    // Progress by tenths, not by word.
    EXPECT_EQ(rig.CountLines("Sending firmware:"), 10);
    EXPECT_EQ(rig.CountLines("Checking firmware checksum"), 1);
}

TEST(CtlSession, UpgradeWithoutYesAndWithoutATerminalSendsNothing) {
    UpgradeRig rig;
    rig.options.yes = false;
    EXPECT_EQ(rig.Run(CtlCommand::Upgrade), kCtlExitFailed);
    EXPECT_TRUE(rig.port.writes.empty());
    EXPECT_TRUE(rig.ErrHas("Would you like to upgrade the controller's firmware?"));
    EXPECT_TRUE(rig.ErrHas("the firmware upgrade was not started"));
}

TEST(CtlSession, ATerminalUserDecliningTheVersionQuestionEndsTheUpgrade) {
    UpgradeRig rig;
    rig.options.yes = false;
    rig.interactive = true;
    EXPECT_EQ(rig.Run(CtlCommand::Upgrade, "y\ny\nn\n"), kCtlExitFailed);
    EXPECT_EQ(rig.controller.requestTypes, std::vector<std::uint8_t>{3});
    EXPECT_EQ(rig.controller.unitsReceived, 0);
}

TEST(CtlSession, RefusedFilesSendNothing) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    std::vector<std::uint8_t> corrupt = test::BuildFirmwareFile(0x0200);
    corrupt[100] ^= 0x01;
    const std::vector<Case> cases = {
        {corrupt, "The file appears to be corrupted. Please try again."},
        {test::BuildFirmwareFile(0x0200, 0x0B), "The file appears to be for a different product."},
    };
    for (const Case& c : cases) {
        UpgradeRig rig;
        ASSERT_TRUE(test::WriteBytesFile(rig.options.firmwareFile, c.bytes));
        EXPECT_EQ(rig.Run(CtlCommand::Upgrade), kCtlExitFailed);
        EXPECT_TRUE(rig.ErrHas(c.message)) << rig.err.str();
        EXPECT_TRUE(rig.port.writes.empty());
    }
    UpgradeRig missing;
    missing.options.firmwareFile = missing.dir + "/nope.eep";
    EXPECT_EQ(missing.Run(CtlCommand::Upgrade), kCtlExitFailed);
    EXPECT_TRUE(missing.ErrHas("There was an error opening the file."));
    EXPECT_TRUE(missing.port.writes.empty());
}

TEST(CtlSession, TransferFailuresEndTheUpgradeWithTheirMessage) {
    struct Case {
        long swapAt = -1;
        long dropAt = -1;
        bool badChecksum = false;
        const char* message;
    };
    const std::vector<Case> cases = {
        {700, -1, false, "There was a byte mismatch during the update. Please try again."},
        {-1, 15359, false, "The controller did not respond to the upgrade process."},
        {-1, -1, true, "There was a checksum mismatch, please try again."},
    };
    for (const Case& c : cases) {
        UpgradeRig rig;
        rig.controller.swapEchoAtWord = c.swapAt;
        rig.controller.dropEchoAtWord = c.dropAt;
        rig.controller.corruptChecksumEcho = c.badChecksum;
        EXPECT_EQ(rig.Run(CtlCommand::Upgrade), kCtlExitFailed);
        EXPECT_TRUE(rig.ErrHas(c.message)) << rig.err.str();
        EXPECT_TRUE(rig.ErrHas("the firmware upgrade did not complete"));
        EXPECT_FALSE(rig.ErrHas("Firmware upgrade complete."));
    }
}

TEST(CtlSession, UnitTimesAreWrittenForEveryUnitSent) {
    UpgradeRig rig;
    const std::string times = rig.dir + "/times.txt";
    rig.options.command = CtlCommand::Upgrade;
    rig.settings.SetPath(rig.ini);
    rig.settings.LoadSettings();
    const CtlConsole console{rig.in, rig.out, rig.err, false};
    CtlSession session(rig.options, rig.settings, rig.port, nullptr, rig.source, console);
    session.SetUnitTimesPath(times);
    CPortScanner scanner(MakeOverrideBridgeList());
    ASSERT_EQ(session.Run(scanner), kCtlExitOk);
    std::istringstream lines(test::ReadTextFile(times));
    std::vector<long long> values;
    for (long long v; lines >> v;) {
        values.push_back(v);
    }
    // 15360 words and the checksum sent, and the checksum's echo.
    ASSERT_EQ(values.size(), 15362u);
    EXPECT_EQ(values.front(), 0);
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
}

// ---- scan -----------------------------------------------------------------------------------

// A bridge list with one bridge of a given serial number and port number.
class OneBridge : public BridgeList {
  public:
    OneBridge(std::string serial, int port) : m_serial(std::move(serial)), m_port(port) {}
    std::uint32_t Count() override { return 1; }
    bool Open(std::uint32_t, BridgeHandle* handle) override {
        *handle = 1;
        return true;
    }
    bool VendorId(BridgeHandle, std::uint16_t* id) override {
        *id = kControllerVendorId;
        return true;
    }
    bool ProductId(BridgeHandle, std::uint16_t* id) override {
        *id = kControllerProductId;
        return true;
    }
    void SerialNumber(BridgeHandle, char* buffer, std::uint8_t* length) override {
        std::memcpy(buffer, m_serial.data(), m_serial.size());
        *length = static_cast<std::uint8_t>(m_serial.size());
    }
    void Close(BridgeHandle) override {}
    int PortNumber(std::uint16_t, std::uint16_t, std::string_view) override { return m_port; }

  private:
    std::string m_serial;
    int m_port;
};

TEST(CtlScan, PrintsTheDiscoveredDeviceOrExplainsWhyNot) {
    const char* saved = std::getenv("ZENTRIK_PORT");
    const std::string savedValue = saved ? saved : "";
    test::UnsetVariable("ZENTRIK_PORT");
    std::istringstream in;
    struct Case {
        std::string serial;
        int port;
        int exit;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"030A1234", 4, kCtlExitOk, PlatformPortName(4) + "\n", ""},
        {"9999", 4, kCtlExitFailed, "", "no controller is attached"},
        {"030A1234", -1, kCtlExitFailed, "", "its serial port could not be determined"},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        AppSettings settings;
        settings.CommPort = 9;
        CPortScanner scanner(std::make_unique<OneBridge>(c.serial, c.port));
        EXPECT_EQ(RunScan(settings, scanner, CtlConsole{in, out, err, false}), c.exit);
        EXPECT_EQ(out.str(), c.out);
        EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
    }
    if (saved) {
        test::SetVariable("ZENTRIK_PORT", savedValue.c_str());
    }
}

}  // namespace
}  // namespace zentrik
