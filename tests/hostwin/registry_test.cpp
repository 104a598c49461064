// Registry conformance: what Windows (and Wine's advapi32 tests) say about
// the calls the library makes.
#include "fixture.h"

#include <cstring>
#include <thread>
#include <vector>

namespace {

class RegistryTest : public HostWinTest {
protected:
    HKEY Create(HKEY root, const WCHAR *path, REGSAM access = KEY_ALL_ACCESS)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr));
        return key;
    }
    static LONG SetDword(HKEY key, const WCHAR *name, DWORD value)
    {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    }
    static std::u16string ValueNameAt(HKEY key, DWORD index)
    {
        WCHAR name[256];
        DWORD chars = 256;
        if (RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return u"";
        return name;
    }
};

TEST_F(RegistryTest, OpenMissingKeyFailsAndClearsTheHandle)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Missing"), 0, KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
}

TEST_F(RegistryTest, CreateMakesEveryMissingKeyAboveAndReportsDisposition)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Varnholt\\QXProcID816"), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    RegCloseKey(key);

    HKEY parent = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Varnholt"), 0, KEY_READ, &parent));
    RegCloseKey(parent);

    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("SOFTWARE\\varnholt\\qxprocid816"), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, &disposition));
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    RegCloseKey(key);
}

TEST_F(RegistryTest, PathSyntax)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("A\\B")));
    struct Case {
        const WCHAR *path;
        LONG expected;
    } cases[] = {
        {TEXT("A\\B"), ERROR_SUCCESS},
        {TEXT("a\\b"), ERROR_SUCCESS},         // names ignore case
        {TEXT("A\\\\B"), ERROR_SUCCESS},       // runs of backslashes are one separator
        {TEXT("A\\B\\"), ERROR_SUCCESS},       // a trailing backslash is ignored
        {TEXT("\\A\\B"), ERROR_BAD_PATHNAME},  // a leading one is not
        {TEXT("A\\C"), ERROR_FILE_NOT_FOUND},
    };
    for (const Case &c : cases) {
        HKEY key = nullptr;
        EXPECT_EQ(c.expected, RegOpenKeyExW(HKEY_CURRENT_USER, c.path, 0, KEY_READ, &key))
            << std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path));
        if (key) RegCloseKey(key);
    }
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("\\X"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
}

TEST_F(RegistryTest, NonAsciiNamesIgnoreCaseToo)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Stra\u00dfe \u00e9t\u00e9 \u0436"));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, TEXT("\u00e4"), 1));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("\u00c4"), nullptr, &type, nullptr, &size));
    RegCloseKey(key);
    HKEY again = nullptr;
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("STRA\u00dfE \u00c9T\u00c9 \u0416"), 0, KEY_READ, &again));
    RegCloseKey(again);
}

TEST_F(RegistryTest, RootsAreSeparate)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("OnlyInUser")));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("OnlyInUser"), 0, KEY_READ, &key));
}

TEST_F(RegistryTest, ValuesKeepInsertionOrderAndReplaceInPlace)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Order"));
    for (const WCHAR *name : {TEXT("Zeta"), TEXT("alpha"), TEXT("Mid")}) ASSERT_EQ(ERROR_SUCCESS, SetDword(key, name, 1));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, TEXT("ZETA"), 2)); // same value, other case
    EXPECT_EQ(u"Zeta", ValueNameAt(key, 0));
    EXPECT_EQ(u"alpha", ValueNameAt(key, 1));
    EXPECT_EQ(u"Mid", ValueNameAt(key, 2));
    EXPECT_EQ(u"", ValueNameAt(key, 3));
    DWORD value = 0, size = sizeof(value);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("zeta"), nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size));
    EXPECT_EQ(2u, value);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SetValueStoresBytesExactly)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Bytes"));
    const BYTE unterminated[] = {'a', 0, 'b', 0}; // REG_SZ without its NUL
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, TEXT("S"), 0, REG_SZ, unterminated, sizeof(unterminated)));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, TEXT("Empty"), 0, REG_BINARY, nullptr, 0));
    EXPECT_EQ(ERROR_NOACCESS, RegSetValueExW(key, TEXT("Bad"), 0, REG_BINARY, nullptr, 4));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, nullptr, 0, REG_DWORD, unterminated, 4)); // the default value

    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("S"), nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(4u, size);
    // Reading back into a larger buffer adds the missing NUL but does not count it.
    BYTE buffer[8];
    std::memset(buffer, 0xEE, sizeof(buffer));
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("S"), nullptr, &type, buffer, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, std::memcmp(buffer, unterminated, 4));
    EXPECT_EQ(0, buffer[4]);
    EXPECT_EQ(0, buffer[5]);
    EXPECT_EQ(0xEE, buffer[6]);

    size = 99;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT("Empty"), nullptr, &type, buffer, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, TEXT(""), nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    RegCloseKey(key);
}

TEST_F(RegistryTest, QueryValueSizeRules)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Query"));
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, TEXT("V"), 0, REG_BINARY, data, sizeof(data)));
    struct Case {
        bool withBuffer;
        DWORD capacity;
        LONG expected;
    } cases[] = {
        {false, 0, ERROR_SUCCESS},  // size query
        {true, 5, ERROR_MORE_DATA},
        {true, 0, ERROR_MORE_DATA},
        {true, 6, ERROR_SUCCESS},
        {true, 100, ERROR_SUCCESS},
    };
    for (const Case &c : cases) {
        BYTE buffer[100] = {};
        DWORD type = 0, size = c.capacity;
        EXPECT_EQ(c.expected, RegQueryValueExW(key, TEXT("V"), nullptr, &type, c.withBuffer ? buffer : nullptr, &size))
            << c.capacity;
        EXPECT_EQ(6u, size) << "the size needed is reported in every case";
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        if (c.expected == ERROR_SUCCESS && c.withBuffer) {
            EXPECT_EQ(0, std::memcmp(buffer, data, 6));
        }
    }
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(key, TEXT("Missing"), nullptr, nullptr, nullptr, &size));
    BYTE buffer[4];
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExW(key, TEXT("V"), nullptr, nullptr, buffer, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumValueSizeRules)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Enum"));
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, TEXT("Name5"), 0, REG_BINARY, data, sizeof(data)));
    struct Case {
        DWORD nameChars;
        bool withData;
        DWORD dataBytes;
        LONG expected;
        DWORD nameCharsAfter;  // what *lpcchValueName holds afterwards
    } cases[] = {
        {6, true, 6, ERROR_SUCCESS, 5},
        {5, true, 6, ERROR_MORE_DATA, 5},   // no room for the NUL: count left alone
        {1, true, 6, ERROR_MORE_DATA, 1},
        {6, true, 5, ERROR_MORE_DATA, 5},   // name copied, data did not fit
        {6, false, 0, ERROR_SUCCESS, 5},    // data size query
    };
    for (const Case &c : cases) {
        WCHAR name[16] = {};
        BYTE buffer[16] = {};
        DWORD chars = c.nameChars, type = 0, size = c.dataBytes;
        EXPECT_EQ(c.expected, RegEnumValueW(key, 0, name, &chars, nullptr, &type, c.withData ? buffer : nullptr, &size))
            << c.nameChars << "/" << c.dataBytes;
        EXPECT_EQ(c.nameCharsAfter, chars);
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
        EXPECT_EQ(6u, size);
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(u"Name5", std::u16string(name));
        }
    }
    WCHAR name[16];
    DWORD chars = 16;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValueW(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

// The driver-data cleaner's loop: enumerate index 0, delete it, repeat.
TEST_F(RegistryTest, DeletingAtIndexZeroWalksEveryValue)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Drain"));
    for (const WCHAR *name : {TEXT("a"), TEXT("b"), TEXT("c")}) ASSERT_EQ(ERROR_SUCCESS, SetDword(key, name, 1));
    std::vector<std::u16string> seen;
    for (;;) {
        WCHAR name[256];
        DWORD chars = 256;
        if (RegEnumValueW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        seen.push_back(name);
        ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueW(key, name));
    }
    EXPECT_EQ((std::vector<std::u16string>{u"a", u"b", u"c"}), seen);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueW(key, TEXT("a")));
    RegCloseKey(key);
}

TEST_F(RegistryTest, EnumKeysInNameOrder)
{
    for (const WCHAR *path : {TEXT("P\\delta"), TEXT("P\\Bravo"), TEXT("P\\alpha")})
        RegCloseKey(Create(HKEY_CURRENT_USER, path));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("P"), 0, KEY_READ, &key));
    std::vector<std::u16string> names;
    WCHAR name[16];
    DWORD chars = 16;
    for (DWORD i = 0; RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) {
        names.push_back(name);
        chars = 16;
    }
    EXPECT_EQ((std::vector<std::u16string>{u"alpha", u"Bravo", u"delta"}), names);
    chars = 5; // "alpha" needs 6 with its NUL
    EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    chars = 16;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExW(key, 3, name, &chars, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeleteKeyRules)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("D\\Child")));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("D")));     // has a subkey
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("D\\Nope")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("d\\child")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("D")));            // values go with it
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("")));       // a root stays
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyW(HKEY_CURRENT_USER, nullptr));
}

TEST_F(RegistryTest, HandleOfDeletedKeyStaysClosable)
{
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Gone"));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(key, TEXT("v"), 1));
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, TEXT("Gone")));

    WCHAR name[16];
    DWORD chars = 16, size = 4;
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_KEY_DELETED, RegEnumValueW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_KEY_DELETED, RegDeleteValueW(key, TEXT("v")));
    EXPECT_EQ(ERROR_KEY_DELETED, SetDword(key, TEXT("v"), 2));
    EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExW(key, TEXT("v"), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_KEY_DELETED,
              RegCreateKeyExW(key, TEXT("Sub"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));

    // A key of the same name made afterwards is another key.
    HKEY fresh = Create(HKEY_CURRENT_USER, TEXT("Gone"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(fresh, TEXT("v"), nullptr, nullptr, nullptr, &size));
    RegCloseKey(fresh);
}

TEST_F(RegistryTest, InvalidHandles)
{
    HKEY closed = Create(HKEY_CURRENT_USER, TEXT("Closed"));
    RegCloseKey(closed);
    for (HKEY bad : {closed, static_cast<HKEY>(nullptr), reinterpret_cast<HKEY>(0x1234)}) {
        HKEY key = nullptr;
        WCHAR name[8];
        DWORD chars = 8, size = 0;
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegOpenKeyExW(bad, TEXT("x"), 0, KEY_READ, &key));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCreateKeyExW(bad, TEXT("x"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        EXPECT_EQ(ERROR_INVALID_HANDLE, SetDword(bad, TEXT("x"), 1));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExW(bad, TEXT("x"), nullptr, nullptr, nullptr, &size));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegEnumValueW(bad, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegEnumKeyExW(bad, 0, name, &chars, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegDeleteValueW(bad, TEXT("x")));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegDeleteKeyW(bad, TEXT("x")));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegDeleteTreeW(bad, TEXT("x")));
        EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(bad));
    }
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_CURRENT_USER)); // predefined keys close quietly
}

TEST_F(RegistryTest, AccessRightsOfTheHandleAreEnforced)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("R")));
    HKEY readOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("R"), 0, KEY_READ, &readOnly));
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetDword(readOnly, TEXT("v"), 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueW(readOnly, TEXT("v")));
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegCreateKeyExW(readOnly, TEXT("New"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    RegCloseKey(readOnly);
}

TEST_F(RegistryTest, DeleteTree)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("T\\A\\B")));
    HKEY t = Create(HKEY_CURRENT_USER, TEXT("T"));
    ASSERT_EQ(ERROR_SUCCESS, SetDword(t, TEXT("v"), 1));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteTreeW(t, TEXT("Nope")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(t, TEXT("A")));
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(t, TEXT("A"), 0, KEY_READ, &key));
    RegCloseKey(Create(HKEY_CURRENT_USER, TEXT("T\\C")));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteTreeW(t, nullptr)); // empties T, keeps it
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExW(t, TEXT("v"), nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(t, TEXT("C"), 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, SetDword(t, TEXT("again"), 1));
    RegCloseKey(t);
}

TEST_F(RegistryTest, ResetDropsKeysButNotOpenHandles)
{
    long before = HostWinOpenHandleCount("registry");
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Old"));
    EXPECT_EQ(before + 1, HostWinOpenHandleCount("registry"));
    HostWinReset();
    HKEY again = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Old"), 0, KEY_READ, &again));
    EXPECT_EQ(ERROR_KEY_DELETED, SetDword(key, TEXT("v"), 1));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(before, HostWinOpenHandleCount("registry"));
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing)
{
    const int threads = 4, values = 200;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            HKEY key = nullptr;
            RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Shared"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
            for (int i = 0; i < values; ++i) {
                std::u16string name = u"v" + std::u16string(1, char16_t(u'a' + t)) + std::u16string(1, char16_t(0x4E00 + i));
                DWORD data = static_cast<DWORD>(i);
                RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE *>(&data), 4);
            }
            RegCloseKey(key);
        });
    }
    for (auto &w : workers) w.join();
    HKEY key = Create(HKEY_CURRENT_USER, TEXT("Shared"));
    DWORD count = 0;
    WCHAR name[16];
    DWORD chars = 16;
    while (RegEnumValueW(key, count, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        ++count;
        chars = 16;
    }
    EXPECT_EQ(static_cast<DWORD>(threads * values), count);
    RegCloseKey(key);
}

} // namespace
