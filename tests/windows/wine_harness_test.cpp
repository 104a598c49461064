// The Wine side of the scenario environment: the prefix's printers, the
// stand-in driver as the spooler loads it, and the harness's stand-ins for
// what Wine 8.0's spooler lacks (DeletePrinterDataW, PrinterProperties).
#include "tests/support/running_under_wine.h"
#include "tests/support/scenario_environment.h"
#include "tests/support/wine_import_patch.h"

#include "convertapi.h"

namespace scenario {
namespace {

class PrinterHandle {
public:
    PrinterHandle(const WCHAR *name, DWORD access)
    {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        if (!OpenPrinterW(const_cast<WCHAR *>(name), &handle_, &defaults)) handle_ = nullptr;
    }
    ~PrinterHandle()
    {
        if (handle_) ClosePrinter(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

DWORD SetDwordData(HANDLE printer, const WCHAR *name, DWORD value)
{
    return SetPrinterDataW(printer, const_cast<WCHAR *>(name), REG_DWORD, reinterpret_cast<BYTE *>(&value),
                           sizeof(value));
}

class WineHarnessTest : public ScenarioTest {
protected:
    void SetUp() override
    {
        if (!RunningUnderWine()) GTEST_SKIP() << "checks the Wine harness";
        ScenarioTest::SetUp();
    }
};

TEST_F(WineHarnessTest, LibraryAndProgramCallTheHarnessForTheMissingSpoolerFunctions)
{
    struct Case {
        HMODULE module;
        const char *function;
        void *harness;
    } cases[] = {
        {GetModuleHandleW(TEXT("convertapi.dll")), "DeletePrinterDataW", reinterpret_cast<void *>(HarnessDeletePrinterDataW)},
        {GetModuleHandleW(TEXT("convertapi.dll")), "PrinterProperties", reinterpret_cast<void *>(HarnessPrinterProperties)},
        {GetModuleHandleW(nullptr), "DeletePrinterDataW", reinterpret_cast<void *>(HarnessDeletePrinterDataW)},
    };
    for (const Case &c : cases) {
        ASSERT_NE(c.module, nullptr);
        void **slot = FindImportSlot(c.module, "winspool.drv", c.function);
        ASSERT_NE(slot, nullptr) << c.function;
        EXPECT_EQ(*slot, c.harness) << c.function;
    }
}

TEST_F(WineHarnessTest, DeletePrinterDataRemovesWhatSetPrinterDataStored)
{
    PrinterHandle printer(PrinterName(), PRINTER_ALL_ACCESS);
    ASSERT_NE(printer.get(), nullptr);
    ASSERT_EQ(SetDwordData(printer.get(), TEXT("AlwaysExport"), 1), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(PrinterDataExists(PrinterName(), TEXT("AlwaysExport")));

    EXPECT_EQ(DeletePrinterDataW(printer.get(), const_cast<WCHAR *>(TEXT("AlwaysExport"))),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(PrinterDataExists(PrinterName(), TEXT("AlwaysExport")));
    EXPECT_EQ(DeletePrinterDataW(printer.get(), const_cast<WCHAR *>(TEXT("AlwaysExport"))),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(DeletePrinterDataW(nullptr, const_cast<WCHAR *>(TEXT("AlwaysExport"))),
              static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(WineHarnessTest, PrinterPropertiesReachesTheDriversDeviceSheet)
{
    PrinterHandle printer(PrinterName(), PRINTER_ALL_ACCESS);
    ASSERT_NE(printer.get(), nullptr);
    struct Case {
        LONG answer;
        BOOL expected;
    } cases[] = {{StandinAnswerOk, TRUE}, {StandinAnswerError, FALSE}};
    for (const Case &c : cases) {
        Driver().Reset();
        Driver().SetAnswer(c.answer);
        EXPECT_EQ(PrinterProperties(nullptr, printer.get()), c.expected) << "answer " << c.answer;
        ASSERT_EQ(Driver().CallCount(), 1) << "answer " << c.answer;
        EXPECT_EQ(Driver().Call(0)->kind, StandinCallDeviceProperties);
    }
    EXPECT_FALSE(PrinterProperties(nullptr, nullptr));
}

TEST_F(WineHarnessTest, RecordIsTheOneOfTheDriverTheSpoolerCalls)
{
    PrinterHandle printer(PrinterName(), PRINTER_ALL_ACCESS);
    ASSERT_NE(printer.get(), nullptr);
    LONG size = DocumentPropertiesW(nullptr, printer.get(), const_cast<WCHAR *>(PrinterName()), nullptr, nullptr, 0);
    EXPECT_GT(size, static_cast<LONG>(sizeof(DEVMODEW)));
    ASSERT_EQ(Driver().CallCount(), 1);
    EXPECT_EQ(Driver().Call(0)->kind, StandinCallDocumentPropertiesNoUi);
}

TEST_F(WineHarnessTest, RestrictedPrinterRefusesFullAccess)
{
    PrinterHandle restricted(RestrictedPrinterName(), PRINTER_ALL_ACCESS);
    EXPECT_EQ(restricted.get(), nullptr);
    // The library's view of it: no override, version 4.
    DWORD version = 0;
    EXPECT_EQ(GetConvertAPIVersionEx(&version, RestrictedPrinterName()), ConvertAPISuccess);
    EXPECT_EQ(version, ConvertAPIVersion);
}

}  // namespace
}  // namespace scenario
