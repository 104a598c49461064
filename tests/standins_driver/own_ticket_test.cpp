// An import request without driver data that names its ticket (what the
// library publishes under the process id around PrinterProperties): the driver
// reads the ticket through the ticket library itself.
#include "tests/standins_driver/driver_fixture.h"

#include <fstream>

namespace driver_test {
namespace {

typedef LONG(WINAPI *TicketLibCallCountProc)(const char *entryPoint);

// Nested levels, a third sub-feature (its way back repeats the path), and
// features named like the sections, which only their bare names right after
// their values were read can reach.
const char kTicket[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Ticket version="1">
  <Section name="Printing">
    <Feature name="Orientation" value="Landscape"/>
    <Feature name="Watermarks" value="On">
      <Feature name="WMFont" value="Arial"/>
    </Feature>
    <Feature name="MediaType" value="Plain"/>
  </Section>
  <Section name="Physical">
    <Feature name="Finisher" value="Installed">
      <Feature name="Stapler" value="Present"/>
      <Feature name="Puncher" value="TwoHole">
        <Feature name="Holes" value="2"/>
      </Feature>
      <Feature name="Folder" value="None"/>
    </Feature>
    <Feature name="Physical" value="Self">
      <Feature name="Printing" value="Other"/>
    </Feature>
    <Feature name="Tray3" value="Present"/>
  </Section>
</Ticket>
)";

const FeatureMap kPhysical = {{"Finisher", "Installed"}, {"Stapler", "Present"}, {"Puncher", "TwoHole"},
                              {"Holes", "2"},            {"Folder", "None"},      {"Physical", "Self"},
                              {"Printing", "Other"},     {"Tray3", "Present"}};

class OwnTicketTest : public DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        // Loaded as the library keeps it loaded while it calls the driver.
        ticketLib_ = LoadLibraryW(Wide(STANDIN_TICKETLIB_MODULE).c_str());
        ASSERT_NE(ticketLib_, nullptr);
        ticketLibCalls_ = reinterpret_cast<TicketLibCallCountProc>(
            reinterpret_cast<void *>(GetProcAddress(ticketLib_, "StandinTicketLibCallCount")));
        ASSERT_NE(ticketLibCalls_, nullptr);
        ticket_ = WriteTicket("own.xml", kTicket);
    }
    void TearDown() override
    {
        if (ticketLib_) FreeLibrary(ticketLib_);
        DriverTest::TearDown();
    }

    std::string WriteTicket(const char *name, const std::string &content)
    {
        const std::string path = TempPath(name);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << content;
        EXPECT_TRUE(file.good());
        return path;
    }

    // The request of the property-sheet bracket: no driver data.
    void PublishTicketRequest(const std::string &manager, const std::string &ticket)
    {
        PublishByProcessId(false);
        SetString(PidKey(), u"DisableDPSExtension", u"1");
        if (!manager.empty()) SetString(PidKey(), u"TicketManager", Wide(manager));
        SetString(PidKey(), u"TicketType", u"0");
        SetString(PidKey(), u"PrinterName", kPrinter);
        if (!ticket.empty()) SetString(PidKey(), u"TicketPath", Wide(ticket));
    }

    void ClearRequestAndDevice()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Varnholt");
        DeletePrinterDataW(printer_, const_cast<WCHAR *>(u"StandinDeviceSettings"));
    }

    long OpenHandles(const char *kind) const { return HostWinOpenHandleCount(kind); }
    LONG TicketLibCalls(const char *entryPoint) const { return ticketLibCalls_(entryPoint); }

    // Every ticket the driver opened is closed again, and registered servers
    // unregistered.
    void ExpectTicketLibraryBalanced() const
    {
        EXPECT_EQ(TicketLibCalls("DllRegisterServer"), TicketLibCalls("DllUnregisterServer"));
        EXPECT_LE(TicketLibCalls("ZELEndConfig"), TicketLibCalls("ZELStartConfig"));
    }

    std::string ticket_;

private:
    HMODULE ticketLib_ = nullptr;
    TicketLibCallCountProc ticketLibCalls_ = nullptr;
};

TEST_F(OwnTicketTest, PrinterPropertiesAppliesThePhysicalSectionItself)
{
    // What an earlier import left stays unless the ticket names it again.
    PublishByProcessId(false);
    SetDriverData(Wide(std::to_string(GetCurrentProcessId())), u"CalvexDriverData\\Physical",
                  {{"Duplex", "Installed"}, {"tray3", "Absent"}});
    ASSERT_TRUE(CallDevice());
    RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Varnholt");

    PublishTicketRequest(STANDIN_TICKETLIB_MODULE, ticket_);
    const long modules = OpenHandles("module");
    const long keys = OpenHandles("registry");
    ASSERT_TRUE(CallDevice());

    FeatureMap expected = kPhysical;  // Tray3 replaces tray3
    expected["Duplex"] = "Installed";
    EXPECT_EQ(DeviceSettings(), expected);
    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->kind, StandinCallDeviceProperties);
    EXPECT_EQ(call->requestFound, 2);
    EXPECT_EQ(call->readTicketItself, StandinTicketRead);
    EXPECT_EQ(call->droppedFeatures, 0);
    EXPECT_EQ(call->result, 1);
    EXPECT_EQ(OpenHandles("module"), modules);
    EXPECT_EQ(OpenHandles("registry"), keys);
    EXPECT_EQ(TicketLibCalls("ZELEndConfig"), 1);
    ExpectTicketLibraryBalanced();
}

TEST_F(OwnTicketTest, ADocumentCallAppliesThePrintingSection)
{
    PublishTicketRequest(STANDIN_TICKETLIB_MODULE, ticket_);
    std::vector<BYTE> devmode = DefaultDevmode();
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(Public(devmode)->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(PrivateSettings(devmode), (FeatureMap{{"Watermarks", "On"}, {"WMFont", "Arial"}, {"MediaType", "Plain"}}));
    EXPECT_EQ(LastCall()->readTicketItself, StandinTicketRead);
    EXPECT_TRUE(DeviceSettings().empty());
    ExpectTicketLibraryBalanced();
}

TEST_F(OwnTicketTest, DriverDataOrAnIncompleteRequestKeepTheTicketUnread)
{
    struct Case {
        const char *what;
        bool exportMode;
        const char *manager;  // "" leaves TicketManager out
        bool ticket;
        const WCHAR *driverDataKey;  // null: none
        FeatureMap device;           // the device settings afterwards
    };
    const Case cases[] = {
        {"Physical driver data", false, STANDIN_TICKETLIB_MODULE, true, u"CalvexDriverData\\Physical", {{"Own", "Data"}}},
        // The library's probe looks at this key: a ticket transferred without a
        // Physical section has no Physical features.
        {"Printing driver data only", false, STANDIN_TICKETLIB_MODULE, true, u"CalvexDriverData\\Printing\\OptItems",
         {}},
        {"export request", true, STANDIN_TICKETLIB_MODULE, true, nullptr, {}},
        {"no TicketManager", false, "", true, nullptr, {}},
        {"no TicketPath", false, STANDIN_TICKETLIB_MODULE, false, nullptr, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClearRequestAndDevice();
        PublishTicketRequest(c.manager, c.ticket ? ticket_ : std::string());
        if (c.exportMode) SetString(PidKey(), u"ProcessingConvertDevmode", u"TRUE");
        if (c.driverDataKey) SetString(PidKey() + u"\\" + c.driverDataKey, u"Own", u"Data");
        const LONG starts = TicketLibCalls("ZELStartConfig");
        ASSERT_TRUE(CallDevice());
        EXPECT_EQ(LastCall()->readTicketItself, StandinTicketNotRead);
        EXPECT_EQ(TicketLibCalls("ZELStartConfig"), starts);
        EXPECT_EQ(DeviceSettings(), c.device);
    }
}

TEST_F(OwnTicketTest, ATicketThatCannotBeReadAppliesNothing)
{
    const std::string noPhysical = WriteTicket(
        "no-physical.xml", "<Ticket version=\"1\"><Section name=\"Printing\">"
                           "<Feature name=\"MediaType\" value=\"Plain\"/></Section></Ticket>");
    const std::string malformed = WriteTicket("malformed.xml", "<Ticket version=\"1\"><Section name=\"Physical\">");
    struct Case {
        const char *what;
        std::string manager;
        std::string ticket;
    };
    const Case cases[] = {
        {"no such library", TempPath("missing.so"), ticket_},
        {"not a module", ticket_, ticket_},
        {"a module without the entry points", STANDIN_DRIVER_MODULE, ticket_},
        {"no such ticket", STANDIN_TICKETLIB_MODULE, TempPath("missing.xml")},
        {"malformed ticket", STANDIN_TICKETLIB_MODULE, malformed},
        {"no Physical section", STANDIN_TICKETLIB_MODULE, noPhysical},
    };
    PublishByProcessId(false);
    SetDriverData(Wide(std::to_string(GetCurrentProcessId())), u"CalvexDriverData\\Physical", {{"Tray3", "Yes"}});
    ASSERT_TRUE(CallDevice());
    const FeatureMap before = DeviceSettings();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Varnholt");
        PublishTicketRequest(c.manager, c.ticket);
        const long modules = OpenHandles("module");
        const long keys = OpenHandles("registry");

        // The sheet still answers OK, as for a request without driver data.
        EXPECT_TRUE(CallDevice());
        EXPECT_EQ(LastCall()->readTicketItself, StandinTicketReadFailed);
        EXPECT_EQ(LastCall()->droppedFeatures, 0);
        EXPECT_EQ(DeviceSettings(), before);

        // So does the document call, on a DEVMODEW it leaves as it was.
        std::vector<BYTE> devmode = DefaultDevmode();
        const std::vector<BYTE> original = devmode;
        EXPECT_EQ(CallDocument(&devmode), IDOK);
        if (c.ticket == noPhysical) {
            EXPECT_EQ(LastCall()->readTicketItself, StandinTicketRead);  // its Printing section is there
        } else {
            EXPECT_EQ(LastCall()->readTicketItself, StandinTicketReadFailed);
            EXPECT_EQ(devmode, original);
        }
        EXPECT_EQ(OpenHandles("module"), modules);
        EXPECT_EQ(OpenHandles("registry"), keys);
        ExpectTicketLibraryBalanced();
    }
}

TEST_F(OwnTicketTest, ValuesTooLongAreDroppedAndTheirFeaturesStillEntered)
{
    // 2047 characters are kept, as from the driver data; 2048 are not, and
    // neither is a value far beyond the first buffer the driver reads into.
    const std::string kept(2047, 'k');
    const std::string tooLong(2048, 'x');
    const std::string huge(70000, 'h');
    const std::string ticket = WriteTicket(
        "long.xml", "<Ticket version=\"1\"><Section name=\"Physical\">"
                    "<Feature name=\"Kept\" value=\"" + kept + "\"/>"
                    "<Feature name=\"Physical\" value=\"" + tooLong + "\">"
                    "<Feature name=\"Inner\" value=\"1\"/></Feature>"
                    "<Feature name=\"Huge\" value=\"" + huge + "\"><Feature name=\"Deeper\" value=\"2\"/></Feature>"
                    "<Feature name=\"Last\" value=\"3\"/>"
                    "</Section></Ticket>");
    PublishTicketRequest(STANDIN_TICKETLIB_MODULE, ticket);
    ASSERT_TRUE(CallDevice());
    EXPECT_EQ(DeviceSettings(), (FeatureMap{{"Kept", kept}, {"Inner", "1"}, {"Deeper", "2"}, {"Last", "3"}}));
    EXPECT_EQ(LastCall()->readTicketItself, StandinTicketRead);
    EXPECT_EQ(LastCall()->droppedFeatures, 2);
}

TEST_F(OwnTicketTest, TheSameNameTwiceKeepsTheValueReadLast)
{
    const std::string ticket = WriteTicket(
        "twice.xml", "<Ticket version=\"1\"><Section name=\"Physical\">"
                     "<Feature name=\"Tray\" value=\"Outer\"><Feature name=\"tray\" value=\"Inner\"/></Feature>"
                     "<Feature name=\"Bin\" value=\"First\"/>"
                     "</Section></Ticket>");
    PublishTicketRequest(STANDIN_TICKETLIB_MODULE, ticket);
    ASSERT_TRUE(CallDevice());
    EXPECT_EQ(DeviceSettings(), (FeatureMap{{"tray", "Inner"}, {"Bin", "First"}}));
}

TEST_F(OwnTicketTest, AFailedAllocationAppliesAllOrNothing)
{
    const long modules = OpenHandles("module");
    const long keys = OpenHandles("registry");
    bool completed = false;
    for (long nth = 1; nth < 2000 && !completed; ++nth) {
        SCOPED_TRACE(nth);
        ClearRequestAndDevice();
        PublishTicketRequest(STANDIN_TICKETLIB_MODULE, ticket_);
        const long before = HostWinCallCount("alloc");
        HostWinInjectFault("alloc", nth);
        const BOOL answered = CallDevice();
        HostWinInjectFault("alloc", 0);
        completed = HostWinCallCount("alloc") - before < nth;
        const FeatureMap settings = DeviceSettings();
        EXPECT_TRUE(settings.empty() || settings == kPhysical);
        if (completed) {
            EXPECT_TRUE(answered);
            EXPECT_EQ(settings, kPhysical);
        }
        EXPECT_EQ(OpenHandles("module"), modules);
        EXPECT_EQ(OpenHandles("registry"), keys);
        ExpectTicketLibraryBalanced();
    }
    EXPECT_TRUE(completed);
}

}  // namespace
}  // namespace driver_test
