// A DEVMODEW exported into a ticket file by the printer driver: ConvertDevmode
// on its own, and InitializeConvertAPI, ConvertDevModeEx, KillConvertAPI
// through an instance.
#include "tests/scenario/conversion_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace conversion;
using scenario::WString;

class DevmodeToTicketTest : public scenario::ScenarioTest {
protected:
    void SetUp() override
    {
        ScenarioTest::SetUp();
        ASSERT_TRUE(DefaultDevmode(&devmode));
        devmode.pub.dmOrientation = DMORIENT_LANDSCAPE;
        devmode.pub.dmCopies = 3;
        devmode.pub.dmDuplex = DMDUP_HORIZONTAL;
        devmode.pub.dmFields |= DM_ORIENTATION | DM_COPIES | DM_DUPLEX;
        SetPrivateSettings(&devmode, {{TEXT("MediaType"), TEXT("Heavy")}, {TEXT("Stapling"), TEXT("TopLeft")}});
        ticket = scenario::TempFilePath("exported.xml");
        RemoveFile(ticket);
        scenario::Driver().Reset();  // forget the call that built the default
    }
    void TearDown() override
    {
        RemoveFile(ticket);
        ScenarioTest::TearDown();
    }

    // The ticket holds the DEVMODEW's settings, public and private.
    void ExpectExportedSettings()
    {
        std::string text;
        ASSERT_TRUE(ReadFile(ticket, &text)) << "no ticket file";
        const std::string printing = Section(text, "Printing");
        for (const std::string &line :
             {FeatureLine("Orientation", "Landscape"), FeatureLine("Copies", "3"), FeatureLine("Duplex", "ShortEdge"),
              FeatureLine("MediaType", "Heavy"), FeatureLine("Stapling", "TopLeft")})
            EXPECT_NE(printing.find(line), std::string::npos) << line << " in\n" << text;
    }

    std::vector<std::string> ExportLines(const std::vector<WString> &keys)
    {
        std::vector<WString> lines;
        for (const WString &key : keys) {
            lines.push_back(key + TEXT("|ProcessingConvertDevmode|TRUE"));
            lines.push_back(key + TEXT("|ProcessingCalvex|TRUE"));
        }
        lines.push_back(kFallbackKeyName + TEXT("|QXProcID|") + ProcessIdText());
        std::sort(lines.begin(), lines.end());
        return Narrowed(lines);
    }

    std::string PrinterDataDuringExport() const
    {
        return "AlwaysExport=1\nExportTicketLocation=" + scenario::Narrow(ticket) + "\n";
    }

    StandinDevmode devmode;
    WString ticket;
};

TEST_F(DevmodeToTicketTest, ConvertDevmodeWritesTheTicketAndWithdrawsItsRequest)
{
    ConvertDevmode(scenario::PrinterName(), ticket.c_str(), &devmode.pub, scenario::TicketLibraryPath(), 5);
    ExpectExportedSettings();

    // The driver found the export request through the process id, and saw
    // the export variant: no ticket path or library in the registry.
    const StandinDriverCall *call = DocumentCall();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->mode, 14u);
    EXPECT_EQ(call->requestFound, 2);
    EXPECT_EQ(scenario::Narrow(call->processKey), scenario::Narrow(Below(ProcessIdKeyName())));
    EXPECT_TRUE(call->exportMode);
    EXPECT_EQ(Narrowed(SortedLines(call->registry)), ExportLines({ProcessIdKeyName()}));
    EXPECT_EQ(scenario::Narrow(call->printerData), PrinterDataDuringExport());

    ExpectNoRequest(kNull);
    EXPECT_TRUE(TagSlotFree(devmode));
}

TEST_F(DevmodeToTicketTest, AnInstanceExportsThroughBothKeysAndWithdrawsThem)
{
    for (DWORD flags : {FlagDocumentProperties, FlagPrinterProperties | FlagDocumentProperties}) {
        RemoveFile(ticket);
        scenario::Driver().Reset();
        GUID guid = kNull;
        ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid),
                  ConvertAPISuccess);
        ASSERT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, guid, flags), ConvertAPISuccess) << flags;

        const StandinDriverCall *call = DocumentCall();
        ASSERT_NE(call, nullptr);
        EXPECT_TRUE(call->tagFound);
        EXPECT_TRUE(SameGuid(call->tagSlot, guid));
        EXPECT_EQ(call->requestFound, 1);
        EXPECT_EQ(scenario::Narrow(call->processKey), scenario::Narrow(Below(GuidKeyName(guid))));
        EXPECT_TRUE(call->exportMode);
        EXPECT_FALSE(call->registryTruncated);
        // Exactly the export request, under the GUID's key and the process id's.
        EXPECT_EQ(Narrowed(SortedLines(call->registry)), ExportLines({GuidKeyName(guid), ProcessIdKeyName()}));
        EXPECT_EQ(scenario::Narrow(call->printerData), PrinterDataDuringExport());

        // Withdrawn, untagged and written before the instance ends.
        ExpectNoRequest(guid);
        EXPECT_TRUE(TagSlotFree(devmode));
        ExpectExportedSettings();

        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
        ExpectNoRequest(guid);
        ExpectExportedSettings();
    }
}

TEST_F(DevmodeToTicketTest, ADriverFailureLeavesNothingOfTheExportBehind)
{
    GUID guid = kNull;
    ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    scenario::Driver().SetAnswer(StandinAnswerError);
    EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, guid, FlagDocumentProperties), ConvertAPIDriverFailed);
    scenario::Driver().SetAnswer(StandinAnswerOk);

    // Neither key nor printer data of the failed export stands: the key named
    // by the process id is shared with every later conversion of the process.
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("AlwaysExport")));
    EXPECT_FALSE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("ExportTicketLocation")));
    EXPECT_FALSE(scenario::KeyExists(Below(GuidKeyName(guid))));
    EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
    EXPECT_FALSE(scenario::KeyExists(Below(kFallbackKeyName)));
    // The caller's DEVMODEW carries no stale tag that the driver could take
    // for this instance the next time it sees it.
    EXPECT_TRUE(TagSlotFree(devmode));

    // The instance reads a ticket next: an import, not an export over it.
    const WString input = scenario::DataPath("tickets/flat.xml");
    std::string before;
    ASSERT_TRUE(ReadFile(input, &before));
    ASSERT_EQ(ReadTicket(0, input.c_str(), guid), ConvertAPISuccess);
    EXPECT_EQ(scenario::ReadStringValue(Below(GuidKeyName(guid)), TEXT("ProcessingConvertDevmode")), WString());
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    std::string after;
    ASSERT_TRUE(ReadFile(input, &after));
    EXPECT_EQ(after, before);
    EXPECT_FALSE(scenario::KeyExists(Below(GuidKeyName(guid))));
}

TEST_F(DevmodeToTicketTest, WithoutAFreeTagBlockNothingIsPublished)
{
    const GUID other = {0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};
    StandinDevmode stamped = devmode;
    std::memcpy(stamped.priv.tagBlock + 32, &other, sizeof(other));
    StandinDevmode broken = devmode;
    broken.priv.tagBlock[0] ^= 0xFF;
    StandinDevmode publicOnly = devmode;
    publicOnly.pub.dmDriverExtra = 0;  // the block lies beyond the size the caller gives

    GUID guid = kNull;
    ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    for (StandinDevmode *candidate : {&stamped, &broken, &publicOnly}) {
        const StandinDevmode before = *candidate;
        EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), &candidate->pub, guid, FlagDocumentProperties),
                  ConvertAPITagNotStamped);
        EXPECT_EQ(std::memcmp(&before, candidate, sizeof(before)), 0);
    }
    EXPECT_EQ(scenario::Driver().CallCount(), 0);
    ExpectNoRequest(guid);
    std::string text;
    EXPECT_FALSE(ReadFile(ticket, &text));
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
}

TEST_F(DevmodeToTicketTest, ArgumentsAreCheckedBeforeAnythingHappens)
{
    GUID guid = kNull;
    ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), nullptr, kNull, FlagDocumentProperties), ConvertAPINoDevmode);
    EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), nullptr, guid, FlagDocumentProperties), ConvertAPINoDevmode);
    EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, kNull, FlagDocumentProperties), ConvertAPINullGuid);
    EXPECT_EQ(KillConvertAPI(kNull), ConvertAPINullGuid);
    EXPECT_TRUE(TagSlotFree(devmode));
    EXPECT_EQ(scenario::Driver().CallCount(), 0);
    ExpectNoRequest(guid);

    // The instance is still bound: KillConvertAPI(GUID_NULL) did not end it.
    EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, guid, FlagDocumentProperties), ConvertAPISuccess);
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
}

TEST_F(DevmodeToTicketTest, KillConvertAPIWithoutAnInstanceSucceeds)
{
    const GUID never = {0xAAAAAAAA, 0xBBBB, 0xCCCC, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(KillConvertAPI(never), ConvertAPISuccess);
    EXPECT_EQ(KillConvertAPI(never), ConvertAPISuccess);
}

TEST_F(DevmodeToTicketTest, ConvertDevmodeThatCannotBindOrHasNoPathDoesNothing)
{
    struct Case {
        const char *what;
        const WCHAR *printer;
        const WCHAR *path;
        const WCHAR *library;
    } cases[] = {
        {"empty ticket path", scenario::PrinterName(), TEXT(""), scenario::TicketLibraryPath()},
        {"no ticket path", scenario::PrinterName(), nullptr, scenario::TicketLibraryPath()},
        {"printer without full access", scenario::RestrictedPrinterName(), ticket.c_str(),
         scenario::TicketLibraryPath()},
        {"no ticket library", scenario::PrinterName(), ticket.c_str(), TEXT("missing-ticket-library.dll")},
    };
    for (const Case &c : cases) {
        ConvertDevmode(c.printer, c.path, &devmode.pub, c.library, 0);
        EXPECT_EQ(scenario::Driver().CallCount(), 0) << c.what;
        ExpectNoRequest(kNull);
        std::string text;
        EXPECT_FALSE(ReadFile(ticket, &text)) << c.what;
    }
}

TEST_F(DevmodeToTicketTest, ANullTicketPathDoesNotExportIntoTheEarlierFile)
{
    GUID guid = kNull;
    ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid), ConvertAPISuccess);
    ASSERT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, guid, FlagDocumentProperties), ConvertAPISuccess);
    ASSERT_TRUE(WriteFile(ticket, "kept"));

    ConvertDevModeEx(nullptr, &devmode.pub, guid, FlagDocumentProperties);
    std::string text;
    ASSERT_TRUE(ReadFile(ticket, &text));
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    ExpectNoRequest(guid);
}

}  // namespace
