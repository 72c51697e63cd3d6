#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "sim/record_file.h"
#include "sim_test_util.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;

SimOptionsResult Parse(std::vector<std::string_view> args) {
    return ParseSimOptions(args);
}

TEST(SimOptions, DefaultsDescribeAWellBehavedController) {
    const auto result = Parse({});
    ASSERT_TRUE(result.options);
    const SimOptions& o = *result.options;
    EXPECT_EQ(o.session.identity.serial,
              (std::array<std::uint8_t, 8>{0x03, 0x0A, 0, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(o.session.identity.version, 0x0100);
    EXPECT_EQ(o.session.baud, 0u);
    EXPECT_EQ(o.session.latency, SimDuration::zero());
    EXPECT_EQ(o.session.status, 0);
    EXPECT_FALSE(o.session.faults.silent);
    EXPECT_EQ(o.session.faults.drop + o.session.faults.corrupt + o.session.faults.noise, 0.0);
    EXPECT_FALSE(o.seed);
    EXPECT_FALSE(o.help);
}

TEST(SimOptions, EveryOptionInBothSpellings) {
    const auto result = Parse({"--link",      "/tmp/x",      "--serial=0123456789abcdef",
                               "--version",   "0A1B",        "--baud=19200",
                               "--latency",   "25",          "--seed",
                               "77",          "--drop=0.25", "--corrupt",
                               "1",           "--noise=0",   "--status",
                               "255",         "--silent",    "--record=/tmp/r",
                               "--flash-out", "/tmp/f",      "--help"});
    ASSERT_TRUE(result.options) << result.error;
    const SimOptions& o = *result.options;
    EXPECT_EQ(o.linkPath, "/tmp/x");
    EXPECT_EQ(o.session.identity.serial,
              (std::array<std::uint8_t, 8>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(o.session.identity.version, 0x0A1B);
    EXPECT_EQ(o.session.baud, 19200u);
    EXPECT_EQ(o.session.latency, 25ms);
    EXPECT_EQ(o.seed, 77u);
    EXPECT_EQ(o.session.faults.drop, 0.25);
    EXPECT_EQ(o.session.faults.corrupt, 1.0);
    EXPECT_EQ(o.session.status, 255);
    EXPECT_TRUE(o.session.faults.silent);
    EXPECT_EQ(o.recordPath, "/tmp/r");
    EXPECT_EQ(o.flashOutPath, "/tmp/f");
    EXPECT_TRUE(o.help);
}

TEST(SimOptions, BadCommandLinesAreRefusedWithTheReason) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
        {{"--serial", "030A00000000001"}, "--serial"},   // 15 digits
        {{"--serial", "030A00000000000G"}, "--serial"},  // not hex
        {{"--serial", "0x0A000000000001"}, "--serial"},
        {{"--version", "100"}, "--version"},
        {{"--version", "-100"}, "--version"},
        {{"--baud", "-1"}, "--baud"},
        {{"--baud", "fast"}, "--baud"},
        {{"--baud", "4000001"}, "--baud"},
        {{"--latency", "1.5"}, "--latency"},
        {{"--drop", "1.01"}, "--drop"},
        {{"--corrupt", "-0.1"}, "--corrupt"},
        {{"--noise", "half"}, "--noise"},
        {{"--status", "256"}, "--status"},
        {{"--seed", ""}, "--seed"},
        {{"--record"}, "--record"},
        {{"--link="}, "--link"},
        {{"--silent=yes"}, "--silent"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"/dev/ttyUSB0"}, "/dev/ttyUSB0"},
        {{"--"}, "--"},
    };
    for (const auto& [args, mention] : cases) {
        const auto result = Parse(args);
        EXPECT_FALSE(result.options) << args[0];
        EXPECT_NE(result.error.find(mention), std::string::npos) << result.error;
    }
}

TEST(RecordFile, AppendsOneUpperCaseHexLinePerItem) {
    const std::string path = test::MakeTempDir() + "/record.txt";
    {
        std::ofstream existing(path);
        existing << "earlier run\n";
    }
    {
        RecordFile record;
        ASSERT_TRUE(record.Open(path));
        EXPECT_TRUE(record.Append(simtest::Hex("22 37 49 F2 01 0A 1D 1A")));
        // Readers see each line as soon as it is appended.
        std::ifstream now(path);
        std::stringstream seen;
        seen << now.rdbuf();
        EXPECT_EQ(seen.str(), "earlier run\n22 37 49 F2 01 0A 1D 1A\n");
        EXPECT_TRUE(record.Append(simtest::Hex("0a ff")));
    }
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    EXPECT_EQ(all.str(), "earlier run\n22 37 49 F2 01 0A 1D 1A\n0A FF\n");
    RecordFile missing;
    EXPECT_FALSE(missing.Open(test::MakeTempDir() + "/no/such/dir/record.txt"));
}

}  // namespace
}  // namespace zentrik
