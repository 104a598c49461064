// What the library and the stand-ins rely on from the registry, the spooler,
// COM and the loader, as Wine 8.0 does it (measured here). Written against
// Win32 alone, so that the same checks can be held against hostwin, which
// must behave the same.
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace scenario {
namespace {

const WCHAR kRoot[] = TEXT("Software\\Varnholt\\PlatformFacts");

WString Sub(const WCHAR *name) { return WString(kRoot) + TEXT("\\") + name; }

LONG SetString(HKEY key, const WCHAR *name, const WCHAR *text)
{
    const DWORD bytes = static_cast<DWORD>((std::char_traits<WCHAR>::length(text) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), bytes);
}

class RegistryFacts : public ScenarioTest {
protected:
    void SetUp() override
    {
        ScenarioTest::SetUp();
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        if (root) RegCloseKey(root);
        ScenarioTest::TearDown();
    }
    HKEY root = nullptr;
};

TEST_F(RegistryFacts, OpenOfAMissingKeyFailsAndCreateMakesEveryKeyAbove)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Sub(TEXT("A\\B\\C")).c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);

    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Sub(TEXT("A\\B\\C")).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    EXPECT_TRUE(KeyExists(Sub(TEXT("A\\B"))));
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Sub(TEXT("A\\B\\C")).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);
}

TEST_F(RegistryFacts, DeleteKeyRefusesAKeyWithSubkeys)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, TEXT("Parent\\Child"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(RegDeleteKeyW(root, TEXT("Parent")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(root, TEXT("Parent\\Child")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(root, TEXT("Parent")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(root, TEXT("Parent")), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFacts, HandleOfADeletedKeyFailsButCloses)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, TEXT("Doomed"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(root, TEXT("Doomed")), ERROR_SUCCESS);
    EXPECT_EQ(SetString(key, TEXT("Late"), TEXT("x")), ERROR_KEY_DELETED);
    WCHAR name[16];
    DWORD chars = 16;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

std::vector<WString> ValueNames(HKEY key)
{
    std::vector<WString> names;
    for (DWORD index = 0;; ++index) {
        WCHAR name[32];
        DWORD chars = 32;
        if (RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    return names;
}

// The order itself differs: Windows (and hostwin) enumerate values in the
// order they were made, Wine sorts them by name. Nothing may rely on it.
TEST_F(RegistryFacts, DeletingTheFirstValueMovesTheNextToIndexZero)
{
    for (const WCHAR *name : {TEXT("Zeta"), TEXT("Alpha"), TEXT("Mid")}) ASSERT_EQ(SetString(root, name, TEXT("1")), 0);
    const std::vector<WString> before = ValueNames(root);
    ASSERT_EQ(before.size(), 3u);
    ASSERT_EQ(SetString(root, before[0].c_str(), TEXT("changed")), 0);  // keeps its place
    EXPECT_EQ(ValueNames(root), before);

    ASSERT_EQ(RegDeleteValueW(root, before[0].c_str()), ERROR_SUCCESS);
    EXPECT_EQ(ValueNames(root), (std::vector<WString>{before[1], before[2]}));
    EXPECT_EQ(RegDeleteValueW(root, before[0].c_str()), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFacts, EnumValueTellsWhatDoesNotFit)
{
    ASSERT_EQ(SetString(root, TEXT("LongName"), TEXT("0123456789")), 0);
    // The name does not fit (the count excludes the terminating zero).
    WCHAR name[8];
    DWORD chars = 8;
    EXPECT_EQ(RegEnumValueW(root, 0, name, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    chars = 9;
    WCHAR fits[9];
    EXPECT_EQ(RegEnumValueW(root, 0, fits, &chars, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(chars, 8u);

    // The data does not fit: the size needed comes back, and the name too.
    WCHAR fullName[32] = {};
    chars = 32;
    BYTE data[4];
    DWORD bytes = sizeof(data);
    DWORD type = 0;
    EXPECT_EQ(RegEnumValueW(root, 0, fullName, &chars, nullptr, &type, data, &bytes), ERROR_MORE_DATA);
    EXPECT_EQ(bytes, 22u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(chars, 8u);
    EXPECT_EQ(WString(fullName), WString(TEXT("LongName")));

    // No data buffer: only the size.
    bytes = 0;
    chars = 32;
    EXPECT_EQ(RegEnumValueW(root, 0, fullName, &chars, nullptr, nullptr, nullptr, &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, 22u);
}

class PrinterFacts : public ScenarioTest {
protected:
    void SetUp() override
    {
        ScenarioTest::SetUp();
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(PrinterName()), &printer, &defaults));
    }
    void TearDown() override
    {
        if (printer) {
            for (const WCHAR *name : {TEXT("Fact"), TEXT("Empty")}) DeletePrinterDataW(printer, const_cast<WCHAR *>(name));
            ClosePrinter(printer);
        }
        ScenarioTest::TearDown();
    }
    HANDLE printer = nullptr;
};

TEST_F(PrinterFacts, UnknownPrinterDoesNotOpen)
{
    HANDLE other = reinterpret_cast<HANDLE>(1);
    EXPECT_FALSE(OpenPrinterW(const_cast<WCHAR *>(TEXT("No Such Printer")), &other, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(PrinterFacts, PrinterDataSizeQuery)
{
    const WCHAR text[] = TEXT("12");
    ASSERT_EQ(SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Fact")), REG_SZ,
                              reinterpret_cast<BYTE *>(const_cast<WCHAR *>(text)), sizeof(text)),
              static_cast<DWORD>(ERROR_SUCCESS));
    DWORD type = 0;
    DWORD needed = 0;
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Fact")), &type, nullptr, 0, &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, sizeof(text));
    BYTE small[2];
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Fact")), &type, small, sizeof(small), &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, sizeof(text));
    BYTE large[64] = {};
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Fact")), &type, large, sizeof(large), &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(needed, sizeof(text));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Missing")), &type, nullptr, 0, &needed),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// The size query of a value of zero bytes: ERROR_MORE_DATA with a size of 0.
TEST_F(PrinterFacts, ValueOfZeroBytesAsksForNothing)
{
    ASSERT_EQ(SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Empty")), REG_BINARY, nullptr, 0),
              static_cast<DWORD>(ERROR_SUCCESS));
    DWORD type = 0;
    DWORD needed = 1;
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Empty")), &type, nullptr, 0, &needed),
              static_cast<DWORD>(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 0u);
    BYTE data[4];
    needed = 1;
    EXPECT_EQ(GetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("Empty")), &type, data, sizeof(data), &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(needed, 0u);
}

TEST_F(PrinterFacts, DocumentPropertiesAnswers)
{
    // Without DM_IN_PROMPT: the driver's answer itself; with it, the headless
    // property sheet's: -1 when the driver fails, otherwise IDOK when it added
    // a page and ERR_CPSUI_NO_PROPSHEETPAGE (-8) when it did not.
    LONG size = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()), nullptr, nullptr, 0);
    ASSERT_GT(size, static_cast<LONG>(sizeof(DEVMODEW)));
    std::vector<BYTE> buffer(static_cast<size_t>(size));
    DEVMODEW *devmode = reinterpret_cast<DEVMODEW *>(buffer.data());
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()), devmode, nullptr,
                                  DM_OUT_BUFFER),
              IDOK);
    const DWORD prompt = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER;
    Driver().SetAnswer(StandinAnswerError);
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()), devmode, devmode, prompt),
              -1);
    Driver().SetAnswer(StandinAnswerOk);
    LONG ok = DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(PrinterName()), devmode, devmode, prompt);
    EXPECT_TRUE(ok == IDOK || ok == -8) << ok;
    const StandinDriverCall *last = Driver().Call(Driver().CallCount() - 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->kind, StandinCallDocumentProperties);
    EXPECT_EQ(last->mode, prompt);
}

TEST(ComFacts, GuidTextNeedsThirtyNineCharacters)
{
    const GUID guid = {0x01234567, 0x89ab, 0xcdef, {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef}};
    WCHAR text[39];
    EXPECT_EQ(StringFromGUID2(guid, text, 38), 0);
    EXPECT_EQ(StringFromGUID2(guid, text, 39), 39);
    EXPECT_EQ(WString(text), WString(TEXT("{01234567-89AB-CDEF-0123-456789ABCDEF}")));
}

TEST(LoaderFacts, MissingModuleAndMissingExport)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(TEXT("no_such_module_here.dll")), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    HMODULE module = LoadLibraryW(TicketLibraryPath());
    ASSERT_NE(module, nullptr);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchEntryPoint"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
}  // namespace scenario
