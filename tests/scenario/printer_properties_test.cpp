// ConvertTicketEx with the printer's property sheet: the request published for
// the sheet names the ticket but carries no driver data, so the printer driver
// reads the ticket's Physical section itself into the printer's device settings.
#include "tests/scenario/conversion_support.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace conversion;
using scenario::WString;

using DeviceMap = std::map<std::string, std::string>;

const DeviceMap kPhysical = {
    {"Finisher", "Installed"}, {"Stapler", "Present"}, {"Puncher", "TwoHole"}, {"Tray3", "Present"}};

// The driver's device settings: the printer data "StandinDeviceSettings",
// name and value pairs ended by an empty name.
DeviceMap DeviceSettings()
{
    DeviceMap settings;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, nullptr)) {
        ADD_FAILURE() << "printer does not open";
        return settings;
    }
    std::vector<WCHAR> area(8192);
    DWORD type = 0;
    DWORD size = 0;
    DWORD status = GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("StandinDeviceSettings")), &type,
                                   reinterpret_cast<BYTE *>(area.data()), static_cast<DWORD>(area.size() * sizeof(WCHAR)),
                                   &size);
    ClosePrinter(printer);
    if (status != ERROR_SUCCESS) return settings;
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    DWORD pos = 0;
    const WCHAR *name = nullptr;
    const WCHAR *value = nullptr;
    while (StandinDevmodeNextSetting(area.data(), size / sizeof(WCHAR), &pos, &name, &value))
        settings[scenario::Narrow(name)] = scenario::Narrow(value);
    return settings;
}

// The driver's one device call of the record, or null.
const StandinDriverCall *DeviceCall()
{
    const StandinDriverCall *found = nullptr;
    for (LONG i = 0; i < scenario::Driver().CallCount(); ++i) {
        const StandinDriverCall *call = scenario::Driver().Call(i);
        if (call->kind != StandinCallDeviceProperties) continue;
        if (found != nullptr) return nullptr;
        found = call;
    }
    return found;
}

class PrinterPropertiesTest : public scenario::ScenarioTest {};

TEST_F(PrinterPropertiesTest, TheSheetAppliesTheTicketsPhysicalSection)
{
    struct Case {
        const char *what;
        DWORD flags;
        bool document;  // the DEVMODEW gets the Printing section too
    };
    const Case cases[] = {
        {"sheet and document", FlagPrinterProperties | FlagDocumentProperties, true},
        {"sheet only", FlagPrinterProperties, false},
        {"from the driver data", FlagFromDriverData, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        scenario::ResetMachine();
        StandinDevmode devmode;
        ASSERT_TRUE(DefaultDevmode(&devmode));
        const StandinDevmode original = devmode;

        GUID guid = kNull;
        ASSERT_EQ(InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid),
                  ConvertAPISuccess);
        ASSERT_EQ(ReadTicket(0, scenario::DataPath("tickets/printer_sheet.xml").c_str(), guid), ConvertAPISuccess);
        scenario::Driver().Reset();

        ASSERT_EQ(ConvertTicketEx(&devmode.pub, guid, c.flags), ConvertAPISuccess);
        EXPECT_EQ(DeviceSettings(), kPhysical);

        // The sheet found the request through the process id and read the
        // ticket itself; the driver data stood under the instance's key.
        const StandinDriverCall *sheet = DeviceCall();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->requestFound, 2);
        EXPECT_EQ(WString(sheet->processKey), Below(ProcessIdKeyName()));
        EXPECT_EQ(sheet->readTicketItself, StandinTicketRead);
        EXPECT_EQ(sheet->droppedFeatures, 0);

        if (c.document) {
            EXPECT_EQ(devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
            EXPECT_EQ(PrivateSettings(devmode), (Settings{{TEXT("MediaType"), TEXT("Plain")}}));
            const StandinDriverCall *document = DocumentCall();
            ASSERT_NE(document, nullptr);
            EXPECT_EQ(document->requestFound, 1);
            EXPECT_EQ(document->readTicketItself, StandinTicketNotRead);
        } else {
            EXPECT_EQ(DocumentCall(), nullptr);
            EXPECT_EQ(std::memcmp(&devmode, &original, sizeof(devmode)), 0);
        }
        EXPECT_TRUE(TagSlotFree(devmode));
        // The sheet's request is gone again; the instance's stays until the end.
        EXPECT_FALSE(scenario::KeyExists(Below(ProcessIdKeyName())));
        EXPECT_TRUE(scenario::KeyExists(Below(GuidKeyName(guid))));

        EXPECT_EQ(KillConvertAPI(guid), ConvertAPISuccess);
        ExpectNoRequest(guid);
        EXPECT_EQ(DeviceSettings(), kPhysical);  // the device settings belong to the printer
    }
}

}  // namespace
