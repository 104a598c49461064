#include "convertapi/engine/converter.h"
#include "tests/unit/handshake_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace convertapi {
namespace {

using namespace handshake_test;

const WCHAR kPrinter[] = TEXT("Handshake Printer");
const WCHAR kRestricted[] = TEXT("Handshake Restricted");
const WCHAR kManager[] = TEXT("C:\\lib\\QXCZEL32.DLL");
const WCHAR kTicket[] = TEXT("C:\\tickets\\job.xml");

std::vector<BYTE> Bytes(const char *text) { return std::vector<BYTE>(text, text + std::char_traits<char>::length(text)); }

class HandshakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_TRUE(HostWinAddPrinter(kRestricted, nullptr, HOSTWIN_PRINTER_DENY_ALL_ACCESS));
    }
    void TearDown() override
    {
        converter.Close();
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        EXPECT_EQ(HostWinOpenHandleCount("printer"), 0);
        EXPECT_EQ(HostWinOpenHandleCount("local"), 0);
        HostWinReset();
    }

    void Bind(const WCHAR *printer = kPrinter, const WCHAR *ticket = kTicket, DWORD type = 7)
    {
        ASSERT_TRUE(converter.SetPrinterName(printer));
        ASSERT_TRUE(converter.SetTicketManager(kManager));
        ASSERT_TRUE(converter.SetTicketPath(ticket));
        converter.SetTicketType(type);
    }

    static std::vector<NamedValue> NonExportRequest(const WString &ticketType = TEXT("7"),
                                                    const WString &ticketPath = kTicket)
    {
        return {
            {TEXT("DisableDPSExtension"), DwordValue(1)},
            {TEXT("TicketManager"), StringValue(kManager)},
            {TEXT("TicketType"), StringValue(ticketType)},
            {TEXT("PrinterName"), StringValue(kPrinter)},
            {TEXT("TicketPath"), StringValue(ticketPath)},
            {TEXT("ProcessingCalvex"), StringValue(TEXT("TRUE"))},
        };
    }
    static std::vector<NamedValue> ExportRequest()
    {
        return {
            {TEXT("ProcessingConvertDevmode"), StringValue(TEXT("TRUE"))},
            {TEXT("ProcessingCalvex"), StringValue(TEXT("TRUE"))},
        };
    }
    static std::vector<NamedValue> FallbackValues() { return {{TEXT("QXProcID"), DwordValue(GetCurrentProcessId())}}; }

    Converter converter;
};

// ---- Key paths ---------------------------------------------------------

TEST_F(HandshakeTest, ProcessKeyIsNamedByTheGuidOrByTheProcessId)
{
    for (const GUID &guid : {kNull, kInstance}) {
        WCHAR *path = nullptr;
        ASSERT_EQ(Converter::BuildProcessKeyPath(guid, &path), 1);
        EXPECT_EQ(WString(path), ProcessKey(guid));
        delete[] path;
    }
    EXPECT_EQ(ProcessKey(kInstance), WString(TEXT("Software\\Varnholt\\QXProcID{0123ABCD-4567-89EF-0123-456789ABCDEF}")));

    WCHAR *fallback = nullptr;
    ASSERT_EQ(Converter::BuildFallbackKeyPath(&fallback), 1);
    EXPECT_EQ(WString(fallback), kFallbackKey);
    delete[] fallback;
}

TEST_F(HandshakeTest, KeyPathFailuresHandOutNothing)
{
    EXPECT_EQ(Converter::BuildProcessKeyPath(kInstance, nullptr), 0);
    EXPECT_EQ(Converter::BuildFallbackKeyPath(nullptr), 0);

    struct Case {
        const char *fault;
        GUID guid;
    } cases[] = {{"alloc", kInstance}, {"alloc", kNull}, {"StringFromGUID2", kInstance}};
    for (const Case &c : cases) {
        HostWinInjectFault(c.fault, 1);
        WCHAR *path = nullptr;
        EXPECT_EQ(Converter::BuildProcessKeyPath(c.guid, &path), 0) << c.fault;
        EXPECT_EQ(path, nullptr);
        delete[] path;
        HostWinClearFaults();
    }
    HostWinInjectFault("alloc", 1);
    WCHAR *fallback = nullptr;
    EXPECT_EQ(Converter::BuildFallbackKeyPath(&fallback), 0);
    EXPECT_EQ(fallback, nullptr);
    delete[] fallback;
}

// ---- Writers -----------------------------------------------------------

TEST_F(HandshakeTest, WritersCreateTheKeyAndStoreTheExactBytes)
{
    const WString key = TEXT("Software\\Varnholt\\A\\B\\C");
    EXPECT_EQ(Converter::WriteStringValue(key.c_str(), TEXT("Text"), TEXT("Gr\x00FC\x00DF")), 1);
    EXPECT_EQ(Converter::WriteStringValue(key.c_str(), TEXT("Empty"), TEXT("")), 1);
    EXPECT_EQ(Converter::WriteDwordValue(key.c_str(), TEXT("Number"), 0x01020304), 1);
    std::vector<NamedValue> expected = {
        {TEXT("Text"), StringValue(TEXT("Gr\x00FC\x00DF"))},
        {TEXT("Empty"), StringValue(TEXT(""))},
        {TEXT("Number"), DwordValue(0x01020304)},
    };
    EXPECT_EQ(Values(key), expected);
    ASSERT_EQ(Values(key)[1].value.data.size(), 2u);  // the terminating zero alone
}

TEST_F(HandshakeTest, WritersOpenAnExistingKeyRatherThanCreateIt)
{
    ASSERT_TRUE(CreateKey(TEXT("Software\\Varnholt\\Here")));
    long creates = HostWinCallCount("RegCreateKeyExW");
    EXPECT_EQ(Converter::WriteDwordValue(TEXT("Software\\Varnholt\\Here"), TEXT("N"), 5), 1);
    EXPECT_EQ(HostWinCallCount("RegCreateKeyExW"), creates);
}

TEST_F(HandshakeTest, WritersReportEveryFailure)
{
    const char *const faults[] = {"RegCreateKeyExW", "RegSetValueExW"};
    for (const char *fault : faults) {
        HostWinInjectFault(fault, -1);
        EXPECT_EQ(Converter::WriteStringValue(TEXT("Software\\Varnholt\\W"), TEXT("S"), TEXT("x")), 0) << fault;
        EXPECT_EQ(Converter::WriteDwordValue(TEXT("Software\\Varnholt\\W"), TEXT("D"), 1), 0) << fault;
        HostWinClearFaults();
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
    }
    EXPECT_EQ(Converter::WriteStringValue(TEXT("Software\\Varnholt\\W"), TEXT("S"), nullptr), 0);
    // A null path would write into HKEY_CURRENT_USER itself.
    EXPECT_EQ(Converter::WriteStringValue(nullptr, TEXT("S"), TEXT("x")), 0);
    EXPECT_EQ(Converter::WriteDwordValue(nullptr, TEXT("D"), 1), 0);
}

// ---- PublishRequest ----------------------------------------------------

TEST_F(HandshakeTest, NonExportRequestHasItsValuesInOrder)
{
    Bind();
    for (const GUID &guid : {kNull, kInstance}) {
        converter.PublishRequest(guid);
        EXPECT_EQ(Values(ProcessKey(guid)), NonExportRequest());
        EXPECT_EQ(Values(kFallbackKey), FallbackValues());
    }
    EXPECT_FALSE(PrinterData(kPrinter, TEXT("AlwaysExport")).type);
    EXPECT_TRUE(DebugLines().empty());
}

TEST_F(HandshakeTest, ExportRequestPutsTheTicketLocationIntoPrinterData)
{
    Bind();
    converter.SetExportMode(1);
    converter.PublishRequest(kInstance);

    EXPECT_EQ(Values(ProcessKey(kInstance)), ExportRequest());
    EXPECT_EQ(Values(kFallbackKey), FallbackValues());
    EXPECT_EQ(PrinterData(kPrinter, TEXT("AlwaysExport")), DwordValue(1));
    Value location = PrinterData(kPrinter, TEXT("ExportTicketLocation"));
    EXPECT_EQ(location.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(location.data, Bytes("C:\\tickets\\job.xml"));  // ANSI, no terminating zero
    EXPECT_FALSE(KeyExists(ProcessKey(kNull)));
    EXPECT_TRUE(DebugLines().empty());
}

TEST_F(HandshakeTest, TicketPathOutsideTheAnsiCodePage)
{
    const WCHAR path[] = TEXT("C:\\t\x4E2D.xml");
    Bind(kPrinter, path);
    converter.PublishRequest(kNull);
    EXPECT_EQ(Values(ProcessKey(kNull)), NonExportRequest(TEXT("7"), path));

    converter.SetExportMode(1);
    converter.PublishRequest(kNull);
    EXPECT_EQ(PrinterData(kPrinter, TEXT("ExportTicketLocation")).data, Bytes("C:\\t?.xml"));
}

TEST_F(HandshakeTest, UnconvertibleTicketLocationIsSkippedSilently)
{
    Bind();
    converter.SetExportMode(1);
    HostWinInjectFault("WideCharToMultiByte", 1);
    converter.PublishRequest(kInstance);

    EXPECT_EQ(Values(ProcessKey(kInstance)), ExportRequest());
    EXPECT_EQ(PrinterData(kPrinter, TEXT("AlwaysExport")), DwordValue(1));
    EXPECT_FALSE(PrinterData(kPrinter, TEXT("ExportTicketLocation")).type);
    EXPECT_TRUE(DebugLines().empty());
}

TEST_F(HandshakeTest, TicketTypeMustFitNineDigits)
{
    struct Case {
        DWORD type;
        const WCHAR *text;  // null: nothing is published
    } cases[] = {
        {0, TEXT("0")},
        {999999999, TEXT("999999999")},
        {1000000000, nullptr},
        {0xFFFFFFFF, nullptr},
    };
    for (const Case &c : cases) {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        Bind(kPrinter, kTicket, c.type);
        converter.PublishRequest(kNull);
        if (c.text != nullptr) {
            EXPECT_EQ(Values(ProcessKey(kNull)), NonExportRequest(c.text)) << c.type;
        } else {
            EXPECT_FALSE(KeyExists(TEXT("Software\\Varnholt"))) << c.type;
        }
    }
}

TEST_F(HandshakeTest, NothingIsPublishedWithoutItsStringsOrKeyPaths)
{
    struct Case {
        const char *what;
        bool printer, manager, ticket;
        const char *fault;
    } cases[] = {
        {"no printer name", false, true, true, nullptr},
        {"no ticket library path", true, false, true, nullptr},
        {"no ticket path", true, true, false, nullptr},
        {"process key path", true, true, true, "alloc"},
        {"fallback key path", true, true, true, "alloc"},
    };
    for (const Case &c : cases) {
        Converter local;
        if (c.printer) ASSERT_TRUE(local.SetPrinterName(kPrinter));
        if (c.manager) ASSERT_TRUE(local.SetTicketManager(kManager));
        if (c.ticket) ASSERT_TRUE(local.SetTicketPath(kTicket));
        for (int exportMode : {0, 1}) {
            local.SetExportMode(exportMode);
            // The process key path takes the first allocation, the fallback key path the second.
            if (c.fault) HostWinInjectFault(c.fault, std::string(c.what) == "fallback key path" ? 2 : 1);
            local.PublishRequest(kInstance);
            HostWinClearFaults();
            EXPECT_FALSE(KeyExists(TEXT("Software\\Varnholt"))) << c.what;
            EXPECT_FALSE(PrinterData(kPrinter, TEXT("AlwaysExport")).type) << c.what;
        }
    }
}

TEST_F(HandshakeTest, ExportOnAPrinterWithoutFullAccessWritesOnlyTheRegistry)
{
    Bind(kRestricted);
    converter.SetExportMode(1);
    converter.PublishRequest(kNull);
    EXPECT_EQ(Values(ProcessKey(kNull)), ExportRequest());
    EXPECT_EQ(Values(kFallbackKey), FallbackValues());
    EXPECT_FALSE(PrinterData(kRestricted, TEXT("AlwaysExport")).type);
    EXPECT_FALSE(PrinterData(kRestricted, TEXT("ExportTicketLocation")).type);
    EXPECT_TRUE(DebugLines().empty());
}

TEST_F(HandshakeTest, FailedPrinterDataIsReportedToTheDebuggerAndPublishingGoesOn)
{
    struct Case {
        const char *fault;
        long nth;
        std::vector<WString> lines;
    } cases[] = {
        {"SetPrinterDataW", -1,
         {TEXT("Failed to create registry key AlwaysExport\n"),
          TEXT("Failed to create registry key ExportTicketLocation\n")}},
        {"SetPrinterDataW", 2, {TEXT("Failed to create registry key ExportTicketLocation\n")}},
    };
    for (const Case &c : cases) {
        HostWinClearDebugOutput();
        Bind();
        converter.SetExportMode(1);
        HostWinInjectFault(c.fault, c.nth);
        converter.PublishRequest(kNull);
        HostWinClearFaults();
        EXPECT_EQ(DebugLines(), c.lines) << c.fault;
        EXPECT_EQ(Values(ProcessKey(kNull)), ExportRequest()) << c.fault;
        EXPECT_EQ(Values(kFallbackKey), FallbackValues()) << c.fault;
    }
}

TEST_F(HandshakeTest, EveryWriteIsAttemptedWhateverTheOthersDo)
{
    Bind();
    HostWinInjectFault("RegSetValueExW", 1);  // "DisableDPSExtension"
    converter.PublishRequest(kNull);
    std::vector<NamedValue> expected = NonExportRequest();
    expected.erase(expected.begin());
    EXPECT_EQ(Values(ProcessKey(kNull)), expected);
    EXPECT_EQ(Values(kFallbackKey), FallbackValues());
}

// ---- WithdrawRequest ---------------------------------------------------

void FillDriverData(const WString &processKey)
{
    ASSERT_TRUE(SetString(processKey + TEXT("\\CalvexDriverData\\Physical"), TEXT("Duplex"), TEXT("Installed")));
    ASSERT_TRUE(SetString(processKey + TEXT("\\CalvexDriverData\\Printing\\OptItems"), TEXT("MediaType"), TEXT("Plain")));
    ASSERT_TRUE(SetString(processKey + TEXT("\\CalvexDriverData\\Printing\\DevModeItems"), TEXT("Duplex"), TEXT("On")));
}

TEST_F(HandshakeTest, WithdrawRemovesTheWholeRequestInBothVariants)
{
    Bind();
    for (int exportMode : {0, 1}) {
        for (const GUID &guid : {kNull, kInstance}) {
            converter.SetExportMode(exportMode);
            converter.PublishRequest(guid);
            FillDriverData(ProcessKey(guid));
            HostWinClearDebugOutput();
            converter.WithdrawRequest(guid);
            EXPECT_FALSE(KeyExists(ProcessKey(guid))) << exportMode;
            EXPECT_FALSE(KeyExists(kFallbackKey)) << exportMode;
            EXPECT_FALSE(PrinterData(kPrinter, TEXT("AlwaysExport")).type) << exportMode;
            EXPECT_FALSE(PrinterData(kPrinter, TEXT("ExportTicketLocation")).type) << exportMode;
            EXPECT_TRUE(KeyExists(TEXT("Software\\Varnholt"))) << "the vendor key is never deleted";
            EXPECT_TRUE(DebugLines().empty()) << exportMode;
        }
    }
}

TEST_F(HandshakeTest, WithdrawOnlyTouchesTheKeyOfItsGuid)
{
    Bind();
    converter.PublishRequest(kNull);
    converter.PublishRequest(kInstance);
    converter.WithdrawRequest(kInstance);
    EXPECT_FALSE(KeyExists(ProcessKey(kInstance)));
    EXPECT_EQ(Values(ProcessKey(kNull)), NonExportRequest());
    // The fallback key is one per user: gone whoever wrote it.
    EXPECT_FALSE(KeyExists(kFallbackKey));
}

TEST_F(HandshakeTest, WithdrawWithNothingPublished)
{
    ASSERT_TRUE(SetValue(kFallbackKey, TEXT("QXProcID"), REG_DWORD, "\x01\x02\x03\x04", 4));
    converter.WithdrawRequest(kNull);  // needs none of the strings
    EXPECT_FALSE(KeyExists(kFallbackKey));
    EXPECT_TRUE(DebugLines().empty());

    // In the export variant the printer-data deletions fail, and say so.
    Bind();
    converter.SetExportMode(1);
    converter.WithdrawRequest(kNull);
    std::vector<WString> lines = {TEXT("Failed to delete registry key AlwaysExport\n"),
                                  TEXT("Failed to delete registry key ExportTicketLocation\n")};
    EXPECT_EQ(DebugLines(), lines);
}

TEST_F(HandshakeTest, WithdrawReportsEachFailedPrinterDataDeletion)
{
    Bind();
    converter.SetExportMode(1);
    converter.PublishRequest(kNull);
    HostWinInjectFault("DeletePrinterDataW", 1);
    converter.WithdrawRequest(kNull);
    std::vector<WString> lines = {TEXT("Failed to delete registry key AlwaysExport\n")};
    EXPECT_EQ(DebugLines(), lines);
    EXPECT_EQ(PrinterData(kPrinter, TEXT("AlwaysExport")), DwordValue(1));
    EXPECT_FALSE(PrinterData(kPrinter, TEXT("ExportTicketLocation")).type);
    EXPECT_FALSE(KeyExists(ProcessKey(kNull)));
}

TEST_F(HandshakeTest, ExportWithdrawWithoutAPrinterNameOpensNoPrinter)
{
    converter.SetExportMode(1);
    long opens = HostWinCallCount("OpenPrinterW");
    converter.WithdrawRequest(kNull);
    EXPECT_EQ(HostWinCallCount("OpenPrinterW"), opens);
}

TEST_F(HandshakeTest, AProcessKeyWithAForeignSubkeySurvivesWithoutTheRequestValues)
{
    struct Case {
        int publishMode;
        int withdrawMode;
        std::vector<NamedValue> left;
    } cases[] = {
        {0, 0, {}},
        {1, 1, {}},
        // The other variant's values are not deleted one by one.
        {0, 1,
         {{TEXT("DisableDPSExtension"), DwordValue(1)},
          {TEXT("TicketManager"), StringValue(kManager)},
          {TEXT("TicketType"), StringValue(TEXT("7"))},
          {TEXT("PrinterName"), StringValue(kPrinter)},
          {TEXT("TicketPath"), StringValue(kTicket)}}},
        {1, 0, {{TEXT("ProcessingConvertDevmode"), StringValue(TEXT("TRUE"))}}},
    };
    Bind();
    for (const Case &c : cases) {
        converter.SetExportMode(c.publishMode);
        converter.PublishRequest(kInstance);
        FillDriverData(ProcessKey(kInstance));
        ASSERT_TRUE(SetString(ProcessKey(kInstance) + TEXT("\\Foreign"), TEXT("Keep"), TEXT("me")));
        converter.SetExportMode(c.withdrawMode);
        converter.WithdrawRequest(kInstance);
        EXPECT_EQ(Values(ProcessKey(kInstance)), c.left) << c.publishMode << c.withdrawMode;
        EXPECT_FALSE(KeyExists(ProcessKey(kInstance) + TEXT("\\CalvexDriverData")));
        EXPECT_TRUE(KeyExists(ProcessKey(kInstance) + TEXT("\\Foreign")));
        EXPECT_FALSE(KeyExists(kFallbackKey));
        RegDeleteTreeW(HKEY_CURRENT_USER, ProcessKey(kInstance).c_str());
    }
}

TEST_F(HandshakeTest, OtherVariantWithdrawStillRemovesAKeyWithoutForeignSubkeys)
{
    Bind();
    converter.PublishRequest(kNull);
    converter.SetExportMode(1);
    converter.WithdrawRequest(kNull);
    EXPECT_FALSE(KeyExists(ProcessKey(kNull)));
}

TEST_F(HandshakeTest, WithdrawDeletesNothingWhenItsKeyPathCannotBeBuilt)
{
    Bind();
    converter.PublishRequest(kInstance);
    HostWinInjectFault("StringFromGUID2", 1);
    converter.WithdrawRequest(kInstance);
    HostWinClearFaults();
    EXPECT_EQ(Values(ProcessKey(kInstance)), NonExportRequest());
    EXPECT_EQ(Values(kFallbackKey), FallbackValues());
}

// The withdrawal needs no heap: a request never stays behind for want of
// memory while the export reports success.
TEST_F(HandshakeTest, WithdrawRemovesTheRequestAlsoWhenNothingCanBeAllocated)
{
    Bind();
    converter.PublishRequest(kInstance);
    HostWinInjectFault("alloc", -1);
    converter.WithdrawRequest(kInstance);
    HostWinClearFaults();
    EXPECT_FALSE(KeyExists(ProcessKey(kInstance)));
    EXPECT_FALSE(KeyExists(kFallbackKey));
}

}  // namespace
}  // namespace convertapi
