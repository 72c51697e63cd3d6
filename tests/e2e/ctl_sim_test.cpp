// zentrikctl against zentrik-sim over a pseudo-terminal, both as built. Every child runs
// under a time limit and is killed when it overstays; the test INI files use short reply
// allowances where a time-out is expected and a generous Timeout where none is.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "build_version.h"
#include "child_process.h"
#include "config/config_file.h"
#include "config/config_persistence.h"
#include "link/serial/serial_line.h"
#include "support/firmware_file.h"
#include "support/pty_pair.h"
#include "support/sample_config.h"
#include "support/test_paths.h"

namespace zentrik::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kCtlLimit = 30s;

// Settings for runs that should not time out on a loaded machine.
constexpr const char* kPatientSettings =
    "[Zentrik Settings]\nTimeout=500\nTimeoutRetry=3\nCRCRetry=3\n";

// A simulator for one test, in its own folder.
class Sim {
  public:
    explicit Sim(std::vector<std::string> args, std::string dir = MakeTempDir())
        : m_dir(std::move(dir)) {
        args.insert(args.begin(), SimulatorPath());
        m_process = std::make_unique<ServerProcess>(args, m_dir + "/sim.err");
        m_device = m_process->FirstLine(5s);
    }
    const std::string& Device() const { return m_device; }
    const std::string& Dir() const { return m_dir; }
    std::string Path(const std::string& name) const { return m_dir + "/" + name; }
    std::string Errors() const { return ReadTextFile(Path("sim.err")); }

  private:
    std::string m_dir;
    std::unique_ptr<ServerProcess> m_process;
    std::string m_device;
};

ProcessResult Ctl(std::vector<std::string> args, const EnvEdits& env = {}) {
    args.insert(args.begin(), CtlPath());
    return RunProcess(args, env, kCtlLimit);
}

std::string WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::trunc) << text;
    return path;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// An INI file holding the sample configuration (and patient settings).
std::string WriteSampleIni(const std::string& path) {
    WriteText(path, kPatientSettings);
    AppSettings settings;
    settings.SetPath(path);
    ConfigDocument doc = SampleConfigDocument();
    EXPECT_TRUE(SaveDocument(settings, doc));
    return path;
}

ConfigDocument LoadIni(const std::string& path) {
    AppSettings settings;
    settings.SetPath(path);
    ConfigDocument doc;
    LoadDocument(settings, doc);
    return doc;
}

void ExpectSameConfig(const std::string& expectedIni, const std::string& actualIni) {
    const std::string expected = IniSectionText(expectedIni, "Zentrik Config");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(IniSectionText(actualIni, "Zentrik Config"), expected);
    const ConfigDocument a = LoadIni(expectedIni);
    const ConfigDocument b = LoadIni(actualIni);
    EXPECT_EQ(std::memcmp(&a.record, &b.record, sizeof a.record), 0);
    EXPECT_EQ(a.displayPressures, b.displayPressures);
}

// ---- commands -------------------------------------------------------------------------------

TEST(CtlWithSim, InfoPrintsTheSimulatorsSerialAndVersion) {
    Sim sim({"--serial", "0123456789ABCDEF", "--version", "0A0B"});
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);
    const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Serial Number:0123456789ABCDEF\nFirmware Version:0A0B\n");
}

TEST(CtlWithSim, DownloadStoresExactlyTheSimulatorsConfig) {
    const std::string dir = MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    Sim sim({"--config", source}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);

    const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "download"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "The config was downloaded from the controller successfully."));
    ExpectSameConfig(source, ini);
    // The settings section is read, never rewritten.
    EXPECT_EQ(IniSectionText(ini, "Zentrik Settings"), "Timeout=500\nTimeoutRetry=3\nCRCRetry=3\n");
}

TEST(CtlWithSim, ADownloadIsRecordedOnceInTheHistoryWhichListsIt) {
    const std::string dir = MakeTempDir();
    Sim sim({}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);
    const EnvEdits env{"XDG_DATA_HOME=" + dir + "/data"};
    for (int run = 0; run < 2; ++run) {  // the second finds the same configuration
        const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "download"}, env);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    const ProcessResult r = Ctl({"history"}, env);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u) << r.out;
    const std::string folder = dir + "/data/zentrik/history/";
    EXPECT_TRUE(Has(lines[0], "  download  -                 " + folder)) << lines[0];
    EXPECT_EQ(ReadConfigFile(lines[0].substr(lines[0].find(folder))).status, ConfigFileStatus::Ok);
}

TEST(CtlWithSim, UploadedConfigIsWhatTheSimulatorStoresAndDownloadsAgain) {
    const std::string dir = MakeTempDir();
    const std::string record = dir + "/record.txt";
    Sim sim({"--record", record}, dir);  // factory configuration
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();

    const std::string upload = WriteSampleIni(sim.Path("upload.ini"));
    ProcessResult r = Ctl({"--port", sim.Device(), "--ini", upload, "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "The config was uploaded to the controller successfully."));

    // The frame on the wire carries the INI file's configuration.
    const std::vector<std::string> lines = Lines(ReadTextFile(record));
    ASSERT_EQ(lines.size(), 1u);
    const auto wire = ToWireImage(LoadIni(upload));
    std::ostringstream hex;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X", wire[i]);
        hex << ' ' << pair;
    }
    EXPECT_TRUE(Has(lines[0], "22 37 49 F2 02 0A" + hex.str())) << lines[0];

    // And the controller hands it back unchanged.
    const std::string back = WriteText(sim.Path("back.ini"), kPatientSettings);
    r = Ctl({"--port", sim.Device(), "--ini", back, "download"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ExpectSameConfig(upload, back);
}

TEST(CtlWithSim, UpgradeFlashesTheImageAndInfoReportsItsVersion) {
    const std::string dir = MakeTempDir();
    const std::string flash = dir + "/flash.bin";
    Sim sim({"--version", "0102", "--flash-out", flash}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::vector<std::uint8_t> file = BuildFirmwareFile(0x0203, 0x0A, 5);
    const std::string image = sim.Path("fw.eep");
    ASSERT_TRUE(WriteBytesFile(image, file));
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);

    ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "--yes", "upgrade", image});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "This will upgrade the controller version from 0102 to 0203."));
    EXPECT_TRUE(Has(r.err, "Firmware upgrade complete."));
    EXPECT_EQ(ReadBytesFile(flash), std::vector<std::uint8_t>(file.begin(), file.begin() + 30720));

    r = Ctl({"--port", sim.Device(), "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Firmware Version:0203\n")) << r.out;
}

TEST(CtlWithSim, CorruptFirmwareIsRefusedBeforeAnythingIsSent) {
    const std::string dir = MakeTempDir();
    const std::string record = dir + "/record.txt";
    Sim sim({"--record", record}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    std::vector<std::uint8_t> file = BuildFirmwareFile(0x0203);
    file[30723] ^= 0x80;  // the trailer no longer matches
    const std::string image = dir + "/bad.eep";
    ASSERT_TRUE(WriteBytesFile(image, file));
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);

    ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "--yes", "upgrade", image});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "The file appears to be corrupted. Please try again.")) << r.err;
    // The record is live: a request afterwards is its first and only line.
    r = Ctl({"--port", sim.Device(), "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(ReadTextFile(record)), std::vector<std::string>{"22 37 49 F2 03 0A 87 CA"});
}

// ---- configurations: compare, files, verify, backup ------------------------------------------

bool SameDocument(const ConfigDocument& a, const ConfigDocument& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           a.displayPressures == b.displayPressures;
}

TEST(CtlWithSim, CompareExitsZeroOnAMatchThreeOnDifferencesAndOneWhenTheLinkFails) {
    const std::string dir = MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    Sim sim({"--config", source}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();

    ProcessResult r = Ctl({"--port", sim.Device(), "--ini", source, "compare"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Has(r.err, "The controller holds the same configuration as this computer."));

    const std::string here = WriteSampleIni(dir + "/here.ini");
    AppSettings settings;
    settings.SetPath(here);
    ASSERT_TRUE(settings.WriteInt(kConfigSection, "Stage 1 RPM Max", 6000));
    r = Ctl({"--port", sim.Device(), "--ini", here, "compare"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, "Stage 1 RPM Cutoff: 6000 here, 6500 on the controller\n");

    Sim silent({"--silent"});
    ASSERT_FALSE(silent.Device().empty()) << silent.Errors();
    const std::string quick =
        WriteText(dir + "/quick.ini", "[Zentrik Settings]\nTimeout=10\nTimeoutRetry=1\n");
    r = Ctl({"--port", silent.Device(), "--ini", quick, "compare"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Has(r.err, "The message timed out.")) << r.err;
    EXPECT_TRUE(Has(r.err, "the controller's configuration was not downloaded")) << r.err;
}

TEST(CtlWithSim, ConfigurationFileGoesToOneControllerAndComparesEqualOnAnother) {
    const std::string dir = MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    Sim first({"--config", source}, dir);
    ASSERT_FALSE(first.Device().empty()) << first.Errors();
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);
    const std::string file = dir + "/saved.zcfg";

    ProcessResult r = Ctl({"--port", first.Device(), "--ini", ini, "--config", file, "download"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const ConfigFileRead saved = ReadConfigFile(file);
    ASSERT_EQ(saved.status, ConfigFileStatus::Ok);
    EXPECT_TRUE(SameDocument(saved.document, LoadIni(source)));
    EXPECT_EQ(ReadTextFile(ini), kPatientSettings) << "the INI file is left alone";

    // A controller with the factory configuration takes the file and then matches it, and
    // no longer matches the INI file's (default) configuration.
    const std::string record = dir + "/record.txt";
    Sim second({"--record", record});
    ASSERT_FALSE(second.Device().empty()) << second.Errors();
    r = Ctl({"--port", second.Device(), "--ini", ini, "--config", file, "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = Ctl({"--port", second.Device(), "--ini", ini, "--config", file, "compare"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
    r = Ctl({"--port", second.Device(), "--ini", ini, "compare"});
    EXPECT_EQ(r.exitCode, 3);

    // A file without the configuration ends the command before anything is sent.
    const std::size_t frames = Lines(ReadTextFile(record)).size();
    for (const char* command : {"upload", "compare"}) {
        r = Ctl({"--port", second.Device(), "--ini", ini, "--config", ini, command});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Has(r.err, ini + ": The file holds no Zentrik configuration.")) << r.err;
    }
    EXPECT_EQ(Lines(ReadTextFile(record)).size(), frames);
}

TEST(CtlWithSim, VerifiedUploadCatchesAControllerThatStoresSomethingElse) {
    const std::string dir = MakeTempDir();
    Sim faulty({"--store-fault", "9"}, dir);  // stage 1 RPM cutoff, low byte
    ASSERT_FALSE(faulty.Device().empty()) << faulty.Errors();
    const std::string ini = WriteSampleIni(dir + "/upload.ini");

    // Unverified, the controller's acknowledgement is all there is to go by.
    ProcessResult r = Ctl({"--port", faulty.Device(), "--ini", ini, "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;

    for (const bool bySetting : {false, true}) {
        SCOPED_TRACE(bySetting ? "VerifyUpload=1" : "--verify");
        std::vector<std::string> args = {"--port", faulty.Device(), "--ini", ini, "upload"};
        if (bySetting) {
            AppSettings settings;
            settings.SetPath(ini);
            ASSERT_TRUE(settings.WriteBool(kSettingsSection, "VerifyUpload", 1));
        } else {
            args.push_back("--verify");
        }
        r = Ctl(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Has(r.err,
                        "Verify Failed: The controller holds a different configuration "
                        "from the one uploaded.\n\nStage 1 RPM Cutoff: 6500 here, 6501 on "
                        "the controller\n"))
            << r.err;
        EXPECT_FALSE(Has(r.err, "uploaded to the controller successfully")) << r.err;
    }

    Sim sound({});
    ASSERT_FALSE(sound.Device().empty()) << sound.Errors();
    r = Ctl({"--port", sound.Device(), "--ini", ini, "--verify", "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.err, "The config was uploaded to the controller successfully.")) << r.err;
}

TEST(CtlWithSim, CheckNamesWhatUploadRefusesAndCorrectSends) {
    const std::string dir = MakeTempDir();
    Sim sim({}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini =
        WriteText(dir + "/t.ini",
                  std::string(kPatientSettings) + "[Zentrik Config]\nStage 1 RPM Max=99999\n");
    const std::string problem =
        "Stage 1 RPM Cutoff is \"99999\" in the file; it must be 1000 to 20000 RPM.\n";
    ProcessResult r = Ctl({"--ini", ini, "check"});
    EXPECT_EQ(r.exitCode, 3) << r.err;
    EXPECT_EQ(r.out, problem);
    r = Ctl({"--port", sim.Device(), "--ini", ini, "upload"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "Check Before Upload: " + problem)) << r.err;
    r = Ctl({"--port", sim.Device(), "--ini", ini, "--config", dir + "/held.zcfg", "download"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadConfigFile(dir + "/held.zcfg").document.record.stage[0].RPM_Max, 5000)
        << "the controller still holds its own";
    r = Ctl({"--port", sim.Device(), "--ini", ini, "--correct", "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    r = Ctl({"--port", sim.Device(), "--ini", ini, "--config", dir + "/held.zcfg", "download"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadConfigFile(dir + "/held.zcfg").document.record.stage[0].RPM_Max, 20000);
    r = Ctl({"--config", dir + "/held.zcfg", "check"});
    EXPECT_EQ(r.exitCode, 0) << r.out;
}

TEST(CtlWithSim, UploadOnlyChangesTheNamedSettingsOfTheControllersConfiguration) {
    const std::string dir = MakeTempDir();
    const std::string record = dir + "/record.txt";
    Sim sim({"--record", record}, dir);  // the factory configuration
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteSampleIni(dir + "/t.ini");
    const std::string held = dir + "/held.zcfg";
    const std::vector<std::string> port = {"--port", sim.Device(), "--ini", ini};
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), port.begin(), port.end());
        return Ctl(args);
    };
    ProcessResult r = run({"--only", "Stage 1 RPM Cutoff", "--only", "Stage 9 Delay", "upload"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Has(r.err, "unknown setting \"Stage 9 Delay\" for --only")) << r.err;
    EXPECT_EQ(ReadTextFile(record), "") << "nothing sent";

    ASSERT_EQ(run({"--config", held, "download"}).exitCode, 0);
    ConfigDocument expected = ReadConfigFile(held).document;
    expected.record.stage[0].RPM_Max = 6500;  // the sample's
    r = run({"--only", "stage 1 rpm cutoff", "--verify", "upload"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(run({"--config", held, "download"}).exitCode, 0);
    EXPECT_TRUE(SameDocument(ReadConfigFile(held).document, expected));
}

TEST(CtlWithSim, UpgradeWithBackupSavesTheControllersConfigurationBeforeFlashing) {
    const std::string dir = MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    const std::string record = dir + "/record.txt";
    Sim sim({"--config", source, "--serial", "0123456789ABCDEF", "--version", "0102", "--record",
             record},
            dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(WriteBytesFile(image, BuildFirmwareFile(0x0203, 0x0A, 2)));
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);

    const ProcessResult r =
        Ctl({"--port", sim.Device(), "--ini", ini, "--yes", "--backup", "upgrade", image},
            {"XDG_DATA_HOME=" + dir + "/data"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> backups;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/data/zentrik")) {
        if (entry.is_regular_file()) {  // beside the history's folder
            backups.push_back(entry.path().string());
        }
    }
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_TRUE(Has(backups[0], "/zentrik-0123456789ABCDEF-")) << backups[0];
    const ConfigFileRead backup = ReadConfigFile(backups[0]);
    ASSERT_EQ(backup.status, ConfigFileStatus::Ok);
    EXPECT_TRUE(SameDocument(backup.document, LoadIni(source)));
    EXPECT_TRUE(Has(r.err,
                    "Firmware upgrade complete.\nThe controller's configuration was "
                    "backed up to " +
                        backups[0] + ".\n"))
        << r.err;
    // Version check, backup download, flash request, then the words.
    const std::vector<std::string> lines = Lines(ReadTextFile(record));
    ASSERT_GT(lines.size(), 3u);
    EXPECT_TRUE(Has(lines[0], "22 37 49 F2 03 0A")) << lines[0];
    EXPECT_TRUE(Has(lines[1], "22 37 49 F2 01 0A")) << lines[1];
    EXPECT_TRUE(Has(lines[2], "22 37 49 F2 EE 0A")) << lines[2];
}

// ---- failures -------------------------------------------------------------------------------

TEST(CtlWithSim, SilentControllerTimesOutAndNothingIsWritten) {
    Sim sim({"--silent"});
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string settings = "[Zentrik Settings]\nTimeout=10\nTimeoutRetry=1\n";
    const std::string ini = WriteText(sim.Path("t.ini"), settings);
    const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "download"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "The message timed out.")) << r.err;
    EXPECT_EQ(ReadTextFile(ini), settings);
}

TEST(CtlWithSim, RefusingControllerGivesTheCrcMessage) {
    Sim sim({"--status", "1"});
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);
    const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "The message had crc errors.")) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(CtlWithSim, DownloadsThroughAFaultyLineAreExactOrFailCleanly) {
    const std::string dir = MakeTempDir();
    const std::string source = WriteSampleIni(dir + "/source.ini");
    const std::string record = dir + "/record.txt";
    Sim sim({"--config", source, "--record", record, "--corrupt", "0.3", "--noise", "0.3", "--drop",
             "0.05", "--seed", "7"},
            dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string settings = "[Zentrik Settings]\nTimeout=20\nTimeoutRetry=8\nCRCRetry=8\n";
    constexpr int kRuns = 5;
    int good = 0;
    for (int run = 0; run < kRuns; ++run) {
        const std::string ini = WriteText(dir + "/run" + std::to_string(run) + ".ini", settings);
        const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "download"});
        ASSERT_FALSE(r.timedOut);
        if (r.exitCode == 0) {
            ++good;
            ExpectSameConfig(source, ini);
        } else {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(Has(r.err, "The message had crc errors.") ||
                        Has(r.err, "The message timed out."))
                << r.err;
            EXPECT_EQ(ReadTextFile(ini), settings);
        }
    }
    EXPECT_GT(good, 0);
    // The faults were real: requests had to be sent again.
    EXPECT_GT(Lines(ReadTextFile(record)).size(), static_cast<std::size_t>(kRuns));
}

TEST(CtlWithSim, UpgradeThroughAFaultyLineNeverFlashesSilentlyWrong) {
    const std::string dir = MakeTempDir();
    const std::string flash = dir + "/flash.bin";
    Sim sim({"--version", "0102", "--flash-out", flash, "--corrupt", "0.0002", "--seed", "3"}, dir);
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::vector<std::uint8_t> file = BuildFirmwareFile(0x0300, 0x0A, 9);
    const std::string image = dir + "/fw.eep";
    ASSERT_TRUE(WriteBytesFile(image, file));
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);
    const ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "--yes", "upgrade", image});
    if (r.exitCode == 0) {
        EXPECT_EQ(ReadBytesFile(flash),
                  std::vector<std::uint8_t>(file.begin(), file.begin() + 30720));
    } else {
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Has(r.err, "the firmware upgrade did not complete")) << r.err;
        EXPECT_FALSE(Has(r.err, "Firmware upgrade complete."));
    }
}

TEST(CtlWithSim, AMissingDeviceFailsAtOnceWithTheLinksMessage) {
    const std::string dir = MakeTempDir();
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);
    const ProcessResult r = Ctl({"--port", dir + "/no-such-tty", "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        Has(r.err, dir + "/no-such-tty is not available. Please choose a different serial port."))
        << r.err;
    EXPECT_TRUE(Has(r.err, "\n" + dir + "/no-such-tty is not there: the controller is unplugged"))
        << r.err;
}

TEST(CtlWithSim, APortItMayNotOpenOrThatIsHeldGetsItsHelp) {
    const std::string dir = MakeTempDir();
    const std::string ini = WriteText(dir + "/t.ini", kPatientSettings);
    PtyPair pty;
    ASSERT_TRUE(pty.Ok());

    // Held by another program (this test): the port is opened exclusively.
    {
        CSerialLine holder;
        ASSERT_EQ(holder.Open(pty.SlavePath().c_str()), kErrorSuccess);
        const ProcessResult r = Ctl({"--port", pty.SlavePath(), "--ini", ini, "info"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(Has(r.err, pty.SlavePath() + " is in use by another program")) << r.err;
    }

    // Not allowed: as root, the tool runs as "nobody" on a root:dialout tty of mode 0660;
    // as anyone else, on a tty of mode 0.
    std::vector<std::string> args = {"--port", pty.SlavePath(), "--ini", ini, "info"};
    std::string command = "sudo usermod -aG ";
    if (geteuid() == 0) {
        const group* dialout = getgrnam("dialout");
        ASSERT_NE(dialout, nullptr);
        ASSERT_EQ(chown(pty.SlavePath().c_str(), 0, dialout->gr_gid), 0);
        ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0660), 0);
        ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
        args.insert(args.begin(), CtlPath());
        args.insert(args.begin(),
                    {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
        command += "dialout nobody";
    } else {
        ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0), 0);
        args.insert(args.begin(), CtlPath());
    }
    ProcessResult r = RunProcess(args, {}, kCtlLimit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "Permission to open " + pty.SlavePath() + " was denied.")) << r.err;
    EXPECT_TRUE(Has(r.err, command)) << r.err;

    // scan finds it, and says before any open that it will not do.
    args.back() = "scan";
    r = RunProcess(args, {}, kCtlLimit);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, pty.SlavePath() + "\n");
    EXPECT_TRUE(Has(r.err, "Permission to open " + pty.SlavePath() + " was denied.")) << r.err;
}

TEST(CtlWithSim, SheetWritesTheIniFilesOrTheConfigFilesPageWithoutTheController) {
    const std::string dir = MakeTempDir();
    const std::string ini = WriteSampleIni(dir + "/Zentrik.ini");
    const std::string out = dir + "/sheet.html";
    // A port that cannot be opened: the sheet never needs one.
    ProcessResult r = Ctl({"--ini", ini, "--port", dir + "/no-such-tty", "sheet", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "Setup sheet saved to " + out + "\n");
    std::string html = ReadTextFile(out);
    EXPECT_TRUE(Has(html, "<th>RPM Cutoff</th><td>6500 RPM</td>")) << html.size();
    EXPECT_FALSE(Has(html, "Configuration File"));
    EXPECT_FALSE(Has(html, "Serial Number"));

    ConfigDocument doc = SampleConfigDocument();
    doc.record.stage[0].RPM_Max = 7100;
    ASSERT_TRUE(WriteConfigFile(dir + "/race.zcfg", doc, false));
    r = Ctl({"--ini", ini, "sheet", "--config", dir + "/race.zcfg", out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    html = ReadTextFile(out);
    EXPECT_TRUE(Has(html, "<th>RPM Cutoff</th><td>7100 RPM</td>"));
    EXPECT_TRUE(Has(html, "<dd>race.zcfg</dd>"));

    r = Ctl({"--ini", ini, "sheet", dir + "/missing/sheet.html"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "The setup sheet could not be saved to " + dir + "/missing/sheet.html."))
        << r.err;
}

TEST(CtlWithSim, BothToolsPrintTheirVersion) {
    const std::string expected = std::string(" ") + kProductVersion + "  " + kBuildVersion + "\n";
    ProcessResult r = Ctl({"--version"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "zentrikctl" + expected);
    r = RunProcess({SimulatorPath(), "--version"}, {}, kCtlLimit);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "zentrik-sim" + expected) << r.err;
}

TEST(CtlWithSim, UsageErrorsExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"flash"}, {"upgrade"}, {"info", "--baud", "9600"}}) {
        const ProcessResult r = Ctl(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(Has(r.err, "Usage: zentrikctl")) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// ---- the port ---------------------------------------------------------------------------------

TEST(CtlWithSim, ScanAndCommandsFollowZentrikPortAndPortOverridesIt) {
    Sim sim({"--serial", "030A00000000BEEF"});
    ASSERT_FALSE(sim.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), kPatientSettings);

    ProcessResult r = Ctl({"--ini", ini, "scan"}, {"ZENTRIK_PORT=" + sim.Device()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, sim.Device() + "\n");

    r = Ctl({"--ini", ini, "info"}, {"ZENTRIK_PORT=" + sim.Device()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Serial Number:030A00000000BEEF")) << r.out;

    r = Ctl({"--port", sim.Device(), "--ini", ini, "info"},
            {"ZENTRIK_PORT=" + sim.Dir() + "/elsewhere"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Serial Number:030A00000000BEEF")) << r.out;
}

TEST(CtlWithSim, DoctorTellsAnAnswerSilenceAndAHolderApart) {
    Sim sim({"--serial", "030A00000000BEEF"});
    Sim silent({"--silent"});
    ASSERT_FALSE(sim.Device().empty() || silent.Device().empty()) << sim.Errors();
    const std::string ini = WriteText(sim.Path("t.ini"), "[Zentrik Settings]\nTimeout=10\n");
    ProcessResult r = Ctl({"--port", sim.Device(), "--ini", ini, "doctor"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Connected to the controller on " + sim.Device() +
                         ".\nSerial Number:030A00000000BEEF\nFirmware Version:0100\n");

    r = Ctl({"--ini", ini, "doctor"}, {"ZENTRIK_PORT=" + silent.Device()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "The controller does not answer. Is it powered?\n");
    EXPECT_EQ(r.err, "");
    r = Ctl({"--port", "usb:10C4:EA60:030AFFFFFFFFFFFF", "--ini", ini, "info"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "zentrikctl: no USB serial device usb:10C4:EA60:030AFFFFFFFFFFFF is "
              "plugged in\n");

    PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    CSerialLine holder;
    ASSERT_EQ(holder.Open(pty.SlavePath().c_str()), kErrorSuccess);
    std::string self;
    std::getline(std::ifstream("/proc/self/comm"), self);
    r = Ctl({"--port", pty.SlavePath(), "--ini", ini, "doctor"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.out, "\nThe program holding it: " + self + " (process " +
                               std::to_string(getpid()) + ")."))
        << r.out;
}

}  // namespace
}  // namespace zentrik::test
