#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctl/ctl_options.h"

namespace zentrik {
namespace {

CtlParseResult Parse(std::vector<std::string_view> args) {
    return ParseCtlArguments(args);
}

TEST(CtlOptions, CommandsAndOptionsInAnyOrder) {
    auto r = Parse({"--port", "/dev/pts/7", "info", "--ini=/tmp/z.ini", "--yes"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->command, CtlCommand::Info);
    EXPECT_EQ(r.options->port, "/dev/pts/7");
    EXPECT_EQ(r.options->ini, "/tmp/z.ini");
    EXPECT_TRUE(r.options->yes);

    r = Parse({"upgrade", "fw.eep", "--port=/dev/x"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->command, CtlCommand::Upgrade);
    EXPECT_EQ(r.options->firmwareFile, "fw.eep");
    EXPECT_EQ(r.options->port, "/dev/x");
    EXPECT_FALSE(r.options->yes);

    // A firmware file whose name starts with a dash, after "--".
    r = Parse({"upgrade", "--", "-odd.eep"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->firmwareFile, "-odd.eep");

    r = Parse({"--config=/tmp/c.zcfg", "compare"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->command, CtlCommand::Compare);
    EXPECT_EQ(r.options->configFile, "/tmp/c.zcfg");
    r = Parse({"--verify", "upload", "--config", "u.zcfg"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_TRUE(r.options->verify);
    EXPECT_EQ(r.options->configFile, "u.zcfg");
    r = Parse({"upgrade", "fw.eep", "--backup"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_TRUE(r.options->backup);
    EXPECT_FALSE(r.options->verify);

    for (const auto& [name, command] :
         std::vector<std::pair<std::string_view, CtlCommand>>{{"download", CtlCommand::Download},
                                                              {"upload", CtlCommand::Upload},
                                                              {"scan", CtlCommand::Scan}}) {
        r = Parse({name});
        ASSERT_TRUE(r.options) << name;
        EXPECT_EQ(r.options->command, command);
    }
}

TEST(CtlOptions, HelpWinsOverEverythingElse) {
    EXPECT_TRUE(Parse({"--help"}).help);
    EXPECT_TRUE(Parse({"bogus", "-h"}).help);
}

TEST(CtlOptions, UsageErrorsNameTheProblem) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
        {{}, "no command"},
        {{"frobnicate"}, "unknown command frobnicate"},
        {{"info", "--verbose"}, "unknown option --verbose"},
        {{"info", "--portx=1"}, "unknown option --portx=1"},
        {{"info", "--port"}, "--port needs a value"},
        {{"info", "--ini="}, "--ini needs a value"},
        {{"info", "--ini", "a", "--ini", "b"}, "--ini given twice"},
        {{"upgrade"}, "upgrade needs a firmware file"},
        {{"upgrade", "a.eep", "b.eep"}, "unexpected argument b.eep"},
        {{"info", "extra"}, "unexpected argument extra"},
        {{"compare", "--config", "a", "--config=b"}, "--config given twice"},
        {{"info", "--config", "c.zcfg"},
         "--config goes with download, upload, compare, check or sheet"},
        {{"sheet"}, "sheet needs a file to write"},
        {{"download", "--verify"}, "--verify goes with upload"},
        {{"upload", "--backup"}, "--backup goes with upgrade"},
    };
    for (const auto& [args, expected] : cases) {
        const CtlParseResult r = Parse(args);
        EXPECT_FALSE(r.options) << expected;
        EXPECT_FALSE(r.help) << expected;
        EXPECT_NE(r.error.find(expected), std::string::npos) << r.error;
    }
}

}  // namespace
}  // namespace zentrik
