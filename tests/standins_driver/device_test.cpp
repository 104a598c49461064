// The device call: PrinterProperties applies the Physical driver data to the
// printer's device settings, which an export writes into the ticket.
#include "tests/standins_driver/driver_fixture.h"

namespace driver_test {
namespace {

WString Pid() { return Wide(std::to_string(GetCurrentProcessId())); }

void ClearRequests() { RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Varnholt"); }

TEST_F(DriverTest, PhysicalDataMergeIntoTheDeviceSettings)
{
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Physical", {{"Duplex", "Installed"}, {"Tray3", "Yes"}});
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems", {{"MediaType", "Plain"}});
    ASSERT_TRUE(CallDevice());
    EXPECT_EQ(DeviceSettings(), (FeatureMap{{"Duplex", "Installed"}, {"Tray3", "Yes"}}));
    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->kind, StandinCallDeviceProperties);
    EXPECT_EQ(call->mode, 0u);
    EXPECT_EQ(call->requestFound, 2);
    EXPECT_EQ(call->result, 1);

    // A later import replaces what it names and keeps the rest.
    ClearRequests();
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Physical", {{"tray3", "No"}, {"Finisher", "Stapler"}});
    ASSERT_TRUE(CallDevice());
    EXPECT_EQ(DeviceSettings(), (FeatureMap{{"Duplex", "Installed"}, {"tray3", "No"}, {"Finisher", "Stapler"}}));

    // The document call leaves them alone, and an export writes them.
    ClearRequests();
    PublishByProcessId(true);
    const std::string ticket = TempPath("physical.xml");
    SetExportLocation(ticket);
    std::vector<BYTE> devmode = DefaultDevmode();
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(ReadTicket(ticket)["Physical"], DeviceSettings());
    EXPECT_EQ(DeviceSettings().size(), 3u);
}

TEST_F(DriverTest, DeviceCallWithoutImportChangesNothing)
{
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Physical", {{"Tray3", "Yes"}});
    ASSERT_TRUE(CallDevice());
    const FeatureMap settings = DeviceSettings();

    struct Case {
        const char *what;
        bool exportMode;
        bool publish;
        LONG answer;
        BOOL expected;
    };
    const Case cases[] = {
        {"export request", true, true, StandinAnswerOk, TRUE},
        {"no request", false, false, StandinAnswerOk, TRUE},
        {"cancel", false, true, StandinAnswerCancel, TRUE},  // hostwin reports only the driver's > 0
        {"error", false, true, StandinAnswerError, FALSE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearRequests();
        if (c.publish) PublishByProcessId(c.exportMode);
        SetDriverData(Pid(), u"CalvexDriverData\\Physical", {{"Tray3", "No"}});
        SetAnswer(c.answer);
        EXPECT_EQ(CallDevice(), c.expected);
        SetAnswer(StandinAnswerOk);
        EXPECT_EQ(DeviceSettings(), settings);
    }
}

}  // namespace
}  // namespace driver_test
