// DocumentPropertiesW and PrinterProperties reach the printer's driver the
// way Wine's spooler does; see hostwin/src/driver_host.cpp for the rules.
#include "fixture.h"
#include "test_driver.h"

#include <dlfcn.h>

namespace {

const WCHAR kPrinter[] = TEXT("Driver Printer");
const WCHAR kNoDriver[] = TEXT("Driverless Printer");
const WCHAR kNoEntries[] = TEXT("Entryless Printer");

class DriverHostTest : public HostWinTest {
protected:
    void SetUp() override
    {
        HostWinTest::SetUp();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, HOSTWIN_TEST_DRIVER, 0));
        ASSERT_TRUE(HostWinAddPrinter(kNoDriver, nullptr, 0));
        ASSERT_TRUE(HostWinAddPrinter(kNoEntries, HOSTWIN_TEST_MODULE, 0));
        std::u16string path(HOSTWIN_TEST_DRIVER, HOSTWIN_TEST_DRIVER + std::char_traits<char>::length(HOSTWIN_TEST_DRIVER));
        driver_ = LoadLibraryW(path.c_str());
        ASSERT_NE(nullptr, driver_);
        setPlan_ = ProcAddress<TestDriverSetPlanProc>(driver_, "TestDriverSetPlan");
        seen_ = ProcAddress<TestDriverSeenProc>(driver_, "TestDriverSeenCalls");
        ASSERT_TRUE(setPlan_ && seen_);
        printer_ = OpenByName(kPrinter);
        ASSERT_NE(nullptr, printer_);
    }
    void TearDown() override
    {
        ClosePrinter(printer_);
        FreeLibrary(driver_);
        HostWinTest::TearDown();
    }
    static HANDLE OpenByName(const WCHAR *name)
    {
        std::u16string writable(name);
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        OpenPrinterW(&writable[0], &printer, &defaults);
        return printer;
    }
    void Plan(LONG answer, int pages, int nullPages, LONG setResult)
    {
        TestDriverPlan plan = {answer, pages, nullPages, setResult};
        setPlan_(&plan);
    }
    LONG Document(HANDLE printer, DEVMODEW *dm, DWORD mode)
    {
        return DocumentPropertiesW(nullptr, printer, name_, dm, dm, mode);
    }

    HMODULE driver_ = nullptr;
    TestDriverSetPlanProc setPlan_ = nullptr;
    TestDriverSeenProc seen_ = nullptr;
    HANDLE printer_ = nullptr;
    WCHAR name_[32] = TEXT("Driver Printer");
};

TEST_F(DriverHostTest, WithoutPromptTheDriverGetsTheHeaderAndItsAnswerComesBack)
{
    Plan(236, 0, 0, -1);
    DEVMODEW in = {}, out = {};
    out.dmSize = sizeof(DEVMODEW);
    out.dmDriverExtra = 16;
    EXPECT_EQ(236, DocumentPropertiesW(nullptr, printer_, name_, &out, &in, DM_IN_BUFFER | DM_OUT_BUFFER));
    const TestDriverSeen *seen = seen_();
    EXPECT_EQ(1, seen->documentCalls);
    EXPECT_TRUE(seen->infoNull);
    EXPECT_EQ(sizeof(DOCUMENTPROPERTYHEADER), seen->document.cbSize);
    EXPECT_EQ(0, seen->document.Reserved);
    EXPECT_EQ(printer_, seen->document.hPrinter);
    EXPECT_EQ(u"Driver Printer", std::u16string(seen->printerName));
    EXPECT_EQ(&in, seen->document.pdmIn);
    EXPECT_EQ(&out, seen->document.pdmOut);
    EXPECT_EQ(sizeof(DEVMODEW) + 16, seen->document.cbOut); // what the output DEVMODEW claims, as Wine passes it
    EXPECT_EQ(static_cast<DWORD>(DM_IN_BUFFER | DM_OUT_BUFFER), seen->document.fMode);

    EXPECT_EQ(236, DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, 0)); // size query
    EXPECT_EQ(0u, seen_()->document.cbOut);
}

TEST_F(DriverHostTest, PromptResults)
{
    struct Case {
        LONG answer;
        int pages, nullPages;
        LONG setResult;
        LONG expected;
    } cases[] = {
        {0, 1, 0, CPSUI_OK, -1},                         // the driver failed INIT
        {-3, 0, 0, -1, -1},
        {1, 0, 0, CPSUI_OK, ERR_CPSUI_NO_PROPSHEETPAGE}, // success, but no page
        {1, 0, 2, CPSUI_OK, ERR_CPSUI_NO_PROPSHEETPAGE}, // a null page is no page
        {1, 1, 0, CPSUI_OK, IDOK},
        {1, 2, 0, CPSUI_OK, IDOK},
        {1, 1, 0, CPSUI_CANCEL, IDCANCEL},               // hostwin's way to a cancel
        {1, 1, 0, -1, IDCANCEL},                         // Result starts as CPSUI_CANCEL
    };
    for (const Case &c : cases) {
        Plan(c.answer, c.pages, c.nullPages, c.setResult);
        DEVMODEW dm = {};
        EXPECT_EQ(c.expected, Document(printer_, &dm, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER))
            << c.answer << " " << c.pages << " " << c.nullPages << " " << c.setResult;
        EXPECT_EQ(1, seen_()->documentCalls) << "INIT only, once";
    }
}

TEST_F(DriverHostTest, PromptPassesThePropertySheetInfo)
{
    Plan(1, 2, 0, CPSUI_OK);
    DEVMODEW dm = {};
    ASSERT_EQ(IDOK, Document(printer_, &dm, 14));
    const TestDriverSeen *seen = seen_();
    EXPECT_FALSE(seen->infoNull);
    EXPECT_EQ(0, seen->lParam);
    EXPECT_EQ(sizeof(PROPSHEETUI_INFO), seen->info.cbSize);
    EXPECT_EQ(0x100, seen->info.Version);
    EXPECT_EQ(0, seen->info.Flags);
    EXPECT_EQ(PROPSHEETUI_REASON_INIT, seen->info.Reason);
    EXPECT_NE(nullptr, seen->info.hComPropSheet);
    EXPECT_NE(nullptr, seen->info.pfnComPropSheet);
    EXPECT_EQ(0u, seen->info.UserData);
    EXPECT_EQ(0u, seen->info.Result);
    EXPECT_GT(seen->pageHandles[0], 0);
    EXPECT_GT(seen->pageHandles[1], 0);
    EXPECT_NE(seen->pageHandles[0], seen->pageHandles[1]);
    EXPECT_EQ(&dm, seen->document.pdmIn);
    EXPECT_EQ(&dm, seen->document.pdmOut);
    EXPECT_EQ(14u, seen->document.fMode);
    // The callback only answers for the sheet that is running.
    EXPECT_EQ(0, seen->info.pfnComPropSheet(seen->info.hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, 1, 0));
}

TEST_F(DriverHostTest, ByNameWithoutHandleAndWithBadHandles)
{
    Plan(7, 0, 0, -1);
    EXPECT_EQ(7, DocumentPropertiesW(nullptr, nullptr, name_, nullptr, nullptr, 0));
    EXPECT_EQ(nullptr, seen_()->document.hPrinter);

    HANDLE closed = OpenByName(kPrinter);
    ClosePrinter(closed);
    for (HANDLE bad : {closed, reinterpret_cast<HANDLE>(0x4321)}) {
        SetLastError(0);
        EXPECT_EQ(-1, DocumentPropertiesW(nullptr, bad, name_, nullptr, nullptr, 0));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
        SetLastError(0);
        EXPECT_FALSE(PrinterProperties(nullptr, bad));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
    EXPECT_FALSE(PrinterProperties(nullptr, nullptr));
    EXPECT_EQ(1, seen_()->documentCalls); // only the call by name reached the driver
    EXPECT_EQ(0, seen_()->deviceCalls);
}

TEST_F(DriverHostTest, PrintersWithoutUsableDriver)
{
    struct Case {
        const WCHAR *printer;
        DWORD error;
    } cases[] = {
        {kNoDriver, ERROR_MOD_NOT_FOUND},
        {kNoEntries, ERROR_PROC_NOT_FOUND},
    };
    for (const Case &c : cases) {
        HANDLE printer = OpenByName(c.printer);
        ASSERT_NE(nullptr, printer);
        std::u16string name(c.printer);
        SetLastError(0);
        EXPECT_EQ(-1, DocumentPropertiesW(nullptr, printer, &name[0], nullptr, nullptr, 0));
        EXPECT_EQ(c.error, GetLastError());
        SetLastError(0);
        EXPECT_FALSE(PrinterProperties(nullptr, printer));
        EXPECT_EQ(c.error, GetLastError());
        ClosePrinter(printer);
    }
}

TEST_F(DriverHostTest, PrinterPropertiesCallsTheDeviceSheet)
{
    struct Case {
        LONG answer;
        BOOL expected;
    } cases[] = {{1, TRUE}, {5, TRUE}, {0, FALSE}, {-1, FALSE}};
    for (const Case &c : cases) {
        Plan(c.answer, 0, 0, -1);
        EXPECT_EQ(c.expected, PrinterProperties(nullptr, printer_)) << c.answer;
        const TestDriverSeen *seen = seen_();
        EXPECT_EQ(1, seen->deviceCalls);
        EXPECT_EQ(0, seen->documentCalls);
        EXPECT_FALSE(seen->infoNull);
        EXPECT_EQ(PROPSHEETUI_REASON_INIT, seen->info.Reason);
        EXPECT_EQ(sizeof(DEVICEPROPERTYHEADER), seen->device.cbSize);
        EXPECT_EQ(0, seen->device.Flags);
        EXPECT_EQ(printer_, seen->device.hPrinter);
        EXPECT_EQ(u"Driver Printer", std::u16string(seen->printerName));
    }
}

// The spooler keeps the driver loaded per printer until the printer goes;
// those loads are not the caller's module handles.
TEST_F(DriverHostTest, DriverStaysLoadedUntilThePrinterIsRemoved)
{
    FreeLibrary(driver_);
    driver_ = nullptr;
    ASSERT_EQ(nullptr, dlopen(HOSTWIN_TEST_DRIVER, RTLD_NOW | RTLD_NOLOAD));
    long modules = HostWinOpenHandleCount("module");
    EXPECT_NE(-1, DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, 0));
    EXPECT_EQ(modules, HostWinOpenHandleCount("module"));
    void *loaded = dlopen(HOSTWIN_TEST_DRIVER, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(nullptr, loaded);
    dlclose(loaded);
    ASSERT_TRUE(HostWinRemovePrinter(kPrinter));
    EXPECT_EQ(nullptr, dlopen(HOSTWIN_TEST_DRIVER, RTLD_NOW | RTLD_NOLOAD));
}

} // namespace
