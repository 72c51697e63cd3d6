// The zentrik-sim executable over a real pseudo-terminal. Every wait is bounded.

#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim/sim_controller.h"
#include "sim_process.h"
#include "sim_test_util.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using simtest::Hex;
using simtest::PtyClient;
using simtest::Reply;
using simtest::Request;
using simtest::SimProcess;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST(SimExecutable, PrintsItsDeviceFirstServesReopensAndEndsWithItsInput) {
    SimProcess sim;
    ASSERT_TRUE(sim.Start({}));
    const std::string device = sim.ReadLine();
    ASSERT_FALSE(device.empty());
    PtyClient port;
    ASSERT_TRUE(port.Open(device)) << device;
    ASSERT_TRUE(port.Write(Request(RequestType::DownloadConfig)));
    EXPECT_EQ(port.Read(118), Reply(1, 0, simtest::DefaultWireImage()));

    // The tool closes and reopens the port between requests.
    for (int i = 0; i < 3; ++i) {
        port.Close();
        ASSERT_TRUE(port.Open(device));
        ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
        EXPECT_EQ(port.Read(18), Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 01 00")));
    }
    sim.CloseInput();
    EXPECT_EQ(sim.WaitExit(), 0);
}

TEST(SimExecutable, LinkRecordIdentityAndCleanExitOnSigterm) {
    const std::string dir = test::MakeTempDir();
    const std::string link = dir + "/port";
    const std::string record = dir + "/record.txt";
    SimProcess sim;
    ASSERT_TRUE(sim.Start(
        {"--link", link, "--record", record, "--serial", "0123456789ABCDEF", "--version=0203"}));
    ASSERT_FALSE(sim.ReadLine().empty());
    ASSERT_TRUE(Exists(link));

    PtyClient port;
    ASSERT_TRUE(port.Open(link));
    auto bad = Request(RequestType::DownloadConfig);
    bad[6] ^= 0xFF;
    ASSERT_TRUE(port.Write(bad));
    ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
    // No answer to the damaged frame: the first reply is the controller info.
    EXPECT_EQ(port.Read(18), Reply(3, 0, Hex("01 23 45 67 89 AB CD EF 02 03")));

    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.WaitExit(), 0);
    EXPECT_FALSE(Exists(link));
    EXPECT_EQ(ReadText(record),
              "22 37 49 F2 01 0A E2 1A\n"
              "22 37 49 F2 03 0A 87 CA\n");
}

TEST(SimExecutable, UpgradeOverTheTerminalWritesTheFlashedImage) {
    const std::string dir = test::MakeTempDir();
    const std::string flashOut = dir + "/flashed.bin";
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--flash-out", flashOut}));
    PtyClient port;
    ASSERT_TRUE(port.Open(sim.ReadLine()));
    ASSERT_TRUE(port.Write(Request(RequestType::FlashPermission)));
    ASSERT_EQ(port.Read(8), Hex("22 37 49 F2 EE 00 76 06"));

    const auto image = simtest::FirmwareImage(0x0311);
    std::size_t echoed = 0;
    for (std::size_t i = 0; i < image.size(); i += 2) {
        const std::vector<std::uint8_t> unit(image.begin() + i, image.begin() + i + 2);
        ASSERT_TRUE(port.Write(unit));
        if (port.Read(2) != unit) {
            break;
        }
        echoed += 2;
    }
    EXPECT_EQ(echoed, image.size());
    const std::uint16_t sum = FirmwareChecksum(image);
    const std::vector<std::uint8_t> checksum{static_cast<std::uint8_t>(sum >> 8),
                                             static_cast<std::uint8_t>(sum)};
    ASSERT_TRUE(port.Write(checksum));
    EXPECT_EQ(port.Read(2), checksum);

    ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
    EXPECT_EQ(port.Read(18), Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 03 11")));
    const std::string written = ReadText(flashOut);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), image);
    sim.CloseInput();
    EXPECT_EQ(sim.WaitExit(), 0);
}

TEST(SimExecutable, RefusesBadOptionsAndForeignLinkTargets) {
    SimProcess bad;
    ASSERT_TRUE(bad.Start({"--drop", "2"}));
    EXPECT_EQ(bad.WaitExit(), 2);
    EXPECT_NE(bad.ErrorOutput().find("--drop"), std::string::npos);

    SimProcess help;
    ASSERT_TRUE(help.Start({"--help"}));
    EXPECT_EQ(help.ReadLine().rfind("Usage:", 0), 0u);
    EXPECT_EQ(help.WaitExit(), 0);

    // An ordinary file where the link should go is left alone.
    const std::string file = test::MakeTempDir() + "/notes.txt";
    std::ofstream(file) << "keep me";
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--link", file}));
    EXPECT_EQ(sim.WaitExit(), 1);
    EXPECT_NE(sim.ErrorOutput().find(file), std::string::npos);
    EXPECT_EQ(ReadText(file), "keep me");
}

}  // namespace
}  // namespace zentrik
