#include "convertapi/api/devmode_tagger.h"
#include "convertapi/common/constants.h"
#include "convertapi/engine/converter.h"
#include "convertapi/ticketlib/ticket_library.h"
#include "standins/driver/standin_devmode.h"
#include "standins/driver/standin_driver_api.h"
#include "tests/unit/handshake_test_support.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using namespace handshake_test;

const WCHAR kPrinter[] = TEXT("Invocation Printer");
const WCHAR kDriverless[] = TEXT("Driverless Printer");
const WCHAR kManager[] = TEXT("ticketlib.dll");
const WCHAR kTicket[] = TEXT("ticket.xml");

enum Seen { kDevice, kDocument };

template <typename Proc> Proc DriverProc(HMODULE module, const char *name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

class InvokeDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, STANDIN_DRIVER_MODULE, 0));
        ASSERT_TRUE(HostWinAddPrinter(kDriverless, nullptr, 0));
        driver = LoadLibraryW(Widen(STANDIN_DRIVER_MODULE).c_str());
        ASSERT_NE(driver, nullptr);
        callCount = DriverProc<StandinDriverCallCountProc>(driver, "StandinDriverCallCount");
        getCall = DriverProc<StandinDriverGetCallProc>(driver, "StandinDriverGetCall");
        setAnswer = DriverProc<StandinDriverSetAnswerProc>(driver, "StandinDriverSetAnswer");
        auto reset = DriverProc<StandinDriverResetProc>(driver, "StandinDriverReset");
        ASSERT_TRUE(callCount && getCall && setAnswer && reset);
        Bind(converter, kPrinter);
        // The driver's own default DEVMODEW, with its free tag block.
        ASSERT_EQ(DocumentPropertiesW(nullptr, converter.printer, converter.printerName, &devmode.pub, nullptr,
                                      DM_OUT_BUFFER),
                  IDOK);
        reset();
    }
    void TearDown() override
    {
        converter.Close();
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        EXPECT_EQ(HostWinOpenHandleCount("printer"), 0);
        if (driver != nullptr) FreeLibrary(driver);
        HostWinReset();
    }

    static void Bind(Converter &target, const WCHAR *printer)
    {
        ASSERT_TRUE(target.SetPrinterName(printer));
        ASSERT_TRUE(target.SetTicketManager(kManager));
        ASSERT_TRUE(target.SetTicketPath(kTicket));
        ASSERT_TRUE(Converter::OpenPrinterHandle(target.printerName, &target.printer, 1));
        // Present, as an open instance has it; nothing here calls into it.
        target.ticketLibrary = new (std::nothrow) TicketLibrary();
        ASSERT_NE(target.ticketLibrary, nullptr);
    }

    std::vector<Seen> Calls() const
    {
        std::vector<Seen> seen;
        for (LONG i = 0; i < callCount(); ++i) {
            const StandinDriverCall *call = getCall(i);
            if (call->kind == StandinCallDeviceProperties) {
                seen.push_back(kDevice);
            } else {
                seen.push_back(kDocument);
                EXPECT_EQ(call->mode, 14u) << "in buffer, prompt, out buffer";
            }
        }
        return seen;
    }

    // The registry as the driver saw it during call `index`.
    WString RegistryDuring(LONG index) const { return WString(getCall(index)->registry); }

    int Invoke(DWORD flags, int wrap = 0, const GUID &guid = kInstance)
    {
        return converter.InvokeDriver(&devmode.pub, flags, wrap, guid);
    }

    HMODULE driver = nullptr;
    StandinDriverCallCountProc callCount = nullptr;
    StandinDriverGetCallProc getCall = nullptr;
    StandinDriverSetAnswerProc setAnswer = nullptr;
    Converter converter;
    StandinDevmode devmode = {};
};

TEST_F(InvokeDriverTest, TheFlagBitsChooseTheCalls)
{
    struct Case {
        DWORD flags;
        std::vector<Seen> calls;
        int result;
    } cases[] = {
        {0, {}, 0},
        {1, {kDevice}, 1},
        {2, {kDocument}, 1},
        {3, {kDevice, kDocument}, 1},
        {8, {}, 0},  // bits without a meaning are ignored
        {0xFFFFFFF8 | 1, {kDevice}, 1},
        // Bit 2 hands the choice to the driver data, and there is none.
        {4, {}, 0},
        {5, {}, 0},
        {6, {}, 0},
        {7, {}, 0},
    };
    for (const Case &c : cases) {
        DriverProc<StandinDriverResetProc>(driver, "StandinDriverReset")();
        EXPECT_EQ(Invoke(c.flags), c.result) << c.flags;
        EXPECT_EQ(Calls(), c.calls) << c.flags;
    }
}

TEST_F(InvokeDriverTest, BitTwoFollowsTheDriverDataKeys)
{
    const WString base = ProcessKey(kInstance) + TEXT("\\CalvexDriverData");
    struct Case {
        const char *what;
        std::vector<const WCHAR *> keys;
        std::vector<Seen> calls;
    } cases[] = {
        {"physical", {TEXT("\\Physical")}, {kDevice}},
        {"printing", {TEXT("\\Printing")}, {kDocument}},
        {"opt items only", {TEXT("\\Printing\\OptItems")}, {kDocument}},
        {"devmode items only", {TEXT("\\Printing\\DevModeItems")}, {kDocument}},
        {"both", {TEXT("\\Physical"), TEXT("\\Printing\\OptItems")}, {kDevice, kDocument}},
        {"root only", {TEXT("")}, {}},
    };
    for (const Case &c : cases) {
        for (DWORD flags : {4u, 5u, 6u, 7u}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, TEXT("Software"));
            for (const WCHAR *key : c.keys) ASSERT_TRUE(CreateKey(base + key));
            DriverProc<StandinDriverResetProc>(driver, "StandinDriverReset")();
            EXPECT_EQ(Invoke(flags), c.calls.empty() ? 0 : 1) << c.what << " " << flags;
            EXPECT_EQ(Calls(), c.calls) << c.what << " " << flags;
        }
    }
}

TEST_F(InvokeDriverTest, TheProbesAskForTheGuidsKey)
{
    ASSERT_TRUE(CreateKey(ProcessKey(kNull) + TEXT("\\CalvexDriverData\\Physical")));
    EXPECT_EQ(Invoke(4, 0, kInstance), 0);
    EXPECT_EQ(Calls(), std::vector<Seen>{});
    EXPECT_EQ(Invoke(4, 0, kNull), 1);
    EXPECT_EQ(Calls(), std::vector<Seen>{kDevice});
}

TEST_F(InvokeDriverTest, OnlyTheDocumentCallDecidesWhenBothRun)
{
    struct Case {
        const char *fault;
        int result;
    } cases[] = {
        {"PrinterProperties", 1},    // a failed sheet, an accepted document
        {"DocumentPropertiesW", 0},  // an accepted sheet, a failed document
    };
    for (const Case &c : cases) {
        HostWinInjectFault(c.fault, 1);
        EXPECT_EQ(Invoke(3), c.result) << c.fault;
        HostWinClearFaults();
    }
    HostWinInjectFault("PrinterProperties", 1);
    EXPECT_EQ(Invoke(1), 0);
}

TEST_F(InvokeDriverTest, AnythingButOkFromTheDocumentCallIsAFailure)
{
    for (LONG answer : {StandinAnswerCancel, StandinAnswerError}) {
        setAnswer(answer);
        EXPECT_EQ(Invoke(2), 0) << answer;
    }
    setAnswer(StandinAnswerOk);
    EXPECT_EQ(Invoke(2), 1);
}

TEST_F(InvokeDriverTest, TheDocumentCallWorksOnTheCallersDevmodeInPlace)
{
    DevmodeTagger tagger;
    const DWORD size = devmode.pub.dmSize + devmode.pub.dmDriverExtra;
    ASSERT_EQ(tagger.StampDevmodeTag(reinterpret_cast<BYTE *>(&devmode), size, kInstance), 1);
    EXPECT_EQ(Invoke(2), 1);
    ASSERT_EQ(callCount(), 1);
    // The driver found the stamped block in what it was handed, and what it
    // handed back is still the caller's structure, tag included.
    EXPECT_TRUE(getCall(0)->tagFound);
    EXPECT_EQ(getCall(0)->tagSlot, kInstance);
    EXPECT_NE(tagger.FindDevmodeTag(reinterpret_cast<BYTE *>(&devmode), size, kInstance), nullptr);
}

TEST_F(InvokeDriverTest, TheSheetIsBracketedByARequestUnderTheProcessId)
{
    const WString pidKey = WString(TEXT("QXProcID")) + ProcessIdText() + TEXT("|ProcessingCalvex|TRUE\n");
    for (const char *fault : {static_cast<const char *>(nullptr), "PrinterProperties"}) {
        if (fault) HostWinInjectFault(fault, 1);
        DriverProc<StandinDriverResetProc>(driver, "StandinDriverReset")();
        Invoke(1, 1);
        HostWinClearFaults();
        if (!fault) {
            ASSERT_EQ(callCount(), 1);
            EXPECT_NE(RegistryDuring(0).find(pidKey), WString::npos) << Narrow(RegistryDuring(0));
        }
        // Withdrawn again, whether the sheet succeeded or not.
        EXPECT_FALSE(KeyExists(ProcessKey(kNull)));
        EXPECT_FALSE(KeyExists(kFallbackKey));
    }
}

TEST_F(InvokeDriverTest, NoBracketInExportModeWithoutWrapOrWithoutTheSheet)
{
    struct Case {
        const char *what;
        int exportMode;
        int wrap;
        DWORD flags;
    } cases[] = {
        {"export mode", 1, 1, 1},
        {"no wrap", 0, 0, 3},
        {"document only", 0, 1, 2},
    };
    for (const Case &c : cases) {
        converter.SetExportMode(c.exportMode);
        long writes = HostWinCallCount("RegSetValueExW");
        long deletes = HostWinCallCount("RegDeleteKeyW");
        DriverProc<StandinDriverResetProc>(driver, "StandinDriverReset")();
        Invoke(c.flags, c.wrap);
        EXPECT_EQ(HostWinCallCount("RegSetValueExW"), writes) << c.what;
        EXPECT_EQ(HostWinCallCount("RegDeleteKeyW"), deletes) << c.what;
        for (LONG i = 0; i < callCount(); ++i)
            EXPECT_EQ(RegistryDuring(i).find(TEXT("QXProcID")), WString::npos) << c.what;
    }
    converter.SetExportMode(0);
}

TEST_F(InvokeDriverTest, NothingIsCalledWithoutAPrinterOrATicketLibrary)
{
    const long documentCalls = HostWinCallCount("DocumentPropertiesW");
    const long sheetCalls = HostWinCallCount("PrinterProperties");
    HANDLE printer = converter.printer;
    converter.printer = nullptr;
    EXPECT_EQ(Invoke(3), 0);
    converter.printer = printer;

    TicketLibrary *library = converter.ticketLibrary;
    converter.ticketLibrary = nullptr;
    EXPECT_EQ(Invoke(3), 0);
    converter.ticketLibrary = library;

    EXPECT_EQ(callCount(), 0);
    EXPECT_EQ(HostWinCallCount("DocumentPropertiesW"), documentCalls);
    EXPECT_EQ(HostWinCallCount("PrinterProperties"), sheetCalls);
}

TEST_F(InvokeDriverTest, APrinterWithoutADriverFailsBothCalls)
{
    Converter driverless;
    Bind(driverless, kDriverless);
    EXPECT_EQ(driverless.InvokeDriver(&devmode.pub, 1, 0, kInstance), 0);
    EXPECT_EQ(driverless.InvokeDriver(&devmode.pub, 2, 0, kInstance), 0);
}

// ---- Probes ------------------------------------------------------------

class ProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(converter.SetPrinterName(kPrinter));
        ASSERT_TRUE(converter.SetTicketManager(kManager));
        ASSERT_TRUE(converter.SetTicketPath(kTicket));
    }
    void TearDown() override
    {
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        HostWinReset();
    }
    Converter converter;
};

TEST_F(ProbeTest, ProbesAnswerForTheirOwnKey)
{
    struct Case {
        const WCHAR *key;
        int physical;
        int printing;
    } cases[] = {
        {nullptr, 0, 0},
        {TEXT("\\CalvexDriverData"), 0, 0},
        {TEXT("\\CalvexDriverData\\Physical"), 1, 0},
        {TEXT("\\CalvexDriverData\\Printing"), 0, 1},
        {TEXT("\\CalvexDriverData\\Printing\\OptItems"), 0, 1},
        {TEXT("\\CalvexDriverData\\Printing\\DevModeItems"), 0, 1},
        {TEXT("\\CalvexDriverData\\PhysicalExtra"), 0, 0},
    };
    for (const Case &c : cases) {
        for (const GUID &guid : {kNull, kInstance}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, TEXT("Software"));
            if (c.key) ASSERT_TRUE(CreateKey(ProcessKey(guid) + c.key));
            EXPECT_EQ(converter.HasPhysicalData(guid), c.physical) << Narrow(c.key ? c.key : TEXT("none"));
            EXPECT_EQ(converter.HasPrintingData(guid), c.printing) << Narrow(c.key ? c.key : TEXT("none"));
            // The other GUID's key is a different key.
            const GUID &other = guid == kNull ? kInstance : kNull;
            EXPECT_EQ(converter.HasPhysicalData(other), 0);
            EXPECT_EQ(converter.HasPrintingData(other), 0);
        }
    }
}

TEST_F(ProbeTest, ProbesNeedTheRequestStrings)
{
    ASSERT_TRUE(CreateKey(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Physical")));
    ASSERT_TRUE(CreateKey(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Printing")));
    Converter bare;
    EXPECT_EQ(bare.HasPhysicalData(kInstance), 0);
    EXPECT_EQ(bare.HasPrintingData(kInstance), 0);

    EXPECT_EQ(converter.SetTicketPath(TEXT("")), 0);  // leaves no ticket path
    EXPECT_EQ(converter.HasPhysicalData(kInstance), 0);
    EXPECT_EQ(converter.HasPrintingData(kInstance), 0);
}

TEST_F(ProbeTest, AProbeWhoseKeyPathCannotBeBuiltAnswersNo)
{
    ASSERT_TRUE(CreateKey(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Physical")));
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(converter.HasPhysicalData(kInstance), 0);
    HostWinClearFaults();
    EXPECT_EQ(converter.HasPhysicalData(kInstance), 1);
}

TEST_F(ProbeTest, KeyExistsOnlyLooks)
{
    ASSERT_TRUE(CreateKey(TEXT("Software\\Varnholt\\Here")));
    EXPECT_EQ(Converter::KeyExists(TEXT("Software\\Varnholt\\Here")), 1);
    EXPECT_EQ(Converter::KeyExists(TEXT("Software\\Varnholt\\Missing")), 0);
    EXPECT_FALSE(KeyExists(TEXT("Software\\Varnholt\\Missing")));
    EXPECT_EQ(Converter::KeyExists(nullptr), 0);  // would be HKEY_CURRENT_USER itself
    HostWinInjectFault("RegOpenKeyExW", 1);
    EXPECT_EQ(Converter::KeyExists(TEXT("Software\\Varnholt\\Here")), 0);
}

}  // namespace
}  // namespace convertapi
