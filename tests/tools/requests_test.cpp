// requests on the host: hostwin's registry lives in the process, so the
// instance that a caller leaves behind is left by this test itself
// (InitializeConvertAPI and ReadTicket without KillConvertAPI). Under Wine the
// same is done by a process of its own (requests_left_behind.cmake).
#include "tests/tools/tool_fixture.h"

#include "convertapi.h"
#include "hostwin/control.h"
#include "text.h"

namespace tool_test {
namespace {

class RequestsTest : public ToolTest {
protected:
    void TearDown() override
    {
        // Empties the process-wide Converter; nothing stands any more by now.
        if (left_) KillConvertAPI(instance_);
        ToolTest::TearDown();
    }

    // An instance with the sample ticket read, never ended.
    std::string LeaveInstance()
    {
        Tool({"version"});  // the embedded printer
        const WString library = Wide(STANDIN_TICKETLIB_MODULE);
        EXPECT_EQ(InitializeConvertAPI(PrinterName(), library.c_str(), &instance_), ConvertAPISuccess);
        left_ = true;
        EXPECT_EQ(ReadTicket(5, Wide(SourcePath("examples/tickets/sample.xml")).c_str(), instance_),
                  ConvertAPISuccess);
        return "QXProcID" + convertapi_cli::GuidText(instance_);
    }

    bool KeyExists(const std::string &path)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    GUID instance_ = {};
    bool left_ = false;
};

TEST_F(RequestsTest, NothingStands)
{
    const RunResult result = Tool({"requests"});
    EXPECT_EQ(result.code, 0);
    EXPECT_NE(result.out.find("No requests stand."), std::string::npos) << result.out;
    EXPECT_EQ(Tool({"requests", "--clean"}).code, 0);
}

TEST_F(RequestsTest, ListsAnInstanceLeftBehindAndCleansItAway)
{
    const std::string key = LeaveInstance();
    const RunResult listed = Tool({"requests"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(CountLines(listed.out, {key, "process key of an instance"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"TicketType", "REG_SZ", "5"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"PrinterName", "REG_SZ", "Standin Printer"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"DisableDPSExtension", "REG_DWORD", "1"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"CalvexDriverData\\Printing\\DevModeItems", "(driver data)"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"Duplex", "REG_SZ", "LongEdge"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"CalvexDriverData\\Physical", "(driver data)"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"Tray3", "REG_SZ", "Present"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"QXProcIDFallback", "fallback key"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"QXProcID ", "REG_DWORD", std::to_string(GetCurrentProcessId())}), 1)
        << listed.out;
    EXPECT_NE(listed.out.find("2 keys of requests stand; `convertapi requests --clean` withdraws them."),
              std::string::npos)
        << listed.out;

    const RunResult cleaned = Tool({"requests", "--clean"});
    EXPECT_EQ(cleaned.code, 0) << cleaned.err;
    EXPECT_EQ(CountLines(cleaned.out, {"deleted HKEY_CURRENT_USER\\Software\\Varnholt\\" + key}), 1) << cleaned.out;
    EXPECT_EQ(CountLines(cleaned.out, {"deleted HKEY_CURRENT_USER\\Software\\Varnholt\\QXProcIDFallback"}), 1);
    EXPECT_FALSE(KeyExists("Software\\Varnholt\\" + key));
    EXPECT_FALSE(KeyExists("Software\\Varnholt\\QXProcIDFallback"));
    EXPECT_TRUE(KeyExists("Software\\Varnholt"));  // never the library's to delete
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
}

TEST_F(RequestsTest, KeysThatAreNotRequestsStay)
{
    LeaveInstance();
    for (const char *path : {"Software\\Varnholt\\Settings", "Software\\Varnholt\\QXProcIDxyz"}) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    const RunResult cleaned = Tool({"requests", "--clean"});
    EXPECT_EQ(cleaned.code, 0);
    EXPECT_EQ(CountLines(cleaned.out, {"Settings", "not a request; --clean leaves it"}), 1) << cleaned.out;
    EXPECT_EQ(CountLines(cleaned.out, {"QXProcIDxyz", "not a request; --clean leaves it"}), 1) << cleaned.out;
    EXPECT_TRUE(KeyExists("Software\\Varnholt\\Settings"));
    EXPECT_TRUE(KeyExists("Software\\Varnholt\\QXProcIDxyz"));
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
}

TEST_F(RequestsTest, ListsAndDeletesTheExportsPrinterData)
{
    Tool({"version"});
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &printer, &defaults));
    DWORD one = 1;
    const char location[] = "C:\\tickets\\out.xml";
    SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("AlwaysExport")), REG_DWORD, reinterpret_cast<BYTE *>(&one), 4);
    SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("ExportTicketLocation")), REG_BINARY,
                    reinterpret_cast<BYTE *>(const_cast<char *>(location)), sizeof(location) - 1);

    // Without --printer the printer is not looked at.
    EXPECT_NE(Tool({"requests"}).out.find("No requests stand."), std::string::npos);
    const RunResult listed = Tool({"requests", "--printer", "Standin Printer"});
    EXPECT_EQ(CountLines(listed.out, {"AlwaysExport", "REG_DWORD", "1"}), 1) << listed.out;
    EXPECT_EQ(CountLines(listed.out, {"ExportTicketLocation", "REG_BINARY", location}), 1) << listed.out;

    const RunResult cleaned = Tool({"requests", "--clean", "--printer", "Standin Printer"});
    EXPECT_EQ(cleaned.code, 0) << cleaned.err;
    DWORD type = 0, needed = 0;
    for (const WCHAR *name : {TEXT("AlwaysExport"), TEXT("ExportTicketLocation")})
        EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(name), &type, nullptr, 0, &needed),
                  static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ClosePrinter(printer);
}

TEST_F(RequestsTest, AKeyThatCannotBeDeletedExitsWith73)
{
    const std::string key = LeaveInstance();
    HostWinInjectFault("RegDeleteTreeW", -1);
    const RunResult cleaned = Tool({"requests", "--clean"});
    HostWinClearFaults();
    EXPECT_EQ(cleaned.code, 73);
    EXPECT_EQ(CountLines(cleaned.err, {"cannot delete", key}), 1) << cleaned.err;
    EXPECT_TRUE(KeyExists("Software\\Varnholt\\" + key));
}

}  // namespace
}  // namespace tool_test
