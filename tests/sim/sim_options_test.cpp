#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "sim/sim_config_image.h"
#include "support/test_paths.h"

namespace zentrik {
namespace {

using namespace std::chrono_literals;

SimOptionsResult Parse(std::vector<std::string_view> args) {
    return ParseSimOptions(args);
}

TEST(SimOptions, ValuesInBothSpellings) {
    const auto result =
        Parse({"--serial=0123456789abcdef", "--version", "0A1B", "--baud=19200", "--latency", "25",
               "--seed", "77", "--drop=0.25", "--corrupt", "1", "--status", "255", "--silent",
               "--record=/tmp/r", "--store-fault=109"});
    ASSERT_TRUE(result.options) << result.error;
    const SimOptions& o = *result.options;
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
    EXPECT_EQ(o.session.storeFault, 109u);
}

TEST(SimOptions, BadCommandLinesAreRefusedNamingTheCulprit) {
    const std::vector<std::vector<std::string_view>> cases = {
        {"--serial", "030A00000000001"},
        {"--serial", "030A00000000000G"},
        {"--version", "-100"},
        {"--baud", "4000001"},
        {"--latency", "1.5"},
        {"--drop", "1.01"},
        {"--corrupt", "-0.1"},
        {"--noise", "half"},
        {"--status", "256"},
        {"--store-fault", "110"},
        {"--seed", ""},
        {"--record"},
        {"--link="},
        {"--silent=yes"},
        {"--frobnicate"},
        {"/dev/ttyUSB0"},
    };
    for (const auto& args : cases) {
        const auto result = Parse(args);
        EXPECT_FALSE(result.options) << args[0];
        const std::string_view name = args[0].substr(0, args[0].find('='));
        EXPECT_NE(result.error.find(name), std::string::npos) << result.error;
    }
}

TEST(SimOptions, VersionWithoutAValueAsksForTheProgramsOwn) {
    auto result = Parse({"--version", "0A1B"});
    ASSERT_TRUE(result.options) << result.error;
    EXPECT_FALSE(result.options->showVersion);
    EXPECT_EQ(result.options->session.identity.version, 0x0A1B);
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {"--version"},
             {"--version", "--silent"},
             {"--serial", "030A000000000001", "--version"}}) {
        result = Parse(args);
        ASSERT_TRUE(result.options) << result.error;
        EXPECT_TRUE(result.options->showVersion) << args.back();
    }
    EXPECT_TRUE(Parse({"--version", "--silent"}).options->session.faults.silent);
    EXPECT_FALSE(Parse({"--version="}).options) << "an empty value is no firmware version";
}

TEST(SimConfigFile, LoadsTheConfigSectionAsTheControllerHoldsIt) {
    const std::string dir = test::MakeTempDir();
    std::ofstream(dir + "/empty.ini") << "[Other]\nRPM Max=1\n";
    const auto defaults = ControllerConfigFromIni(dir + "/empty.ini");
    ASSERT_TRUE(defaults);
    const ControllerConfig factory = DefaultControllerConfig();
    EXPECT_EQ(std::memcmp(&*defaults, &factory, sizeof factory), 0);

    // A file in bar: the controller receives psi x 256, as after an upload.
    std::ofstream(dir + "/bar.ini")
        << "[Zentrik Config]\nMAP_In_bar=1\nStage 1 MAP End=1.0\nStage 2 RPM Max=7000\n";
    const auto bar = ControllerConfigFromIni(dir + "/bar.ini");
    ASSERT_TRUE(bar);
    EXPECT_TRUE(MAP_In_bar(*bar));
    EXPECT_EQ(bar->stage[0].MAP_End, 3712);
    EXPECT_EQ(bar->stage[1].RPM_Max, 7000);
    EXPECT_FALSE(ControllerConfigFromIni(dir + "/missing.ini"));
    EXPECT_FALSE(ControllerConfigFromIni(dir));  // a folder is no configuration file
}

}  // namespace
}  // namespace zentrik
