// Spooler conformance: printers by name, access, printer data.
#include "fixture.h"

#include <cstring>

namespace {

const WCHAR kPrinter[] = TEXT("Test Printer");
const WCHAR kRestricted[] = TEXT("Restricted Printer");

class SpoolerTest : public HostWinTest {
protected:
    void SetUp() override
    {
        HostWinTest::SetUp();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_TRUE(HostWinAddPrinter(kRestricted, nullptr, HOSTWIN_PRINTER_DENY_ALL_ACCESS));
    }
    static BOOL Open(const WCHAR *name, DWORD access, HANDLE *printer)
    {
        std::u16string writable(name);
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        return OpenPrinterW(&writable[0], printer, &defaults);
    }
    static DWORD Set(HANDLE printer, const WCHAR *name, DWORD type, const void *data, DWORD size)
    {
        std::u16string writable(name);
        return SetPrinterDataW(printer, &writable[0], type, static_cast<LPBYTE>(const_cast<void *>(data)), size);
    }
    static DWORD Get(HANDLE printer, const WCHAR *name, DWORD *type, void *data, DWORD size, DWORD *needed)
    {
        std::u16string writable(name);
        return GetPrinterDataW(printer, &writable[0], type, static_cast<LPBYTE>(data), size, needed);
    }
    static DWORD Delete(HANDLE printer, const WCHAR *name)
    {
        std::u16string writable(name);
        return DeletePrinterDataW(printer, &writable[0]);
    }
};

TEST_F(SpoolerTest, OpenByNameIgnoringCase)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(Open(TEXT("TEST printer"), PRINTER_ALL_ACCESS, &printer));
    EXPECT_NE(nullptr, printer);
    EXPECT_EQ(1, HostWinOpenHandleCount("printer"));
    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(0, HostWinOpenHandleCount("printer"));
    SetLastError(0);
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(SpoolerTest, OpenUnknownPrinter)
{
    HANDLE printer = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(Open(TEXT("No Such Printer"), PRINTER_ACCESS_USE, &printer));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME), GetLastError());
    EXPECT_EQ(nullptr, printer);
}

TEST_F(SpoolerTest, RestrictedPrinterRefusesAdministration)
{
    struct Case {
        DWORD access;
        BOOL opens;
    } cases[] = {
        {PRINTER_ALL_ACCESS, FALSE},
        {PRINTER_ACCESS_ADMINISTER, FALSE},
        {PRINTER_ACCESS_USE, TRUE},
    };
    for (const Case &c : cases) {
        HANDLE printer = nullptr;
        SetLastError(0);
        EXPECT_EQ(c.opens, Open(kRestricted, c.access, &printer)) << c.access;
        if (printer) ClosePrinter(printer);
        else EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    }
    HANDLE printer = nullptr;
    std::u16string name(kRestricted);
    EXPECT_TRUE(OpenPrinterW(&name[0], &printer, nullptr)); // no defaults: plain use
    ClosePrinter(printer);
}

TEST_F(SpoolerTest, PrinterDataSizeQueryAndTypes)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(Open(kPrinter, PRINTER_ALL_ACCESS, &printer));
    const char location[] = "C:\\tickets\\a.xml"; // REG_BINARY without a NUL
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Set(printer, TEXT("ExportTicketLocation"), REG_BINARY, location, 16));

    struct Case {
        bool withBuffer;
        DWORD capacity;
        DWORD expected;
    } cases[] = {
        {false, 0, ERROR_MORE_DATA},
        {true, 0, ERROR_MORE_DATA},
        {true, 15, ERROR_MORE_DATA},
        {true, 16, ERROR_SUCCESS},
    };
    for (const Case &c : cases) {
        char buffer[32] = {};
        DWORD type = 0, needed = 0;
        EXPECT_EQ(c.expected, Get(printer, TEXT("exportticketlocation"), &type, c.withBuffer ? buffer : nullptr,
                                  c.capacity, &needed))
            << c.capacity;
        EXPECT_EQ(16u, needed);
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(0, std::memcmp(buffer, location, 16));
        }
    }
    DWORD type = 0, needed = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Get(printer, TEXT("Missing"), &type, nullptr, 0, &needed));
    ClosePrinter(printer);
}

TEST_F(SpoolerTest, PrinterDataLivesInTheRegistry)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(Open(kPrinter, PRINTER_ALL_ACCESS, &printer));
    DWORD one = 1;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Set(printer, TEXT("AlwaysExport"), REG_DWORD, &one, 4));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            TEXT("System\\CurrentControlSet\\Control\\Print\\Printers\\Test Printer\\PrinterDriverData"),
                            0, KEY_ALL_ACCESS, &key));
    DWORD value = 0, size = 4, type = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("AlwaysExport"), nullptr, &type, reinterpret_cast<BYTE *>(&value), &size));
    EXPECT_EQ(1u, value);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    // ... and what a test writes there the spooler reads back.
    DWORD seven = 7;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, TEXT("FromTest"), 0, REG_DWORD, reinterpret_cast<BYTE *>(&seven), 4));
    DWORD needed = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Get(printer, TEXT("FromTest"), &type, &value, 4, &needed));
    EXPECT_EQ(7u, value);
    RegCloseKey(key);
    ClosePrinter(printer);
}

TEST_F(SpoolerTest, DeletePrinterData)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(Open(kPrinter, PRINTER_ALL_ACCESS, &printer));
    DWORD one = 1, type = 0, needed = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Set(printer, TEXT("AlwaysExport"), REG_DWORD, &one, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Delete(printer, TEXT("alwaysexport")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Delete(printer, TEXT("AlwaysExport")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Get(printer, TEXT("AlwaysExport"), &type, nullptr, 0, &needed));
    ClosePrinter(printer);
}

TEST_F(SpoolerTest, PrinterDataIsPerPrinter)
{
    HANDLE a = nullptr, b = nullptr;
    ASSERT_TRUE(Open(kPrinter, PRINTER_ALL_ACCESS, &a));
    ASSERT_TRUE(Open(kRestricted, PRINTER_ACCESS_USE, &b));
    DWORD one = 1, type = 0, needed = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), Set(a, TEXT("Only"), REG_DWORD, &one, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), Get(b, TEXT("Only"), &type, nullptr, 0, &needed));
    ClosePrinter(a);
    ClosePrinter(b);
}

TEST_F(SpoolerTest, InvalidAndStaleHandles)
{
    HANDLE printer = nullptr;
    ASSERT_TRUE(Open(kPrinter, PRINTER_ALL_ACCESS, &printer));
    ASSERT_TRUE(HostWinRemovePrinter(kPrinter));
    HANDLE closed = nullptr;
    ASSERT_TRUE(Open(kRestricted, PRINTER_ACCESS_USE, &closed));
    ClosePrinter(closed);
    for (HANDLE bad : {printer, closed, static_cast<HANDLE>(nullptr)}) {
        DWORD one = 1, type = 0, needed = 0;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), Set(bad, TEXT("v"), REG_DWORD, &one, 4));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), Get(bad, TEXT("v"), &type, nullptr, 0, &needed));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), Delete(bad, TEXT("v")));
    }
    EXPECT_TRUE(ClosePrinter(printer)); // a removed printer's handle still closes
}

TEST_F(SpoolerTest, AddAndRemovePrinters)
{
    EXPECT_FALSE(HostWinAddPrinter(TEXT("test PRINTER"), nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PRINTER_ALREADY_EXISTS), GetLastError());
    EXPECT_TRUE(HostWinRemovePrinter(TEXT("TEST PRINTER")));
    EXPECT_FALSE(HostWinRemovePrinter(kPrinter));
    HANDLE printer = nullptr;
    EXPECT_FALSE(Open(kPrinter, PRINTER_ACCESS_USE, &printer));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("System\\CurrentControlSet\\Control\\Print\\Printers\\Test Printer"),
                            0, KEY_READ, &key));
    HostWinReset();
    EXPECT_FALSE(Open(kRestricted, PRINTER_ACCESS_USE, &printer));
}

} // namespace
