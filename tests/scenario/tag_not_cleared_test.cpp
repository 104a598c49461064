// A driver that hands the DEVMODEW back without the caller's tag (it rebuilds
// its private part from scratch): ConvertTicketEx and ConvertDevModeEx report
// ConvertAPITagNotCleared, and what they leave behind is still the instance's
// to end.
#include "tests/scenario/conversion_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace conversion;
using scenario::WString;

class TagNotClearedTest : public scenario::ScenarioTest {
protected:
    void SetUp() override
    {
        ScenarioTest::SetUp();
        ASSERT_TRUE(DefaultDevmode(&fresh));
        SetPrivateSettings(&fresh, {{TEXT("Stapling"), TEXT("TopLeft")}});
        ticket = scenario::TempFilePath("tag-not-cleared.xml");
        RemoveFile(ticket);
        scenario::Driver().Reset();  // forget the call that built the default
    }
    void TearDown() override
    {
        RemoveFile(ticket);
        ScenarioTest::TearDown();
    }

    // The driver took the call for the instance's: the tag was there when it
    // came in.
    static void ExpectTaggedCall(const GUID &guid, bool exporting)
    {
        const StandinDriverCall *call = DocumentCall();
        ASSERT_NE(call, nullptr);
        EXPECT_TRUE(call->tagFound);
        EXPECT_TRUE(SameGuid(call->tagSlot, guid));
        EXPECT_EQ(call->requestFound, 1);
        EXPECT_EQ(scenario::Narrow(call->processKey), scenario::Narrow(Below(GuidKeyName(guid))));
        EXPECT_EQ(call->exportMode != 0, exporting);
    }

    // The export's printer data, as a publish in export mode leaves them.
    // The failed export's own withdraw has already removed them; put back,
    // they show which variant the following withdraw runs in.
    void PutExportPrinterData() const
    {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, &defaults));
        BYTE always[4] = {1, 0, 0, 0};
        const std::string location = scenario::Narrow(ticket);
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("AlwaysExport")), REG_DWORD, always,
                                  sizeof(always)),
                  static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("ExportTicketLocation")), REG_BINARY,
                                  reinterpret_cast<BYTE *>(const_cast<char *>(location.data())),
                                  static_cast<DWORD>(location.size())),
                  static_cast<DWORD>(ERROR_SUCCESS));
        ClosePrinter(printer);
    }

    StandinDevmode fresh;
    WString ticket;
};

TEST_F(TagNotClearedTest, ConvertTicketExReports13AfterTheDriversWorkAndTheInstanceGoesOn)
{
    const GUID guid = InitializeInstance();
    ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/flat.xml").c_str(), guid), ConvertAPISuccess);

    for (DWORD flags : {FlagDocumentProperties, FlagPrinterProperties | FlagDocumentProperties, FlagFromDriverData}) {
        SCOPED_TRACE(flags);
        StandinDevmode devmode = fresh;
        scenario::Driver().Reset();
        scenario::Driver().SetAnswer(StandinAnswerOkDropTag);
        EXPECT_EQ(ConvertTicketEx(&devmode.pub, guid, flags), ConvertAPITagNotCleared);
        ExpectTaggedCall(guid, false);

        // The ticket was applied all the same; only the tag is gone.
        EXPECT_EQ(devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
        EXPECT_EQ(devmode.pub.dmDuplex, DMDUP_VERTICAL);
        EXPECT_EQ(PrivateSettings(devmode),
                  (Settings{{TEXT("Stapling"), TEXT("TopLeft")}, {TEXT("MediaType"), TEXT("Plain")}}));
        EXPECT_TRUE(TagSlotFree(devmode));

        // The instance's request stands for the next call; the printer
        // sheet's publication under the process id lasted that call only.
        EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid)) + TEXT("\\CalvexDriverData\\Printing")));
        EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
    }

    // A driver that keeps the tag again: the same instance converts.
    scenario::Driver().SetAnswer(StandinAnswerOk);
    StandinDevmode devmode = fresh;
    EXPECT_EQ(ConvertTicketEx(&devmode.pub, guid, FlagDocumentProperties), ConvertAPISuccess);
    EXPECT_EQ(devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_TRUE(TagSlotFree(devmode));

    EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
    ExpectNoRequest(guid);
}

TEST_F(TagNotClearedTest, ConvertDevModeExReports13WithBothRequestsWithdrawnAndTheExportModeLeft)
{
    struct Case {
        const char *what;
        LONG answer;
        DWORD result;
        bool stillExporting;  // KillConvertAPI withdraws in the export variant
    } cases[] = {
        {"driver keeps the tag", StandinAnswerOk, ConvertAPISuccess, false},
        {"driver drops the tag", StandinAnswerOkDropTag, ConvertAPITagNotCleared, false},
    };
    for (const Case &c : cases) {
        for (DWORD flags : {FlagDocumentProperties, FlagPrinterProperties | FlagDocumentProperties}) {
            SCOPED_TRACE(std::string(c.what) + ", flags " + std::to_string(flags));
            RemoveFile(ticket);
            StandinDevmode devmode = fresh;
            const GUID guid = InitializeInstance();
            scenario::Driver().Reset();
            scenario::Driver().SetAnswer(c.answer);
            EXPECT_EQ(ConvertDevModeEx(ticket.c_str(), &devmode.pub, guid, flags), c.result);
            ExpectTaggedCall(guid, true);

            // The ticket was written either way, and the caller's DEVMODEW
            // carries no tag.
            std::string text;
            ASSERT_TRUE(ReadFile(ticket, &text)) << "no ticket file";
            EXPECT_NE(Section(text, "Printing").find(FeatureLine("Stapling", "TopLeft")), std::string::npos) << text;
            EXPECT_TRUE(TagSlotFree(devmode));

            // Both keys were withdrawn before the tag was looked for: nothing
            // stays under the process id (the key every conversion of the
            // process shares), under the GUID, or in the printer data.
            EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
            ExpectNoRequest(guid);

            PutExportPrinterData();
            EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
            EXPECT_NE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("AlwaysExport")), c.stillExporting);
            EXPECT_NE(scenario::PrinterDataExists(scenario::PrinterName(), TEXT("ExportTicketLocation")),
                      c.stillExporting);
            EXPECT_FALSE(scenario::KeyExists(Below(GuidKeyName(guid))));
            EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
            EXPECT_FALSE(scenario::KeyExists(Below(kFallbackKeyName)));
            scenario::ResetMachine();
        }
    }
}

}  // namespace
