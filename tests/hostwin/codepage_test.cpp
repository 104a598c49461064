// WideCharToMultiByte / MultiByteToWideChar: CP_ACP is Windows-1252.
#include "fixture.h"

#include <cstring>

namespace {

class CodePageTest : public HostWinTest {};

TEST_F(CodePageTest, AnsiConversionTable)
{
    struct Case {
        const WCHAR *text;
        const char *ansi;  // including its NUL
        int bytes;
        BOOL usedDefault;
    } cases[] = {
        {TEXT("C:\\tickets\\a.xml"), "C:\\tickets\\a.xml", 17, FALSE},
        {TEXT(""), "", 1, FALSE},
        {TEXT("\u00e9t\u00e9 \u00ff"), "\xe9t\xe9 \xff", 6, FALSE},       // Latin-1 range
        {TEXT("\u20ac\u2019\u0153\u0178"), "\x80\x92\x9c\x9f", 5, FALSE}, // 0x80-0x9F of 1252
        {TEXT("\u0081"), "\x81", 2, FALSE},                               // undefined in 1252, kept
        {TEXT("a\u4e2d\u6587"), "a??", 4, TRUE},                          // not representable
        {TEXT("\xd83d\xde00"), "??", 3, TRUE},                            // a surrogate pair: two units
    };
    for (const Case &c : cases) {
        BOOL used = -1;
        int needed = WideCharToMultiByte(CP_ACP, 0, c.text, -1, nullptr, 0, nullptr, &used);
        EXPECT_EQ(c.bytes, needed) << c.ansi;
        char out[32];
        std::memset(out, 'X', sizeof(out));
        used = -1;
        EXPECT_EQ(c.bytes, WideCharToMultiByte(CP_ACP, 0, c.text, -1, out, needed, nullptr, &used));
        EXPECT_EQ(0, std::memcmp(out, c.ansi, c.bytes)) << c.ansi;
        EXPECT_EQ(c.usedDefault, used) << c.ansi;
        if (c.usedDefault) continue; // '?' does not come back as the character
        WCHAR back[32];
        EXPECT_EQ(c.bytes, MultiByteToWideChar(CP_ACP, 0, c.ansi, -1, back, 32));
        EXPECT_EQ(std::u16string(c.text), std::u16string(back));
    }
}

TEST_F(CodePageTest, LengthsAndBuffers)
{
    const WCHAR text[] = TEXT("abc");
    char out[8];
    EXPECT_EQ(3, WideCharToMultiByte(CP_ACP, 0, text, 3, nullptr, 0, nullptr, nullptr)); // no NUL counted
    SetLastError(0);
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, text, -1, out, 3, nullptr, nullptr));   // NUL does not fit
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(3, WideCharToMultiByte(CP_ACP, 0, text, 3, out, 8, nullptr, nullptr));
    BOOL used = FALSE;
    EXPECT_EQ(1, WideCharToMultiByte(CP_ACP, 0, TEXT("\u4e2d"), 1, out, 8, "*", &used));
    EXPECT_EQ('*', out[0]); // the caller's default character
    EXPECT_TRUE(used);

    struct Bad {
        UINT codePage;
        int length;
        int capacity;
    } bad[] = {{CP_ACP, 0, 8}, {CP_ACP, -1, -1}, {437, -1, 8}};
    for (const Bad &b : bad) {
        SetLastError(0);
        EXPECT_EQ(0, WideCharToMultiByte(b.codePage, 0, text, b.length, out, b.capacity, nullptr, nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, text, -1, out, 8, nullptr, &used)); // no default char in UTF-8
    WCHAR wide[2];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST_F(CodePageTest, Utf8RoundTripAndInvalidInput)
{
    const WCHAR text[] = TEXT("a\u00e9\u4e2d\xd83d\xde00");
    char out[16];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof(out), nullptr, nullptr);
    EXPECT_EQ(1 + 2 + 3 + 4 + 1, bytes);
    EXPECT_STREQ("a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80", out);
    WCHAR back[16];
    EXPECT_EQ(6, MultiByteToWideChar(CP_UTF8, 0, out, -1, back, 16));
    EXPECT_EQ(std::u16string(text), std::u16string(back));

    struct Case {
        const char *utf8;
        std::u16string expected;
    } cases[] = {
        {"\xff", u"\xfffd"},
        {"\xe4\xb8", u"\xfffd"},           // cut short: one replacement
        {"\xc0\xaf", u"\xfffd\xfffd"},     // overlong
        {"\xed\xa0\x80", u"\xfffd\xfffd\xfffd"}, // an encoded surrogate
    };
    for (const Case &c : cases) {
        WCHAR wide[8];
        int n = MultiByteToWideChar(CP_UTF8, 0, c.utf8, static_cast<int>(std::strlen(c.utf8)), wide, 8);
        EXPECT_EQ(c.expected, std::u16string(wide, n)) << c.utf8;
    }
    const WCHAR lone[] = {0xD800, u'x', 0};
    EXPECT_EQ(5, WideCharToMultiByte(CP_UTF8, 0, lone, -1, out, sizeof(out), nullptr, nullptr));
    EXPECT_STREQ("\xef\xbf\xbdx", out);
}

} // namespace
