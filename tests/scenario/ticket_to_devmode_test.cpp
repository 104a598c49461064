// A ticket file applied to a DEVMODEW by the printer driver: ConvertTicket on
// its own, and InitializeConvertAPI, ReadTicket, ConvertTicketEx,
// KillConvertAPI through an instance, with the way back by export.
#include "tests/scenario/conversion_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace conversion;
using scenario::WString;

class TicketToDevmodeTest : public scenario::ScenarioTest {
protected:
    void SetUp() override
    {
        ScenarioTest::SetUp();
        ASSERT_TRUE(DefaultDevmode(&devmode));
        devmode.pub.dmOrientation = DMORIENT_PORTRAIT;
        devmode.pub.dmDuplex = DMDUP_SIMPLEX;
        devmode.pub.dmFields |= DM_ORIENTATION | DM_DUPLEX;
        SetPrivateSettings(&devmode, {});
        exported = scenario::TempFilePath("round-trip.xml");
        RemoveFile(exported);
        scenario::Driver().Reset();  // forget the call that built the default
    }
    void TearDown() override
    {
        RemoveFile(exported);
        ScenarioTest::TearDown();
    }

    // flat.xml, as the driver keeps it in the DEVMODEW.
    void ExpectFlatTicketApplied()
    {
        EXPECT_EQ(devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
        EXPECT_EQ(devmode.pub.dmDuplex, DMDUP_VERTICAL);
        EXPECT_EQ(devmode.pub.dmPrintQuality, DMRES_HIGH);
        EXPECT_EQ(PrivateSettings(devmode), (Settings{{TEXT("MediaType"), TEXT("Plain")}}));
        EXPECT_EQ(devmode.priv.droppedFeatures, 0u);
        EXPECT_TRUE(TagSlotFree(devmode));
    }

    // Exports the DEVMODEW again and returns the ticket the driver wrote.
    std::string ExportAgain()
    {
        ConvertDevmode(scenario::PrinterName(), exported.c_str(), &devmode.pub, scenario::TicketLibraryPath(), 0);
        std::string text;
        EXPECT_TRUE(ReadFile(exported, &text));
        return text;
    }

    void ExpectFeatures(const std::string &section, const std::vector<std::string> &lines)
    {
        for (const std::string &line : lines) EXPECT_NE(section.find(line), std::string::npos) << line << " in\n" << section;
    }

    StandinDevmode devmode;
    WString exported;
};

TEST_F(TicketToDevmodeTest, ConvertTicketAppliesTheTicketAndWithdrawsItsRequest)
{
    ConvertTicket(scenario::PrinterName(), scenario::DataPath("tickets/flat.xml").c_str(), &devmode.pub,
                  scenario::TicketLibraryPath(), 3);
    ExpectFlatTicketApplied();

    // The driver found the request and the driver data through the process id.
    const StandinDriverCall *call = DocumentCall();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->mode, 14u);
    EXPECT_EQ(call->requestFound, 2);
    EXPECT_FALSE(call->exportMode);
    const WString key = ProcessIdKeyName();
    const std::vector<WString> lines = SortedLines(call->registry);
    for (const WString &line : {key + TEXT("|TicketType|3"), key + TEXT("|DisableDPSExtension|1"),
                                key + TEXT("\\CalvexDriverData\\Printing\\DevModeItems|Duplex|LongEdge"),
                                key + TEXT("\\CalvexDriverData\\Printing\\OptItems|MediaType|Plain"),
                                key + TEXT("\\CalvexDriverData\\Physical|Duplex|Installed")})
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << scenario::Narrow(line);

    ExpectNoRequest(kNull);
}

TEST_F(TicketToDevmodeTest, AnInstanceReadsAppliesAndEndsAndTheTicketComesBack)
{
    const GUID guid = InitializeInstance();
    ASSERT_EQ(ReadTicket(1234, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);
    EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid)) + TEXT("\\CalvexDriverData\\Physical")));
    EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid)) + TEXT("\\CalvexDriverData\\Printing\\DevModeItems")));

    ASSERT_EQ(ConvertTicketEx(&devmode.pub, guid, FlagFromDriverData), ConvertAPISuccess);
    ExpectFlatTicketApplied();
    const StandinDriverCall *call = DocumentCall();
    ASSERT_NE(call, nullptr);
    EXPECT_TRUE(SameGuid(call->tagSlot, guid));
    EXPECT_EQ(call->requestFound, 1);
    const std::vector<WString> lines = SortedLines(call->registry);
    EXPECT_NE(std::find(lines.begin(), lines.end(), GuidKeyName(guid) + TEXT("|TicketType|1234")), lines.end());

    // The printer's sheet ran first, with the request also published under
    // the process id for the length of that call only.
    ASSERT_GE(scenario::Driver().CallCount(), 1);
    const StandinDriverCall *sheet = scenario::Driver().Call(0);
    EXPECT_EQ(sheet->kind, StandinCallDeviceProperties);
    EXPECT_EQ(sheet->requestFound, 2);
    EXPECT_EQ(scenario::Narrow(sheet->processKey), scenario::Narrow(Below(ProcessIdKeyName())));
    EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
    EXPECT_FALSE(scenario::KeyExists(Below(kFallbackKeyName)));
    EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid))));

    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    ExpectNoRequest(guid);

    const std::string ticket = ExportAgain();
    ExpectFeatures(Section(ticket, "Printing"),
                   {FeatureLine("Orientation", "Landscape"), FeatureLine("Duplex", "LongEdge"),
                    FeatureLine("PrintQuality", "High"), FeatureLine("MediaType", "Plain")});
}

TEST_F(TicketToDevmodeTest, ANestedTicketIsWalkedToItsLastLevel)
{
    ConvertTicket(scenario::PrinterName(), scenario::DataPath("tickets/nested.xml").c_str(), &devmode.pub,
                  scenario::TicketLibraryPath(), 0);
    EXPECT_EQ(devmode.priv.droppedFeatures, 0u);
    ExpectNoRequest(kNull);

    // Every level arrived, and of the two "Weight" features the one written
    // last: the first level's.
    const std::string ticket = ExportAgain();
    ExpectFeatures(Section(ticket, "Printing"),
                   {FeatureLine("Watermarks", "On"), FeatureLine("WMFont", "Arial"), FeatureLine("WMFontSize", "48"),
                    FeatureLine("WMColor", "Red"), FeatureLine("MediaType", "Heavy"), FeatureLine("Weight", "120")});
    EXPECT_EQ(Section(ticket, "Printing").find(FeatureLine("Weight", "80")), std::string::npos);
    ExpectFeatures(Section(ticket, "Physical"),
                   {FeatureLine("Finisher", "Installed"), FeatureLine("Stapler", "Present")});
}

TEST_F(TicketToDevmodeTest, AnEmptySectionLeavesItsDriverCallOut)
{
    const GUID guid = InitializeInstance();
    ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/empty_section.xml").c_str(), guid), ConvertAPISuccess);
    EXPECT_FALSE(scenario::KeyExists(Below(GuidKeyName(guid)) + TEXT("\\CalvexDriverData\\Printing")));
    EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid)) + TEXT("\\CalvexDriverData\\Physical")));

    // Only the printer's sheet has data: the DEVMODEW is not handed over.
    const StandinDevmode before = devmode;
    EXPECT_EQ(ConvertTicketEx(&devmode.pub, guid, FlagFromDriverData), ConvertAPISuccess);
    EXPECT_EQ(DocumentCall(), nullptr);
    EXPECT_EQ(std::memcmp(&before, &devmode, sizeof(before)), 0);

    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    ExpectNoRequest(guid);
}

TEST_F(TicketToDevmodeTest, RefusedArgumentsChangeNothing)
{
    const GUID guid = InitializeInstance();
    struct Case {
        const char *what;
        DWORD result;
        DWORD expected;
    } cases[] = {
        {"ReadTicket with GUID_NULL", ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), kNull),
         ConvertAPINullGuid},
        {"ConvertTicketEx with GUID_NULL", ConvertTicketEx(&devmode.pub, kNull, FlagDocumentProperties),
         ConvertAPINullGuid},
        {"ConvertTicketEx without DEVMODEW", ConvertTicketEx(nullptr, guid, FlagDocumentProperties),
         ConvertAPINoDevmode},
        {"ConvertTicketEx without either", ConvertTicketEx(nullptr, kNull, FlagDocumentProperties),
         ConvertAPINoDevmode},
    };
    for (const Case &c : cases) EXPECT_EQ(c.result, c.expected) << c.what;
    EXPECT_EQ(scenario::Driver().CallCount(), 0);
    EXPECT_TRUE(TagSlotFree(devmode));
    ExpectNoRequest(guid);
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
}

TEST_F(TicketToDevmodeTest, ATicketThatCannotBeReadGives17)
{
    const WString malformed = scenario::TempFilePath("malformed.xml");
    ASSERT_TRUE(WriteFile(malformed, "<Ticket version=\"1\"><Section name=\"Printing\">"));
    const WString missing = scenario::TempFilePath("missing.xml");
    RemoveFile(missing);

    // Before InitializeConvertAPI nothing is bound and nothing published.
    const GUID unbound = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), unbound), ConvertAPITicketNotRead);
    ExpectNoRequest(unbound);

    const GUID guid = InitializeInstance();
    struct Case {
        const char *what;
        const WCHAR *path;
    } cases[] = {
        {"malformed", malformed.c_str()},
        {"missing", missing.c_str()},
        {"empty path", TEXT("")},
        {"no path", nullptr},
    };
    for (const Case &c : cases) EXPECT_EQ(ReadTicket(0, c.path, guid), ConvertAPITicketNotRead) << c.what;

    // A null path does not fall back on the ticket read before it.
    ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);
    EXPECT_EQ(ReadTicket(0, nullptr, guid), ConvertAPITicketNotRead);

    EXPECT_EQ(scenario::Driver().CallCount(), 0);
    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    ExpectNoRequest(guid);
    RemoveFile(malformed);
}

TEST_F(TicketToDevmodeTest, ConvertTicketExWithoutAnInstanceFailsAndLeavesNoTag)
{
    const GUID unbound = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    for (int attempt = 0; attempt < 2; ++attempt) {
        // The tag is stamped, the driver cannot be called: 14, and the tag is
        // taken back, so a second attempt fails the same way rather than
        // finding no free block.
        EXPECT_EQ(ConvertTicketEx(&devmode.pub, unbound, FlagDocumentProperties), ConvertAPIDriverFailed);
        EXPECT_TRUE(TagSlotFree(devmode));
    }
    EXPECT_EQ(scenario::Driver().CallCount(), 0);
    ExpectNoRequest(unbound);
}

TEST_F(TicketToDevmodeTest, ConvertTicketWithoutAUsableTicketDoesNotCallTheDriver)
{
    const WString malformed = scenario::TempFilePath("unwalkable.xml");
    ASSERT_TRUE(WriteFile(malformed, "<Ticket version=\"1\"><Section name=\"Physical\"/></Ticket>"));
    struct Case {
        const char *what;
        const WCHAR *path;
    } cases[] = {
        {"empty path", TEXT("")},
        {"no Printing section", malformed.c_str()},
    };
    const StandinDevmode before = devmode;
    for (const Case &c : cases) {
        ConvertTicket(scenario::PrinterName(), c.path, &devmode.pub, scenario::TicketLibraryPath(), 0);
        EXPECT_EQ(scenario::Driver().CallCount(), 0) << c.what;
        ExpectNoRequest(kNull);
    }
    EXPECT_EQ(std::memcmp(&before, &devmode, sizeof(before)), 0);
    RemoveFile(malformed);
}

}  // namespace
