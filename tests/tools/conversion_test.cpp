// version, to-devmode and to-ticket: which exports run, the exit code that
// their results give, and what a failed sequence leaves behind.
#include "tests/tools/tool_fixture.h"

#include "standins/driver/standin_devmode.h"
#include "standins/driver/standin_driver_api.h"

#include <cstring>

namespace tool_test {
namespace {

class ConversionTest : public ToolTest {
protected:
    std::string FlatTicket() { return SourcePath("tests/data/tickets/flat.xml"); }

    // The driver's DEVMODEW after the flat ticket, as a file.
    std::string ConvertedFile()
    {
        const std::string file = TempPath("flat.devmode");
        EXPECT_EQ(Tool({"to-devmode", "--ticket", FlatTicket(), "--out", file}).code, 0);
        return file;
    }

    void SetPrinterData(const WCHAR *name, DWORD type, const void *data, DWORD size)
    {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &printer, &defaults));
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<WCHAR *>(name), type,
                                  static_cast<BYTE *>(const_cast<void *>(data)), size),
                  0u);
        ClosePrinter(printer);
    }
};

TEST_F(ConversionTest, VersionAsksBothExports)
{
    RunResult result = Tool({"version"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(CountLines(result.out, {"GetConvertAPIVersion ", "0 (ConvertAPISuccess)", "interface version 4"}), 1);
    EXPECT_EQ(CountLines(result.out, {"GetConvertAPIVersionEx", "0 (ConvertAPISuccess)", "interface version 4",
                                      "no printer"}),
              1)
        << result.out;

    Tool({"version"});  // sets the printer up
    const WCHAR seven[] = TEXT("7");
    SetPrinterData(TEXT("QXConvertAPIVersionOverride"), REG_SZ, seven, sizeof(seven));
    result = Tool({"version", "--printer", "Standin Printer"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(CountLines(result.out, {"GetConvertAPIVersionEx", "interface version 7", "\"Standin Printer\""}), 1)
        << result.out;
}

TEST_F(ConversionTest, VersionExitsWithTheOverridesResultCode)
{
    Tool({"version"});
    SetPrinterData(TEXT("QXConvertAPIVersionOverride"), REG_SZ, "", 0);  // answers its size query at once
    const RunResult result = Tool({"version", "--printer", "Standin Printer"});
    EXPECT_EQ(result.code, 18);
    EXPECT_EQ(CountLines(result.out, {"GetConvertAPIVersionEx", "18 (ConvertAPIOverrideNotSized)"}), 1) << result.out;
}

TEST_F(ConversionTest, ToDevmodeThroughAnInstanceShowsEveryCallAndLeavesNothing)
{
    const std::string file = TempPath("instance.devmode");
    const RunResult result = Tool({"to-devmode", "--ticket", FlatTicket(), "--instance", "--out", file});
    ASSERT_EQ(result.code, 0) << result.out << result.err;
    for (const char *call : {"InitializeConvertAPI", "ReadTicket", "ConvertTicketEx", "KillConvertAPI"})
        EXPECT_EQ(CountLines(result.out, {call, "0 (ConvertAPISuccess)"}), 1) << call << "\n" << result.out;
    EXPECT_EQ(CountLines(result.out, {"ConvertTicketEx", "flags 4"}), 1);
    EXPECT_EQ(CountLines(result.out, {"* dmDuplex", "long edge"}), 1) << result.out;
    EXPECT_EQ(ReadText(file).size(), sizeof(StandinDevmode));
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
}

TEST_F(ConversionTest, ToDevmodeOnADevmodeWithoutTagBlockExitsWith12)
{
    const std::string file = ConvertedFile();
    std::string bytes = ReadText(file);
    bytes[offsetof(DEVMODEW, dmDriverExtra)] = 0;
    bytes[offsetof(DEVMODEW, dmDriverExtra) + 1] = 0;
    WriteBytes(file, bytes.data(), sizeof(DEVMODEW));
    const RunResult result = Tool({"to-devmode", "--ticket", FlatTicket(), "--instance", "--devmode", file});
    EXPECT_EQ(result.code, 12);
    EXPECT_EQ(CountLines(result.out, {"ConvertTicketEx", "12 (ConvertAPITagNotStamped)"}), 1) << result.out;
    // The instance is ended all the same: its request and driver data are gone.
    EXPECT_EQ(CountLines(result.out, {"KillConvertAPI", "0 (ConvertAPISuccess)"}), 1) << result.out;
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
}

TEST_F(ConversionTest, ToDevmodeOnAPrinterThatDoesNotExist)
{
    // Without a DEVMODEW of its own the tool needs the printer's default.
    RunResult result = Tool({"to-devmode", "--ticket", FlatTicket(), "--printer", "Nowhere"});
    EXPECT_EQ(result.code, 69);
    EXPECT_NE(result.err.find("\"Nowhere\" cannot be opened"), std::string::npos) << result.err;
    // With one, the instance's binding fails; the GUID it handed out still ends it.
    result = Tool({"to-devmode", "--ticket", FlatTicket(), "--printer", "Nowhere", "--instance", "--devmode",
                  ConvertedFile()});
    EXPECT_EQ(result.code, 22);
    EXPECT_EQ(CountLines(result.out, {"InitializeConvertAPI", "22 (ConvertAPINotOpened)", "instance {"}), 1)
        << result.out;
    EXPECT_EQ(CountLines(result.out, {"KillConvertAPI", "0 (ConvertAPISuccess)"}), 1) << result.out;
    EXPECT_EQ(CountLines(result.out, {"ReadTicket"}), 0) << result.out;
}

TEST_F(ConversionTest, ToTicketWritesTheTicketBothWays)
{
    const std::string devmode = ConvertedFile();
    for (bool instance : {false, true}) {
        const std::string ticket = TempPath(instance ? "instance.xml" : "plain.xml");
        WriteText(ticket, "an old file that the driver replaces");
        std::vector<std::string> args = {"to-ticket", "--devmode", devmode, "--out", ticket};
        if (instance) args.push_back("--instance");
        const RunResult result = Tool(args);
        ASSERT_EQ(result.code, 0) << result.out << result.err;
        EXPECT_EQ(CountLines(result.out, {"ticket written to", ticket}), 1) << result.out;
        EXPECT_NE(ReadText(ticket).find("<Feature name=\"PrintQuality\" value=\"High\"/>"), std::string::npos);
        EXPECT_EQ(CountLines(result.out, {instance ? "ConvertDevModeEx" : "ConvertDevmode "}), 1) << result.out;
    }
}

TEST_F(ConversionTest, AFailedExportThroughAnInstanceExitsWith14AndLeavesNothing)
{
    const std::string devmode = ConvertedFile();
    SetDriverAnswer(StandinAnswerError);
    const RunResult result =
        Tool({"to-ticket", "--devmode", devmode, "--out", TempPath("never.xml"), "--instance"});
    EXPECT_EQ(result.code, 14);
    EXPECT_EQ(CountLines(result.out, {"ConvertDevModeEx", "14 (ConvertAPIDriverFailed)"}), 1) << result.out;
    EXPECT_EQ(CountLines(result.out, {"KillConvertAPI", "0 (ConvertAPISuccess)"}), 1) << result.out;
    // The failed export withdrew both of its requests and its printer data.
    EXPECT_NE(Tool({"requests", "--printer", "Standin Printer"}).out.find("No requests stand."), std::string::npos);
}

TEST_F(ConversionTest, ADriverThatWritesNoTicketExitsWith1)
{
    const std::string devmode = ConvertedFile();
    SetDriverAnswer(StandinAnswerError);
    const RunResult result = Tool({"to-ticket", "--devmode", devmode, "--out", TempPath("never.xml")});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("the driver wrote no ticket"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tool_test
