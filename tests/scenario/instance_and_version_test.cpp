// InitializeConvertAPI, GetConvertAPIVersion and GetConvertAPIVersionEx
// through the exports, on the stand-in printer and ticket library.
#include "convertapi.h"
#include "tests/support/scenario_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

using scenario::WString;

const GUID kSentinel = {0x5E5E5E5E, 0x5E5E, 0x5E5E, {0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E}};
const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const WCHAR kOverrideName[] = TEXT("QXConvertAPIVersionOverride");

bool SameGuid(const GUID &a, const GUID &b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

class InstanceTest : public scenario::ScenarioTest {};

TEST_F(InstanceTest, BindsAValidPrinterAndHandsOutAFreshGuid)
{
    GUID first = kSentinel;
    ASSERT_EQ(ConvertAPISuccess, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &first));
    EXPECT_FALSE(SameGuid(first, kNull));
    EXPECT_FALSE(SameGuid(first, kSentinel));
    EXPECT_EQ(ConvertAPISuccess, KillConvertAPI(first));

    GUID second = kSentinel;
    ASSERT_EQ(ConvertAPISuccess, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &second));
    EXPECT_FALSE(SameGuid(first, second));
    EXPECT_EQ(ConvertAPISuccess, KillConvertAPI(second));
}

TEST_F(InstanceTest, RepeatedInitializeWithoutKillRebinds)
{
    GUID first = kNull, second = kNull;
    ASSERT_EQ(ConvertAPISuccess, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &first));
    ASSERT_EQ(ConvertAPISuccess, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &second));
    EXPECT_FALSE(SameGuid(first, second));
    EXPECT_EQ(ConvertAPISuccess, KillConvertAPI(second));
}

TEST_F(InstanceTest, NullOutPointerIsRefusedBeforeAnythingElse)
{
    EXPECT_EQ(ConvertAPINoGuidPointer, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), nullptr));
    // Not even the binding is tried: null strings would make it fail with 22.
    EXPECT_EQ(ConvertAPINoGuidPointer, InitializeConvertAPI(nullptr, nullptr, nullptr));
}

TEST_F(InstanceTest, NullOutPointerLeavesAnEarlierBindingInPlace)
{
    GUID guid = kNull;
    ASSERT_EQ(ConvertAPISuccess, InitializeConvertAPI(scenario::PrinterName(), scenario::TicketLibraryPath(), &guid));
    ASSERT_EQ(ConvertAPINoGuidPointer, InitializeConvertAPI(nullptr, nullptr, nullptr));
    // Still bound: a ticket can be read through the instance.
    EXPECT_EQ(ConvertAPISuccess, ReadTicket(1, scenario::DataPath("tickets/flat.xml").c_str(), guid));
    EXPECT_EQ(ConvertAPISuccess, KillConvertAPI(guid));
}

struct BindingFailure {
    const char *label;
    const WCHAR *(*printer)();
    WString (*library)();
};
void PrintTo(const BindingFailure &c, std::ostream *out) { *out << c.label; }

WString StandinLibrary() { return scenario::TicketLibraryPath(); }
WString NoLibrary() { return scenario::TempFilePath("no-such-ticketlib.dll"); }
// 260 characters: one more than the ticket library client keeps.
WString OverlongLibrary()
{
    WString path = scenario::TicketLibraryPath();
    path.resize(260, TEXT('x'));
    return path;
}
const WCHAR *NullPrinter() { return nullptr; }
const WCHAR *UnknownPrinter() { return TEXT("No Such Printer"); }

class FailedBinding : public InstanceTest, public ::testing::WithParamInterface<BindingFailure> {};

TEST_P(FailedBinding, Returns22WithTheGuidAlreadyStored)
{
    const BindingFailure &c = GetParam();
    WString library = c.library();
    GUID guid = kSentinel;
    EXPECT_EQ(ConvertAPINotOpened, InitializeConvertAPI(c.printer(), library.c_str(), &guid));
    EXPECT_FALSE(SameGuid(guid, kSentinel));
    EXPECT_FALSE(SameGuid(guid, kNull));
    EXPECT_EQ(ConvertAPISuccess, KillConvertAPI(guid));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedBinding,
    ::testing::Values(BindingFailure{"nullPrinter", NullPrinter, StandinLibrary},
                      BindingFailure{"unknownPrinter", UnknownPrinter, StandinLibrary},
                      BindingFailure{"printerRefusesFullAccess", scenario::RestrictedPrinterName, StandinLibrary},
                      BindingFailure{"libraryPathOf260", scenario::PrinterName, OverlongLibrary},
                      BindingFailure{"libraryMissing", scenario::PrinterName, NoLibrary}),
    [](const ::testing::TestParamInfo<BindingFailure> &info) { return std::string(info.param.label); });

TEST(Version, IsFour)
{
    DWORD version = 0;
    EXPECT_EQ(ConvertAPISuccess, GetConvertAPIVersion(&version));
    EXPECT_EQ(4u, version);
    EXPECT_EQ(ConvertAPINoVersionPointer, GetConvertAPIVersion(nullptr));
}

class VersionExTest : public scenario::ScenarioTest {
protected:
    void SetOverride(DWORD type, std::vector<BYTE> data)
    {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<WCHAR *>(scenario::PrinterName()), &printer, &defaults));
        DWORD status = SetPrinterDataW(printer, const_cast<WCHAR *>(kOverrideName), type,
                                       data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size()));
        ClosePrinter(printer);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), status);
    }
    static std::vector<BYTE> Text(const WCHAR *text)
    {
        std::vector<BYTE> bytes;
        do {
            bytes.push_back(static_cast<BYTE>(*text & 0xFF));
            bytes.push_back(static_cast<BYTE>((*text >> 8) & 0xFF));
        } while (*text++ != 0);
        return bytes;
    }
    DWORD Version(const WCHAR *printer, DWORD *result)
    {
        DWORD version = 0xDEADBEEF;
        *result = GetConvertAPIVersionEx(&version, printer);
        return version;
    }
};

TEST_F(VersionExTest, NullVersionPointerIs16)
{
    EXPECT_EQ(ConvertAPINoVersionPointer, GetConvertAPIVersionEx(nullptr, scenario::PrinterName()));
    EXPECT_EQ(ConvertAPINoVersionPointer, GetConvertAPIVersionEx(nullptr, nullptr));
}

TEST_F(VersionExTest, WithoutAnOverrideItIsFour)
{
    SetOverride(REG_SZ, Text(TEXT("9")));  // only on the full-access printer
    DWORD result = 99;
    EXPECT_EQ(4u, Version(nullptr, &result));
    EXPECT_EQ(ConvertAPISuccess, result);
    EXPECT_EQ(4u, Version(scenario::RestrictedPrinterName(), &result));
    EXPECT_EQ(ConvertAPISuccess, result);
    EXPECT_EQ(4u, Version(TEXT("No Such Printer"), &result));
    EXPECT_EQ(ConvertAPISuccess, result);
}

TEST_F(VersionExTest, PrinterWithoutTheValueIsFour)
{
    DWORD result = 99;
    EXPECT_EQ(4u, Version(scenario::PrinterName(), &result));
    EXPECT_EQ(ConvertAPISuccess, result);
}

TEST_F(VersionExTest, OverrideTextIsTheVersion)
{
    DWORD result = 99;
    SetOverride(REG_SZ, Text(TEXT("7")));
    EXPECT_EQ(7u, Version(scenario::PrinterName(), &result));
    EXPECT_EQ(ConvertAPISuccess, result);

    SetOverride(REG_SZ, Text(TEXT("  +12abc")));
    EXPECT_EQ(12u, Version(scenario::PrinterName(), &result));

    SetOverride(REG_SZ, Text(TEXT("-1")));
    EXPECT_EQ(0xFFFFFFFFu, Version(scenario::PrinterName(), &result));
}

TEST_F(VersionExTest, OnlyTheTerminatorIsZero)
{
    DWORD result = 99;
    SetOverride(REG_SZ, Text(TEXT("")));
    EXPECT_EQ(0u, Version(scenario::PrinterName(), &result));
    EXPECT_EQ(ConvertAPISuccess, result);
}

TEST_F(VersionExTest, DwordValueReadsAsTextAndGivesZero)
{
    DWORD result = 99;
    SetOverride(REG_DWORD, {7, 0, 0, 0});
    EXPECT_EQ(0u, Version(scenario::PrinterName(), &result));
    EXPECT_EQ(ConvertAPISuccess, result);
}

TEST_F(VersionExTest, ValueOfZeroBytesCannotBeSized)
{
    DWORD result = 99;
    SetOverride(REG_BINARY, {});
    EXPECT_EQ(0xDEADBEEFu, Version(scenario::PrinterName(), &result));
    EXPECT_EQ(ConvertAPIOverrideNotSized, result);
}

}  // namespace
