// Texts of 259, 260 and 100,000 characters in every string argument. The
// ticket library client keeps at most 259 characters of the printer name and
// of its own path; the ticket path has no limit of its own, only the file
// system's.
#include "tests/bad_input/bad_input_support.h"

#include "hostwin/control.h"

namespace {

using namespace bad_input;

const size_t kLengths[] = {259, 260, 100000};

class LongStringTest : public BadInputTest {
protected:
    static bool Fits(size_t chars) { return chars < 260; }

    bool DriverWasCalled() const { return scenario::Driver().CallCount() > 0; }
};

TEST_F(LongStringTest, PrinterNames)
{
    for (size_t chars : kLengths) {
        const WString name = TextOfLength(chars, TEXT('p'));
        ASSERT_TRUE(HostWinAddPrinter(name.c_str(), STANDIN_DRIVER_MODULE, 0)) << chars;
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(name.c_str()), &printer, &defaults)) << chars;
        // The registry keeps printer data below a key named after the printer,
        // and a key name has at most 255 characters: such a printer has no
        // override, as on Windows.
        WCHAR seven[] = TEXT("7");
        const bool overridden = SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("QXConvertAPIVersionOverride")),
                                                REG_SZ, reinterpret_cast<BYTE *>(seven), sizeof(seven)) == ERROR_SUCCESS;
        ClosePrinter(printer);

        GUID guid = kNull;
        EXPECT_EQ(InitializeConvertAPI(name.c_str(), scenario::TicketLibraryPath(), &guid),
                  Fits(chars) ? ConvertAPISuccess : ConvertAPINotOpened)
            << chars;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);

        DWORD version = 0;
        EXPECT_EQ(GetConvertAPIVersionEx(&version, name.c_str()), ConvertAPISuccess) << chars;
        EXPECT_EQ(version, overridden ? 7u : ConvertAPIVersion) << chars;

        scenario::Driver().Reset();
        ConvertTicket(name.c_str(), scenario::DataPath("tickets/flat.xml").c_str(), &devmode.pub,
                      scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(DriverWasCalled(), Fits(chars)) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;

        // An export names its ticket in printer data, which no printer of such
        // a name can hold: bound or not, no ticket comes out.
        const WString exported = scenario::TempFilePath("long-printer-name.xml");
        RemoveFile(exported);
        ConvertDevmode(name.c_str(), exported.c_str(), &devmode.pub, scenario::TicketLibraryPath(), 0);
        EXPECT_FALSE(FileExists(exported)) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;
        RemoveFile(exported);
        HostWinRemovePrinter(name.c_str());
    }
}

TEST_F(LongStringTest, TicketLibraryPaths)
{
    const WString library(scenario::TicketLibraryPath());
    for (size_t chars : kLengths) {
        const WString path = PathOfLength(library, chars);
        ASSERT_EQ(path.size(), chars);
        GUID guid = kNull;
        EXPECT_EQ(InitializeConvertAPI(scenario::PrinterName(), path.c_str(), &guid),
                  Fits(chars) ? ConvertAPISuccess : ConvertAPINotOpened)
            << chars;
        EXPECT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid),
                  Fits(chars) ? ConvertAPISuccess : ConvertAPITicketNotRead)
            << chars;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);

        scenario::Driver().Reset();
        ConvertTicket(scenario::PrinterName(), scenario::DataPath("tickets/flat.xml").c_str(), &devmode.pub,
                      path.c_str(), 0);
        EXPECT_EQ(DriverWasCalled(), Fits(chars)) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;

        const WString exported = scenario::TempFilePath("long-library-path.xml");
        RemoveFile(exported);
        ConvertDevmode(scenario::PrinterName(), exported.c_str(), &devmode.pub, path.c_str(), 0);
        EXPECT_EQ(FileExists(exported), Fits(chars)) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;
        RemoveFile(exported);
    }
}

TEST_F(LongStringTest, TicketPathsToRead)
{
    const WString ticket = scenario::DataPath("tickets/flat.xml");
    for (size_t chars : kLengths) {
        const WString path = PathOfLength(ticket, chars);
        // 100,000 characters name no file the system can open.
        const bool opens = chars < 4096;
        const GUID guid = Initialize();
        EXPECT_EQ(ReadTicket(0, path.c_str(), guid), opens ? ConvertAPISuccess : ConvertAPITicketNotRead) << chars;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);

        scenario::Driver().Reset();
        StandinDevmode target;
        ASSERT_TRUE(DefaultDevmode(&target));
        ConvertTicket(scenario::PrinterName(), path.c_str(), &target.pub, scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(target.pub.dmOrientation, opens ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;
    }
}

TEST_F(LongStringTest, TicketPathsToWrite)
{
    const WString file = scenario::TempFilePath("long-path-export.xml");
    for (size_t chars : kLengths) {
        const WString path = PathOfLength(file, chars);
        const bool opens = chars < 4096;
        RemoveFile(file);
        const GUID guid = Initialize();
        EXPECT_EQ(ConvertDevModeEx(path.c_str(), &devmode.pub, guid, FlagDocumentProperties),
                  opens ? ConvertAPISuccess : ConvertAPIDriverFailed)
            << chars;
        EXPECT_EQ(FileExists(file), opens) << chars;
        EXPECT_TRUE(TagSlotFree(devmode)) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;
        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);

        RemoveFile(file);
        ConvertDevmode(scenario::PrinterName(), path.c_str(), &devmode.pub, scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(FileExists(file), opens) << chars;
        EXPECT_EQ(Leftovers(), "") << chars;
    }
    RemoveFile(file);
}

}  // namespace
