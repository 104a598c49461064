// Fault injection, call counts and the allocation hook.
#include "fixture.h"
#include "test_driver.h"

#include <new>

namespace {

class FaultsTest : public HostWinTest {
protected:
    static LONG SetValue()
    {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("F"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        DWORD one = 1;
        rc = RegSetValueExW(key, TEXT("v"), 0, REG_DWORD, reinterpret_cast<BYTE *>(&one), 4);
        RegCloseKey(key);
        return rc;
    }
    static bool ValueExists()
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("F"), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        DWORD size = 0;
        bool exists = RegQueryValueExW(key, TEXT("v"), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
        RegCloseKey(key);
        return exists;
    }
};

TEST_F(FaultsTest, NthCallSemantics)
{
    struct Case {
        long nth;
        std::vector<LONG> results; // of four calls in a row
    } cases[] = {
        {1, {ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS}},
        {3, {ERROR_SUCCESS, ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_SUCCESS}},
        {-1, {ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED}},
    };
    for (const Case &c : cases) {
        HostWinReset();
        HostWinInjectFault("RegSetValueExW", c.nth);
        std::vector<LONG> results;
        for (int i = 0; i < 4; ++i) results.push_back(SetValue());
        EXPECT_EQ(c.results, results) << c.nth;
        EXPECT_EQ(4, HostWinCallCount("RegSetValueExW"));
    }
    HostWinInjectFault("RegSetValueExW", -1);
    HostWinInjectFault("RegSetValueExW", 0);
    EXPECT_EQ(ERROR_SUCCESS, SetValue());
}

TEST_F(FaultsTest, RegistryFaultDoesNothingAndClosesStillWork)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("F"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    HostWinInjectFault("registry", -1);
    DWORD one = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExW(key, TEXT("v"), 0, REG_DWORD, reinterpret_cast<BYTE *>(&one), 4));
    HKEY other = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("F"), 0, KEY_READ, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("F")));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key)); // a category fault never fails a close
    EXPECT_EQ(0, HostWinOpenHandleCount("registry"));
    EXPECT_EQ(5, HostWinCallCount("registry"));
    EXPECT_EQ(1, HostWinCallCount("RegCloseKey"));
    HostWinClearFaults();
    EXPECT_FALSE(ValueExists());
}

TEST_F(FaultsTest, SpoolerFault)
{
    ASSERT_TRUE(HostWinAddPrinter(TEXT("P"), nullptr, 0));
    std::u16string name(u"P");
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterW(&name[0], &printer, &defaults));
    HostWinInjectFault("spooler", -1);
    HANDLE second = reinterpret_cast<HANDLE>(1);
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(&name[0], &second, &defaults));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(nullptr, second);
    DWORD one = 1, type = 0, needed = 0;
    std::u16string value(u"v");
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), SetPrinterDataW(printer, &value[0], REG_DWORD, reinterpret_cast<BYTE *>(&one), 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetPrinterDataW(printer, &value[0], &type, nullptr, 0, &needed));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), DeletePrinterDataW(printer, &value[0]));
    EXPECT_EQ(-1, DocumentPropertiesW(nullptr, printer, &name[0], nullptr, nullptr, 0));
    EXPECT_FALSE(PrinterProperties(nullptr, printer));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(0, HostWinOpenHandleCount("printer"));
}

TEST_F(FaultsTest, GuidFaultLeavesGuidNull)
{
    HostWinInjectFault("guid", 1);
    GUID guid;
    guid.Data1 = 0x12345678;
    EXPECT_TRUE(FAILED(CoCreateGuid(&guid)));
    EXPECT_EQ(GUID_NULL, guid);
    EXPECT_EQ(S_OK, CoCreateGuid(&guid));
    EXPECT_EQ(2, HostWinCallCount("CoCreateGuid"));
}

TEST_F(FaultsTest, AllocFaultReachesLocalAllocAndNothrowNew)
{
    HostWinInjectFault("alloc", -1);
    SetLastError(0);
    EXPECT_EQ(nullptr, LocalAlloc(LPTR, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY), GetLastError());
    EXPECT_EQ(nullptr, new (std::nothrow) char[16]);

    // ... also inside a shared module, as the library is in the scenario tests.
    std::u16string path(HOSTWIN_TEST_DRIVER, HOSTWIN_TEST_DRIVER + std::char_traits<char>::length(HOSTWIN_TEST_DRIVER));
    HMODULE module = LoadLibraryW(path.c_str());
    ASSERT_NE(nullptr, module);
    auto allocate = ProcAddress<TestDriverAllocateProc>(module, "TestDriverAllocate");
    auto release = ProcAddress<TestDriverReleaseProc>(module, "TestDriverRelease");
    ASSERT_TRUE(allocate && release);
    EXPECT_EQ(nullptr, allocate(16));
    EXPECT_EQ(3, HostWinCallCount("alloc")); // LocalAlloc and both operator new calls

    HostWinInjectFault("alloc", 2); // the second allocation from now on
    void *first = allocate(16);
    EXPECT_NE(nullptr, first);
    EXPECT_EQ(nullptr, allocate(16));
    void *third = allocate(16);
    EXPECT_NE(nullptr, third);
    release(first);
    release(third);
    FreeLibrary(module);

    int *plain = new int(5); // the plain form never fails on purpose
    delete plain;
}

TEST_F(FaultsTest, CountsStartOverAtReset)
{
    SetValue();
    EXPECT_GT(HostWinCallCount("registry"), 0);
    HostWinInjectFault("RegOpenKeyExW", -1);
    HostWinReset();
    EXPECT_EQ(0, HostWinCallCount("registry"));
    EXPECT_EQ(ERROR_SUCCESS, SetValue());
    EXPECT_TRUE(ValueExists());
}

} // namespace
