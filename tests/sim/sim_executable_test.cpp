// The zentrik-sim executable over a real pseudo-terminal. Every wait is bounded.

#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "sim_test_util.h"
#include "support/sim_process.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using simtest::Hex;
using simtest::Reply;
using simtest::Request;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SimExecutable, ServesOnThePrintedDeviceThroughReopensAndEndsWithItsInput) {
    simtest::SimProcess sim({});
    const std::string device = sim.ReadLine();
    simtest::PtyClient port;
    ASSERT_TRUE(port.Open(device)) << device;
    ASSERT_TRUE(port.Write(Request(RequestType::DownloadConfig)));
    EXPECT_EQ(port.Read(118), Reply(1, 0, simtest::DefaultWireImage()));
    // The tool closes and reopens the port between requests.
    port.Close();
    ASSERT_TRUE(port.Open(device));
    ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
    EXPECT_EQ(port.Read(18), simtest::kInfoReply);
    sim.CloseInput();
    EXPECT_EQ(sim.WaitExit(), 0);
}

TEST(SimExecutable, LinkRecordIdentityAndCleanExitOnSigterm) {
    const std::string dir = test::MakeTempDir();
    const std::string link = dir + "/port";
    const std::string record = dir + "/record.txt";
    simtest::SimProcess sim(
        {"--link", link, "--record", record, "--serial", "0123456789ABCDEF", "--version=0203"});
    ASSERT_FALSE(sim.ReadLine().empty());
    simtest::PtyClient port;
    ASSERT_TRUE(port.Open(link));
    auto bad = Request(RequestType::DownloadConfig);
    bad[6] ^= 0xFF;
    ASSERT_TRUE(port.Write(bad));
    ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
    // No answer to the damaged frame: the first reply is the controller info.
    EXPECT_EQ(port.Read(18), Reply(3, 0, Hex("01 23 45 67 89 AB CD EF 02 03")));

    kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.WaitExit(), 0);
    struct stat st;
    EXPECT_NE(lstat(link.c_str(), &st), 0);
    EXPECT_EQ(ReadText(record), "22 37 49 F2 01 0A E2 1A\n22 37 49 F2 03 0A 87 CA\n");
}

TEST(SimExecutable, UpgradeOverTheTerminalWritesTheFlashedImage) {
    const std::string flashOut = test::MakeTempDir() + "/flashed.bin";
    simtest::SimProcess sim({"--flash-out", flashOut});
    simtest::PtyClient port;
    ASSERT_TRUE(port.Open(sim.ReadLine()));
    ASSERT_TRUE(port.Write(Request(RequestType::FlashPermission)));
    ASSERT_EQ(port.Read(8), Hex("22 37 49 F2 EE 00 76 06"));

    auto image = simtest::FirmwareImage(0x0311);
    const std::uint16_t sum = FirmwareChecksum(image);
    std::vector<std::uint8_t> units = image;
    units.push_back(static_cast<std::uint8_t>(sum >> 8));
    units.push_back(static_cast<std::uint8_t>(sum));
    std::size_t echoed = 0;
    for (; echoed < units.size(); echoed += 2) {
        const std::vector<std::uint8_t> unit(units.begin() + echoed, units.begin() + echoed + 2);
        if (!port.Write(unit) || port.Read(2) != unit) {
            break;
        }
    }
    EXPECT_EQ(echoed, units.size());
    ASSERT_TRUE(port.Write(Request(RequestType::ControllerInfo)));
    EXPECT_EQ(port.Read(18), Reply(3, 0, Hex("03 0A 00 00 00 00 00 01 03 11")));
    const std::string written = ReadText(flashOut);
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), image);
}

TEST(SimExecutable, RefusesBadOptionsAndLeavesForeignFilesAlone) {
    simtest::SimProcess bad({"--drop", "2"});
    EXPECT_EQ(bad.WaitExit(), 2);
    simtest::SimProcess noConfig({"--config", test::MakeTempDir() + "/missing.ini"});
    EXPECT_EQ(noConfig.WaitExit(), 2);
    const std::string file = test::MakeTempDir() + "/notes.txt";
    std::ofstream(file) << "keep me";
    simtest::SimProcess sim({"--link", file});
    EXPECT_EQ(sim.WaitExit(), 1);
    EXPECT_EQ(ReadText(file), "keep me");
}

}  // namespace
}  // namespace zentrik
