#include "convertapi/api/version_override.h"

#include "convertapi.h"
#include "convertapi/common/constants.h"
#include "hostwin/control.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using WString = std::basic_string<WCHAR>;
using Bytes = std::vector<BYTE>;

// Little-endian UTF-16 bytes of `text` (its zero terminator only when asked).
Bytes BytesOf(const WString &text, bool withZero = false)
{
    Bytes bytes;
    for (WCHAR c : text) {
        bytes.push_back(static_cast<BYTE>(c & 0xFF));
        bytes.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
    }
    if (withZero) bytes.insert(bytes.end(), {0, 0});
    return bytes;
}

DWORD Parse(const Bytes &bytes)
{
    // An exactly sized copy, so that any read past the end shows under a sanitizer.
    std::vector<BYTE> exact(bytes);
    return ParseVersionOverride(exact.empty() ? nullptr : exact.data(), exact.size());
}

struct ParseCase {
    const char *label;
    WString text;
    DWORD expected;
};
void PrintTo(const ParseCase &c, std::ostream *out) { *out << c.label; }

class ParseVersionOverrideText : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseVersionOverrideText, WithAndWithoutTerminator)
{
    const ParseCase &c = GetParam();
    EXPECT_EQ(c.expected, Parse(BytesOf(c.text, true)));
    EXPECT_EQ(c.expected, Parse(BytesOf(c.text, false)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseVersionOverrideText,
    ::testing::Values(
        ParseCase{"single", TEXT("7"), 7u}, ParseCase{"plain", TEXT("5"), 5u},
        ParseCase{"spacesSignAndTail", TEXT("  +12abc"), 12u}, ParseCase{"minusOne", TEXT("-1"), 0xFFFFFFFFu},
        ParseCase{"negative", TEXT("\t-5"), 0xFFFFFFFBu}, ParseCase{"leadingLetter", TEXT("x7"), 0u},
        ParseCase{"empty", TEXT(""), 0u}, ParseCase{"signOnly", TEXT("-"), 0u}, ParseCase{"twoSigns", TEXT("+-5"), 0u},
        ParseCase{"spaceAfterSign", TEXT("- 5"), 0u}, ParseCase{"largest", TEXT("4294967295"), 0xFFFFFFFFu},
        ParseCase{"wrapsToZero", TEXT("4294967296"), 0u}, ParseCase{"wrapsToOne", TEXT("4294967297"), 1u},
        ParseCase{"elevenDigits", TEXT("12345678901"), 3755744309u},
        ParseCase{"negativeWrap", TEXT("-4294967297"), 0xFFFFFFFFu},
        ParseCase{"leadingZeros", TEXT("0004"), 4u}, ParseCase{"stopsAtInnerSpace", TEXT("1 2"), 1u},
        ParseCase{"asciiSpaces", TEXT("\t\n\v\f\r 9"), 9u},
        ParseCase{"fullwidth", WString{0xFF14, 0xFF12}, 42u},
        ParseCase{"arabicIndic", WString{0x0661, 0x0662}, 12u},
        ParseCase{"mixedBlocks", WString{TEXT('1'), 0x0968, 0x0E53}, 123u},
        ParseCase{"superscriptIsNoDigit", WString{0x00B2}, 0u},
        ParseCase{"nkoIsNoDigit", WString{0x07C1}, 0u},
        ParseCase{"slashAndColonAreNoDigits", TEXT("/:"), 0u},
        ParseCase{"registryDword", WString{7, 0}, 0u}),
    [](const ::testing::TestParamInfo<ParseCase> &info) { return std::string(info.param.label); });

TEST(ParseVersionOverride, EveryDigitBlockCountsZeroToNine)
{
    const WCHAR zeros[] = {0x0030, 0x0660, 0x06F0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0C66,
                           0x0CE6, 0x0D66, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x17E0, 0x1810, 0xFF10};
    for (WCHAR zero : zeros) {
        WString text = {static_cast<WCHAR>(zero + 9), zero, static_cast<WCHAR>(zero + 1)};
        EXPECT_EQ(901u, Parse(BytesOf(text))) << std::hex << zero;
        // The characters around a block are no digits.
        EXPECT_EQ(0u, Parse(BytesOf(WString{static_cast<WCHAR>(zero - 1)}))) << std::hex << zero;
        EXPECT_EQ(0u, Parse(BytesOf(WString{static_cast<WCHAR>(zero + 10)}))) << std::hex << zero;
    }
}

TEST(ParseVersionOverride, TheWindowsSpaceClassAndNothingElse)
{
    const WCHAR spaces[] = {0x0009, 0x000A, 0x000B, 0x000C, 0x000D, 0x0020, 0x00A0, 0x1680, 0x2000, 0x2001,
                            0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x2028,
                            0x2029, 0x202F, 0x205F, 0x3000};
    for (WCHAR space : spaces) EXPECT_EQ(3u, Parse(BytesOf(WString{space, space, TEXT('3')}))) << std::hex << space;

    const WCHAR others[] = {0x0008, 0x000E, 0x001C, 0x001F, 0x0085, 0x180E, 0x200B, 0x2060, 0xFEFF, 0xFFFF};
    for (WCHAR other : others) EXPECT_EQ(0u, Parse(BytesOf(WString{other, TEXT('3')}))) << std::hex << other;

    unsigned count = 0;
    for (unsigned c = 0; c <= 0xFFFF; ++c) count += IsOverrideSpace(static_cast<WCHAR>(c)) ? 1 : 0;
    EXPECT_EQ(sizeof(spaces) / sizeof(spaces[0]), count);
}

TEST(ParseVersionOverride, ReadsOnlyTheBytesGiven)
{
    Bytes bytes = BytesOf(TEXT("12"));
    bytes.push_back('3');  // an odd last byte is no character
    EXPECT_EQ(12u, Parse(bytes));
    EXPECT_EQ(1u, Parse(Bytes(bytes.begin(), bytes.begin() + 3)));
    EXPECT_EQ(0u, Parse(Bytes(bytes.begin(), bytes.begin() + 1)));
    EXPECT_EQ(0u, ParseVersionOverride(nullptr, 0));
    EXPECT_EQ(0u, ParseVersionOverride(bytes.data(), 0));
}

// The whole query over a hostwin printer.
const WCHAR kPrinter[] = TEXT("Version Printer");
const WCHAR kRestrictedPrinter[] = TEXT("Version Restricted");
constexpr DWORD kUntouched = 0xDEADBEEF;

class QueryInterfaceVersionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_TRUE(HostWinAddPrinter(kRestrictedPrinter, nullptr, HOSTWIN_PRINTER_DENY_ALL_ACCESS));
        printers = HostWinOpenHandleCount("printer");
        blocks = HostWinOpenHandleCount("local");
    }
    void TearDown() override
    {
        HostWinClearFaults();
        EXPECT_EQ(printers, HostWinOpenHandleCount("printer"));
        EXPECT_EQ(blocks, HostWinOpenHandleCount("local"));
    }

    void SetOverride(DWORD type, const Bytes &bytes)
    {
        HANDLE handle = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinter), &handle, &defaults));
        Bytes data(bytes);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  SetPrinterDataW(handle, const_cast<LPWSTR>(kPrinterDataVersionOverride), type,
                                  data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())));
        ClosePrinter(handle);
    }

    DWORD Query(const WCHAR *printer, DWORD *version) { return QueryInterfaceVersion(printer, version); }

    long printers = 0;
    long blocks = 0;
};

TEST_F(QueryInterfaceVersionTest, NullVersionPointerIs16)
{
    EXPECT_EQ(ConvertAPINoVersionPointer, Query(kPrinter, nullptr));
    EXPECT_EQ(ConvertAPINoVersionPointer, Query(nullptr, nullptr));
}

TEST_F(QueryInterfaceVersionTest, NoOverrideGivesFour)
{
    SetOverride(REG_SZ, BytesOf(TEXT("9"), true));  // on the other printer only: must not matter
    for (const WCHAR *printer : {static_cast<const WCHAR *>(nullptr), kRestrictedPrinter,
                                 static_cast<const WCHAR *>(TEXT("No Such Printer"))}) {
        DWORD version = kUntouched;
        EXPECT_EQ(ConvertAPISuccess, Query(printer, &version));
        EXPECT_EQ(4u, version);
    }
}

TEST_F(QueryInterfaceVersionTest, PrinterWithoutTheValueGivesFour)
{
    DWORD version = kUntouched;
    EXPECT_EQ(ConvertAPISuccess, Query(kPrinter, &version));
    EXPECT_EQ(4u, version);
}

struct StoredCase {
    const char *label;
    DWORD type;
    Bytes bytes;
    DWORD result;
    DWORD version;
};
void PrintTo(const StoredCase &c, std::ostream *out) { *out << c.label; }

class StoredOverride : public QueryInterfaceVersionTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredOverride, IsReadAsText)
{
    const StoredCase &c = GetParam();
    SetOverride(c.type, c.bytes);
    DWORD version = kUntouched;
    EXPECT_EQ(c.result, Query(kPrinter, &version));
    EXPECT_EQ(c.version, version);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredOverride,
    ::testing::Values(StoredCase{"seven", REG_SZ, BytesOf(TEXT("7"), true), ConvertAPISuccess, 7u},
                      StoredCase{"unterminated", REG_BINARY, BytesOf(TEXT("12")), ConvertAPISuccess, 12u},
                      StoredCase{"onlyTheTerminator", REG_SZ, Bytes{0, 0}, ConvertAPISuccess, 0u},
                      StoredCase{"oddByteCount", REG_BINARY, Bytes{'8', 0, '9'}, ConvertAPISuccess, 8u},
                      StoredCase{"dwordSeven", REG_DWORD, Bytes{7, 0, 0, 0}, ConvertAPISuccess, 0u},
                      StoredCase{"minusOne", REG_SZ, BytesOf(TEXT("-1"), true), ConvertAPISuccess, 0xFFFFFFFFu},
                      StoredCase{"zeroBytes", REG_BINARY, Bytes{}, ConvertAPIOverrideNotSized, kUntouched}),
    [](const ::testing::TestParamInfo<StoredCase> &info) { return std::string(info.param.label); });

struct FaultCase {
    const char *label;
    const char *target;
    long nth;
    DWORD result;
};
void PrintTo(const FaultCase &c, std::ostream *out) { *out << c.label; }

class OverrideFaults : public QueryInterfaceVersionTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(OverrideFaults, LeaveTheVersionUnwrittenAndReleaseEverything)
{
    const FaultCase &c = GetParam();
    SetOverride(REG_SZ, BytesOf(TEXT("7"), true));
    DWORD version = kUntouched;
    HostWinInjectFault(c.target, c.nth);
    EXPECT_EQ(c.result, Query(kPrinter, &version));
    HostWinClearFaults();
    EXPECT_EQ(kUntouched, version);
}

INSTANTIATE_TEST_SUITE_P(Cases, OverrideFaults,
                         ::testing::Values(FaultCase{"sizeQuery", "GetPrinterDataW", 1, ConvertAPIOverrideNotSized},
                                           FaultCase{"read", "GetPrinterDataW", 2, ConvertAPIOverrideNotRead},
                                           FaultCase{"buffer", "alloc", 1, ConvertAPIOverrideNoMemory}),
                         [](const ::testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.label); });

}  // namespace
}  // namespace convertapi
