// roundtrip on the stand-ins: what the table shows, and when the exit code
// says that the ticket did not come back.
#include "tests/tools/tool_fixture.h"

#include "standins/driver/standin_driver_api.h"

namespace tool_test {
namespace {

class RoundTripTest : public ToolTest {};

TEST_F(RoundTripTest, TheSampleTicketComesBackWhole)
{
    const RunResult result = Tool({"roundtrip", "--ticket", SourcePath("examples/tickets/sample.xml")});
    ASSERT_EQ(result.code, 0) << result.out << result.err;
    // section, feature, in, out, ok
    const std::vector<std::vector<std::string>> rows = {
        {"Printing", "Orientation", "Landscape", "Landscape", "yes"},
        {"Printing", "PaperSize", "A5", "A5", "yes"},
        {"Printing", "Copies", "3", "3", "yes"},
        {"Printing", "PrintQuality", "High", "High", "yes"},
        {"Printing", "Color", "Monochrome", "Monochrome", "yes"},
        {"Printing", "Duplex", "LongEdge", "LongEdge", "yes"},
        {"Printing", "Collate", "True", "True", "yes"},
        {"Printing", "MediaType", "Recycled", "Recycled", "yes"},
        {"Printing", "Watermarks", "On", "On", "yes"},
        {"Printing", "WMFont", "Courier", "Courier", "yes"},
        {"Physical", "Duplex", "Installed", "Installed", "yes"},
        {"Physical", "Tray3", "Present", "Present", "yes"},
    };
    for (const auto &row : rows) EXPECT_EQ(CountLines(result.out, row), 1) << row[0] << " " << row[1] << "\n" << result.out;
    EXPECT_NE(result.out.find("12 settings in: 12 preserved, 0 changed, 0 lost\n"), std::string::npos) << result.out;
}

TEST_F(RoundTripTest, SettingsThatOnlyComeOutAreTheDriversAndDoNotCountAsADifference)
{
    // Only a Physical setting: the driver's default DEVMODEW adds its seven public fields.
    const std::string ticket = TempPath("physical.xml");
    WriteText(ticket, "<Ticket version=\"1\"><Section name=\"Printing\"/><Section name=\"Physical\">"
                      "<Feature name=\"Tray3\" value=\"Present\"/></Section></Ticket>");
    const RunResult result = Tool({"roundtrip", "--ticket", ticket});
    EXPECT_EQ(result.code, 0) << result.out << result.err;
    EXPECT_EQ(CountLines(result.out, {"Printing", "Orientation", "-", "Portrait", "added"}), 1) << result.out;
    EXPECT_EQ(CountLines(result.out, {"Physical", "Tray3", "Present", "Present", "yes"}), 1) << result.out;
    EXPECT_NE(result.out.find("1 setting in: 1 preserved, 0 changed, 0 lost; 7 more came out"), std::string::npos)
        << result.out;
}

TEST_F(RoundTripTest, SettingsThatTheDriverCannotKeepAreLostAndExitWith1)
{
    // The stand-in driver keeps at most 2048 characters of private settings:
    // twelve settings of 200 characters do not all fit.
    std::string features;
    const std::string value(200, 'v');
    for (int i = 0; i < 12; ++i) features += "<Feature name=\"Long" + std::to_string(i) + "\" value=\"" + value + "\"/>";
    const std::string ticket = TempPath("long.xml");
    WriteText(ticket, "<Ticket version=\"1\"><Section name=\"Printing\">" + features +
                          "</Section><Section name=\"Physical\"/></Ticket>");
    const RunResult result = Tool({"roundtrip", "--ticket", ticket});
    EXPECT_EQ(result.code, 1) << result.out << result.err;
    EXPECT_EQ(CountLines(result.out, {"Printing", "Long0 ", value, value, "yes"}), 1) << result.out;
    EXPECT_EQ(CountLines(result.out, {"Printing", "Long11 ", value, " - ", "NO"}), 1) << result.out;
}

TEST_F(RoundTripTest, KeepsTheExportedTicketAndTheDevmodeWhenAsked)
{
    const std::string ticketOut = TempPath("out.xml");
    const std::string devmodeOut = TempPath("between.devmode");
    const RunResult result = Tool({"roundtrip", "--ticket", SourcePath("examples/tickets/sample.xml"), "--ticket-out",
                                  ticketOut, "--devmode-out", devmodeOut});
    ASSERT_EQ(result.code, 0) << result.out << result.err;
    EXPECT_NE(ReadText(ticketOut).find("<Feature name=\"Duplex\" value=\"LongEdge\"/>"), std::string::npos);

    // What the sample ticket asked for, by the fields' own names.
    const RunResult shown = Tool({"show-devmode", devmodeOut});
    ASSERT_EQ(shown.code, 0) << shown.err;
    EXPECT_EQ(CountLines(shown.out, {"* dmDuplex", "2", "two-sided, long edge (DMDUP_VERTICAL)"}), 1) << shown.out;
    EXPECT_EQ(CountLines(shown.out, {"* dmPrintQuality", "-4", "high (DMRES_HIGH)"}), 1) << shown.out;
    EXPECT_EQ(CountLines(shown.out, {"MediaType = Recycled"}), 1) << shown.out;
}

TEST_F(RoundTripTest, ADriverThatFailsGivesNoDevmodeToStartFrom)
{
    SetDriverAnswer(StandinAnswerError);
    const RunResult result = Tool({"roundtrip", "--ticket", SourcePath("examples/tickets/sample.xml")});
    EXPECT_EQ(result.code, 69) << result.out;
    EXPECT_NE(result.err.find("gives no default DEVMODEW (answer -1)"), std::string::npos) << result.err;
}

struct BadTicketCase {
    const char *name;
    const char *content;  // null: no file at all
    int code;
    const char *message;
};

// Named in test output by its name, not by its bytes.
void PrintTo(const BadTicketCase &value, std::ostream *out) { *out << value.name; }

class RoundTripBadTicketTest : public RoundTripTest, public ::testing::WithParamInterface<BadTicketCase> {};

TEST_P(RoundTripBadTicketTest, SaysWhyAndLeavesNothingBehind)
{
    const std::string ticket = TempPath("ticket.xml");
    if (GetParam().content) WriteText(ticket, GetParam().content);
    const RunResult result = Tool({"roundtrip", "--ticket", ticket});
    EXPECT_EQ(result.code, GetParam().code) << result.out;
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Tickets, RoundTripBadTicketTest,
    ::testing::Values(BadTicketCase{"Missing", nullptr, 65, "cannot read the ticket"},
                      BadTicketCase{"NotXml", "<Ticket", 17, "ReadTicket answered 17 (ConvertAPITicketNotRead)"},
                      // The library cannot enter a missing section, so it reads nothing of such a ticket.
                      BadTicketCase{"NoPhysicalSection",
                                    "<Ticket version=\"1\"><Section name=\"Printing\">"
                                    "<Feature name=\"Duplex\" value=\"LongEdge\"/></Section></Ticket>",
                                    17, "ReadTicket answered 17"}),
    [](const ::testing::TestParamInfo<BadTicketCase> &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tool_test
