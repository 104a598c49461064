// Every pointer argument of every export passed as null.
#include "tests/bad_input/bad_input_support.h"

#include <cstring>

namespace {

using namespace bad_input;

class NullPointerTest : public BadInputTest {};

TEST_F(NullPointerTest, InitializeConvertAPIRefusesOrFailsToBindAndHandsOutTheGuidFirst)
{
    struct Case {
        const char *what;
        const WCHAR *printer;
        const WCHAR *library;
    } cases[] = {
        {"no printer name", nullptr, scenario::TicketLibraryPath()},
        {"no ticket library path", scenario::PrinterName(), nullptr},
        {"neither", nullptr, nullptr},
    };
    for (const Case &c : cases) {
        GUID guid = kNull;
        EXPECT_EQ(InitializeConvertAPI(c.printer, c.library, &guid), ConvertAPINotOpened) << c.what;
        EXPECT_NE(std::memcmp(&guid, &kNull, sizeof(GUID)), 0) << c.what;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess) << c.what;
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
}

TEST_F(NullPointerTest, InitializeConvertAPIWithoutAGuidPointerLeavesTheBoundInstanceAlone)
{
    const GUID guid = Initialize();
    EXPECT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), nullptr),
              ConvertAPINoGuidPointer);
    EXPECT_EQ(InitializeConvertAPI(nullptr, nullptr, nullptr), ConvertAPINoGuidPointer);
    // Still bound: the instance reads a ticket.
    EXPECT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(NullPointerTest, InstanceExportsAnswerWithTheirCodes)
{
    const GUID guid = Initialize();
    const WString exported = scenario::TempFilePath("null-pointer-export.xml");
    RemoveFile(exported);
    struct Case {
        const char *what;
        DWORD result;
        DWORD expected;
    } cases[] = {
        {"ReadTicket without a ticket path", ReadTicket(0, nullptr, guid), ConvertAPITicketNotRead},
        {"ConvertTicketEx without a DEVMODEW", ConvertTicketEx(nullptr, guid, FlagFromDriverData), ConvertAPINoDevmode},
        {"ConvertDevModeEx without a DEVMODEW", ConvertDevModeEx(exported.c_str(), nullptr, guid, 3),
         ConvertAPINoDevmode},
        // Without a path no request is published: the driver finds none and
        // leaves the DEVMODEW as it is, which is a successful call.
        {"ConvertDevModeEx without a ticket path", ConvertDevModeEx(nullptr, &devmode.pub, guid, 3),
         ConvertAPISuccess},
    };
    for (const Case &c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
    for (LONG i = 0; i < scenario::Driver().CallCount(); ++i)
        EXPECT_EQ(scenario::Driver().Call(i)->requestFound, 0) << "driver call " << i;
    EXPECT_TRUE(TagSlotFree(devmode));
    EXPECT_FALSE(FileExists(exported));
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    EXPECT_EQ(Leftovers(), "");
}

TEST_F(NullPointerTest, VersionExportsWithoutAPlaceForTheVersion)
{
    DWORD version = 0;
    EXPECT_EQ(GetConvertAPIVersion(nullptr), ConvertAPINoVersionPointer);
    EXPECT_EQ(GetConvertAPIVersionEx(nullptr, scenario::PrinterName()), ConvertAPINoVersionPointer);
    EXPECT_EQ(GetConvertAPIVersionEx(nullptr, nullptr), ConvertAPINoVersionPointer);
    EXPECT_EQ(GetConvertAPIVersionEx(&version, nullptr), ConvertAPISuccess);
    EXPECT_EQ(version, ConvertAPIVersion);
}

// The self-contained exports report nothing; each must come back, call the
// driver only when everything it needs is there, and leave no request.
TEST_F(NullPointerTest, SelfContainedExportsComeBackAndLeaveNothing)
{
    const WString ticket = scenario::DataPath("tickets/flat.xml");
    const WString exported = scenario::TempFilePath("null-pointer-self-contained.xml");
    typedef void (*Export)(const WCHAR *, const WCHAR *, DEVMODEW *, const WCHAR *, DWORD);
    struct Case {
        const char *what;
        Export run;
        bool ticketIn;  // ConvertTicket reads `ticket`, ConvertDevmode writes `exported`
        bool printer, path, dm, library;
        bool driverCalled;
    } cases[] = {
        {"ConvertTicket, no printer name", ConvertTicket, true, false, true, true, true, false},
        {"ConvertTicket, no ticket path", ConvertTicket, true, true, false, true, true, false},
        {"ConvertTicket, no DEVMODEW", ConvertTicket, true, true, true, false, true, true},
        {"ConvertTicket, no ticket library path", ConvertTicket, true, true, true, true, false, false},
        {"ConvertDevmode, no printer name", ConvertDevmode, false, false, true, true, true, false},
        {"ConvertDevmode, no ticket path", ConvertDevmode, false, true, false, true, true, false},
        {"ConvertDevmode, no DEVMODEW", ConvertDevmode, false, true, true, false, true, true},
        {"ConvertDevmode, no ticket library path", ConvertDevmode, false, true, true, true, false, false},
    };
    for (const Case &c : cases) {
        RemoveFile(exported);
        scenario::Driver().Reset();
        const StandinDevmode before = devmode;
        const WString &path = c.ticketIn ? ticket : exported;
        c.run(c.printer ? scenario::PrinterName() : nullptr, c.path ? path.c_str() : nullptr,
              c.dm ? &devmode.pub : nullptr, c.library ? scenario::TicketLibraryPath() : nullptr, 0);
        EXPECT_EQ(scenario::Driver().CallCount() > 0, c.driverCalled) << c.what;
        if (!c.driverCalled) {
            EXPECT_EQ(std::memcmp(&before, &devmode, sizeof(devmode)), 0) << c.what;
        }
        if (!c.ticketIn) {
            EXPECT_FALSE(FileExists(exported)) << c.what;  // an export needs a DEVMODEW to export
        }
        EXPECT_EQ(Leftovers(), "") << c.what;
    }
}

}  // namespace
