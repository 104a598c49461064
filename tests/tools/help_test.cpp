// Every subcommand explains itself, and a command line that is wrong ends
// with exit code 64 and a message, before anything is called.
#include "tests/tools/tool_fixture.h"

namespace tool_test {
namespace {

struct HelpCase {
    const char *command;
    std::vector<std::string> options;  // each must be explained
};

// Named in test output by its command, not by its bytes.
void PrintTo(const HelpCase &value, std::ostream *out) { *out << value.command; }

class HelpTest : public ToolTest, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, ExplainsTheSubcommandAndEveryOption)
{
    const HelpCase &help = GetParam();
    const RunResult result = Tool({help.command, "--help"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find(std::string("Usage: convertapi ") + help.command), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Example: convertapi " + std::string(help.command)), std::string::npos) << result.out;
    for (const std::string &option : help.options)
        EXPECT_EQ(CountLines(result.out, {"  " + option + " "}), 1) << option << " in\n" << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Subcommands, HelpTest,
    ::testing::Values(
        HelpCase{"version", {"--printer NAME"}},
        HelpCase{"to-devmode",
                 {"--printer NAME", "--library PATH", "--ticket FILE", "--devmode FILE", "--out FILE", "--type N",
                  "--instance", "--flags N"}},
        HelpCase{"to-ticket",
                 {"--printer NAME", "--library PATH", "--devmode FILE", "--out FILE", "--type N", "--instance",
                  "--flags N"}},
        HelpCase{"roundtrip",
                 {"--printer NAME", "--library PATH", "--ticket FILE", "--ticket-out FILE", "--devmode-out FILE",
                  "--type N"}},
        HelpCase{"show-devmode", {"file FILE", "--json"}}, HelpCase{"requests", {"--printer NAME", "--clean"}}),
    [](const ::testing::TestParamInfo<HelpCase> &info) {
        std::string name = info.param.command;
        for (char &c : name)
            if (c == '-') c = '_';
        return name;
    });

TEST_F(HelpTest, TheToolListsItsSubcommandsAndExitCodes)
{
    const RunResult result = Tool({"--help"});
    EXPECT_EQ(result.code, 0);
    for (const char *command : {"version", "to-devmode", "to-ticket", "roundtrip", "show-devmode", "requests"})
        EXPECT_EQ(CountLines(result.out, {std::string("  ") + command + " "}), 1) << command;
    for (const char *code : {"  0 ", "  2 to 22 ", "  1 ", "  64 ", "  65 ", "  69 ", "  73 "})
        EXPECT_EQ(CountLines(result.out, {code}), 1) << code;
}

struct UsageCase {
    const char *name;
    std::vector<std::string> args;
    const char *message;
};

// Named in test output by its name, not by its bytes.
void PrintTo(const UsageCase &value, std::ostream *out) { *out << value.name; }

class UsageTest : public ToolTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageTest, EndsWith64AndSaysWhy)
{
    const RunResult result = Tool(GetParam().args);
    EXPECT_EQ(result.code, 64);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    WrongCommandLines, UsageTest,
    ::testing::Values(UsageCase{"NoSubcommand", {}, "A subcommand is required"},
                      UsageCase{"MissingTicket", {"roundtrip"}, "--ticket is required"},
                      UsageCase{"MissingOut", {"to-ticket", "--devmode", "x"}, "--out is required"},
                      UsageCase{"FlagsWithoutInstance", {"to-devmode", "--ticket", "x", "--flags", "3"},
                                "--flags requires --instance"},
                      UsageCase{"UnknownOption", {"requests", "--all"}, "--all"},
                      UsageCase{"TypeNotANumber", {"roundtrip", "--ticket", "x", "--type", "two"}, "--type"}),
    [](const ::testing::TestParamInfo<UsageCase> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tool_test
