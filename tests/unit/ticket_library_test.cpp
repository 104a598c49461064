#include "convertapi/ticketlib/ticket_library.h"

#include "convertapi/common/constants.h"
#include "hostwin/control.h"
#include "tests/unit/fake_ticketlib/fake_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <ostream>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using fake::WString;
using Names = std::vector<std::string>;

// The TicketLibrary only checks the printer handle for null; it never uses it.
const HANDLE kPrinter = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5150));
const WCHAR kPrinterName[] = TEXT("Fake Printer");

WString Repeat(WCHAR c, size_t count) { return WString(count, c); }

class TicketLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(fake.Loaded()) << "fake ticket library did not load";
    }
    void TearDown() override { HostWinClearFaults(); }

    int OpenFake(TicketLibrary &library) { return library.Open(kPrinter, kPrinterName, fake.Path()); }

    fake::Library fake;
};

TEST_F(TicketLibraryTest, ConstructionLeavesEverythingEmpty)
{
    TicketLibrary library;
    EXPECT_EQ(2, library.startConfigValue);
    EXPECT_EQ(nullptr, library.module);
    EXPECT_EQ(nullptr, library.libraryPath);
    EXPECT_EQ(nullptr, library.printerName);
    EXPECT_EQ(nullptr, library.contextPath);
    EXPECT_EQ(nullptr, library.featureList);
    EXPECT_EQ(0u, library.contextStackSize);
    for (FARPROC slot : library.entryPoints) EXPECT_EQ(nullptr, slot);
}

TEST_F(TicketLibraryTest, EntryPointNamesAreTheFiftyFiveInSlotOrder)
{
    std::set<std::string> distinct(kEntryPointNames, kEntryPointNames + kEntryPointCount);
    EXPECT_EQ(55u, distinct.size());
    // The eight that are called, and the first and last slot.
    EXPECT_STREQ("DllRegisterServer", kEntryPointNames[kDllRegisterServer]);
    EXPECT_STREQ("DllUnregisterServer", kEntryPointNames[kDllUnregisterServer]);
    EXPECT_STREQ("ZELStartConfig", kEntryPointNames[kZELStartConfig]);
    EXPECT_STREQ("ZELEndConfig", kEntryPointNames[kZELEndConfig]);
    EXPECT_STREQ("ZELSetContext", kEntryPointNames[kZELSetContext]);
    EXPECT_STREQ("ZELGet", kEntryPointNames[kZELGet]);
    EXPECT_STREQ("ZELEnumFeatures", kEntryPointNames[kZELEnumFeatures]);
    EXPECT_STREQ("ZELEnumListToken", kEntryPointNames[kZELEnumListToken]);
    EXPECT_STREQ("ZELSetListSeparator", kEntryPointNames[kZELSetListSeparator]);
    EXPECT_STREQ("ZELEnumChildElementText", kEntryPointNames[kEntryPointCount - 1]);
    EXPECT_EQ(36, kZELSetListSeparator);
}

TEST_F(TicketLibraryTest, OpenResolvesEverySlotByNameWithoutCallingAny)
{
    TicketLibrary library;
    ASSERT_EQ(1, OpenFake(library));
    EXPECT_NE(nullptr, library.module);
    ASSERT_NE(nullptr, library.printerName);
    EXPECT_EQ(WString(kPrinterName), WString(library.printerName));
    EXPECT_NE(static_cast<const WCHAR *>(kPrinterName), library.printerName);  // a copy
    ASSERT_NE(nullptr, library.libraryPath);
    EXPECT_EQ(WString(fake.Path()), WString(library.libraryPath));
    for (int slot = 0; slot < kEntryPointCount; ++slot)
        EXPECT_EQ(GetProcAddress(fake.Module(), kEntryPointNames[slot]), library.entryPoints[slot])
            << kEntryPointNames[slot];
    EXPECT_EQ(0u, library.contextStackSize);
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketLibraryTest, OpenWithoutPrinterHandleStoresNothing)
{
    TicketLibrary library;
    long loads = HostWinCallCount("LoadLibraryW");
    EXPECT_EQ(0, library.Open(nullptr, kPrinterName, fake.Path()));
    EXPECT_EQ(nullptr, library.printerName);
    EXPECT_EQ(nullptr, library.libraryPath);
    EXPECT_EQ(nullptr, library.module);
    EXPECT_EQ(loads, HostWinCallCount("LoadLibraryW"));
}

TEST_F(TicketLibraryTest, OpenWithoutPrinterNameStoresNothing)
{
    TicketLibrary library;
    EXPECT_EQ(0, library.Open(kPrinter, nullptr, fake.Path()));
    EXPECT_EQ(nullptr, library.printerName);
    EXPECT_EQ(nullptr, library.libraryPath);
    EXPECT_EQ(nullptr, library.module);
}

TEST_F(TicketLibraryTest, OpenWithoutLibraryPathKeepsThePrinterNameOnly)
{
    TicketLibrary library;
    EXPECT_EQ(0, library.Open(kPrinter, kPrinterName, nullptr));
    EXPECT_NE(nullptr, library.printerName);
    EXPECT_EQ(nullptr, library.libraryPath);
    EXPECT_EQ(nullptr, library.module);
}

TEST_F(TicketLibraryTest, PrinterNameOf259IsTakenAnd260IsRefused)
{
    TicketLibrary accepted;
    WString name259 = Repeat(TEXT('p'), 259);
    EXPECT_EQ(1, accepted.Open(kPrinter, name259.c_str(), fake.Path()));

    TicketLibrary refused;
    WString name260 = Repeat(TEXT('p'), 260);
    long loads = HostWinCallCount("LoadLibraryW");
    EXPECT_EQ(0, refused.Open(kPrinter, name260.c_str(), fake.Path()));
    EXPECT_EQ(nullptr, refused.printerName);
    EXPECT_EQ(nullptr, refused.module);
    EXPECT_EQ(loads, HostWinCallCount("LoadLibraryW"));
}

TEST_F(TicketLibraryTest, LibraryPathOf260IsRefusedBeforeLoading)
{
    TicketLibrary library;
    WString path260 = Repeat(TEXT('l'), 260);
    long loads = HostWinCallCount("LoadLibraryW");
    EXPECT_EQ(0, library.Open(kPrinter, kPrinterName, path260.c_str()));
    EXPECT_EQ(nullptr, library.libraryPath);
    EXPECT_EQ(nullptr, library.module);
    EXPECT_EQ(loads, HostWinCallCount("LoadLibraryW"));
}

TEST_F(TicketLibraryTest, LibraryThatDoesNotLoadFailsOpen)
{
    TicketLibrary library;
    EXPECT_EQ(0, library.Open(kPrinter, kPrinterName, TEXT("/nonexistent/ticketlib.so")));
    EXPECT_EQ(nullptr, library.module);
    EXPECT_NE(nullptr, library.libraryPath);
    for (FARPROC slot : library.entryPoints) EXPECT_EQ(nullptr, slot);
}

TEST_F(TicketLibraryTest, MissingUncalledEntryPointFailsOpenAndStaysLoadedUntilDestruction)
{
    fake::Library partial(fake::PartialPath());
    ASSERT_TRUE(partial.Loaded());
    long modulesBefore = HostWinOpenHandleCount("module");
    {
        TicketLibrary library;
        EXPECT_EQ(0, library.Open(kPrinter, kPrinterName, partial.Path()));
        EXPECT_NE(nullptr, library.module);
        EXPECT_EQ(modulesBefore + 1, HostWinOpenHandleCount("module"));
        for (int slot = 0; slot < kEntryPointCount; ++slot) {
            if (slot == kZELSetListSeparator)
                EXPECT_EQ(nullptr, library.entryPoints[slot]);
            else
                EXPECT_NE(nullptr, library.entryPoints[slot]) << kEntryPointNames[slot];
        }
        EXPECT_TRUE(partial.CallNames().empty());
    }
    EXPECT_EQ(modulesBefore, HostWinOpenHandleCount("module"));
}

TEST_F(TicketLibraryTest, ResolveWithoutModuleFails)
{
    TicketLibrary library;
    EXPECT_EQ(0, library.ResolveEntryPoints());
}

TEST_F(TicketLibraryTest, SecondOpenReleasesTheFirstModule)
{
    long modulesBefore = HostWinOpenHandleCount("module");
    TicketLibrary library;
    ASSERT_EQ(1, OpenFake(library));
    ASSERT_EQ(1, OpenFake(library));
    EXPECT_EQ(modulesBefore + 1, HostWinOpenHandleCount("module"));
    EXPECT_NE(nullptr, library.entryPoints[kZELGet]);
}

TEST_F(TicketLibraryTest, CloseUnloadsReleasesAndClearsTheSlots)
{
    long modulesBefore = HostWinOpenHandleCount("module");
    TicketLibrary library;
    ASSERT_EQ(1, OpenFake(library));
    EXPECT_EQ(1, library.Close());
    EXPECT_EQ(modulesBefore, HostWinOpenHandleCount("module"));
    EXPECT_EQ(nullptr, library.module);
    EXPECT_EQ(nullptr, library.printerName);
    EXPECT_EQ(nullptr, library.libraryPath);
    for (FARPROC slot : library.entryPoints) EXPECT_EQ(nullptr, slot);
    // Nothing is left to reach the unloaded module through.
    EXPECT_EQ(0, library.BeginTicket(TEXT("t.xml")));
    EXPECT_EQ(0, library.EndTicket());
    EXPECT_EQ(1, library.Close());
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketLibraryTest, OpenFailsCleanlyWhenACopyCannotBeAllocated)
{
    for (long nth = 1; nth <= 2; ++nth) {
        TicketLibrary library;
        HostWinInjectFault("alloc", nth);
        EXPECT_EQ(0, OpenFake(library)) << nth;
        HostWinClearFaults();
        EXPECT_EQ(nullptr, library.module) << nth;
    }
}

class TicketBracketTest : public TicketLibraryTest {
protected:
    void SetUp() override
    {
        TicketLibraryTest::SetUp();
        ASSERT_EQ(1, OpenFake(library));
    }
    TicketLibrary library;
};

TEST_F(TicketBracketTest, BeginTicketRegistersThenStartsTheConfiguration)
{
    EXPECT_EQ(1, library.BeginTicket(TEXT("/tickets/one.xml")));
    EXPECT_EQ((Names{"DllRegisterServer", "ZELStartConfig"}), fake.CallNames());
    const fake::Call &start = fake.CallAt(1);
    EXPECT_EQ(WString(TEXT("/tickets/one.xml")), WString(start.text));
    EXPECT_EQ(4, start.mode);
    EXPECT_EQ(WString(TEXT("zel_driver")), WString(start.client));
    EXPECT_EQ(2, start.value);
}

TEST_F(TicketBracketTest, BeginTicketWithoutPathCallsNothing)
{
    EXPECT_EQ(0, library.BeginTicket(nullptr));
    EXPECT_TRUE(fake.CallNames().empty());
}

struct BeginCase {
    const char *label;
    HRESULT registerResult;
    LONG startResult;
    int result;
    Names calls;
};
void PrintTo(const BeginCase &c, std::ostream *out) { *out << c.label; }

class BeginTicketAnswers : public TicketBracketTest, public ::testing::WithParamInterface<BeginCase> {};

TEST_P(BeginTicketAnswers, FollowTheLibrary)
{
    const BeginCase &c = GetParam();
    fake.Answers().registerResult = c.registerResult;
    fake.Answers().startConfigResult = c.startResult;
    EXPECT_EQ(c.result, library.BeginTicket(TEXT("t.xml")));
    EXPECT_EQ(c.calls, fake.CallNames());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BeginTicketAnswers,
    ::testing::Values(
        BeginCase{"registerFails", static_cast<HRESULT>(0x80004005), 1, 0, {"DllRegisterServer"}},
        BeginCase{"registerSFalseCounts", 1, 1, 1, {"DllRegisterServer", "ZELStartConfig"}},
        // A failed start leaves the server registered: nothing unregisters it.
        BeginCase{"startFails", 0, 0, 0, {"DllRegisterServer", "ZELStartConfig"}},
        BeginCase{"startAnyNonZero", 0, -7, 1, {"DllRegisterServer", "ZELStartConfig"}}),
    [](const ::testing::TestParamInfo<BeginCase> &info) { return std::string(info.param.label); });

struct EndCase {
    const char *label;
    LONG endResult;
    HRESULT unregisterResult;
    int result;
};
void PrintTo(const EndCase &c, std::ostream *out) { *out << c.label; }

class EndTicketAnswers : public TicketBracketTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(EndTicketAnswers, AlwaysUnregisterAndReportThat)
{
    const EndCase &c = GetParam();
    fake.Answers().endConfigResult = c.endResult;
    fake.Answers().unregisterResult = c.unregisterResult;
    EXPECT_EQ(c.result, library.EndTicket());
    EXPECT_EQ((Names{"ZELEndConfig", "DllUnregisterServer"}), fake.CallNames());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EndTicketAnswers,
    ::testing::Values(EndCase{"bothSucceed", 1, 0, 1}, EndCase{"endConfigFails", 0, 0, 1},
                      EndCase{"unregisterFails", 1, static_cast<HRESULT>(0x80004005), 0},
                      EndCase{"unregisterSFalse", 1, 1, 1}),
    [](const ::testing::TestParamInfo<EndCase> &info) { return std::string(info.param.label); });

TEST_F(TicketLibraryTest, EndTicketWithoutPrinterNameCallsNothing)
{
    TicketLibrary library;
    EXPECT_EQ(0, library.EndTicket());
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST(TicketLibraryStoreString, CopiesExactlyAndReplaces)
{
    WCHAR *field = nullptr;
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, TEXT("first")));
    EXPECT_EQ(WString(TEXT("first")), WString(field));
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, TEXT("second")));
    EXPECT_EQ(WString(TEXT("second")), WString(field));
    delete[] field;
}

TEST(TicketLibraryStoreString, StoringTheFieldIntoItselfKeepsTheText)
{
    WCHAR *field = nullptr;
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, TEXT("Printing/Duplex")));
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, field));
    EXPECT_EQ(WString(TEXT("Printing/Duplex")), WString(field));
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, field + 9));  // its own tail
    EXPECT_EQ(WString(TEXT("Duplex")), WString(field));
    delete[] field;
}

TEST(TicketLibraryStoreString, RefusesNullsAndTooLongTexts)
{
    WCHAR *field = nullptr;
    EXPECT_EQ(0, TicketLibrary::StoreString(nullptr, TEXT("x")));
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, TEXT("kept")));
    EXPECT_EQ(0, TicketLibrary::StoreString(&field, nullptr));
    EXPECT_EQ(WString(TEXT("kept")), WString(field));

    WString text259(259, TEXT('a'));
    EXPECT_EQ(1, TicketLibrary::StoreString(&field, text259.c_str()));
    EXPECT_EQ(text259, WString(field));
    // Too long: the old text is gone and nothing takes its place.
    WString text260(260, TEXT('a'));
    EXPECT_EQ(0, TicketLibrary::StoreString(&field, text260.c_str()));
    EXPECT_EQ(nullptr, field);
}

TEST(TicketLibraryStoreString, FailedAllocationLeavesTheFieldEmpty)
{
    HostWinReset();
    WCHAR *field = nullptr;
    ASSERT_EQ(1, TicketLibrary::StoreString(&field, TEXT("old")));
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, TicketLibrary::StoreString(&field, TEXT("new")));
    HostWinClearFaults();
    EXPECT_EQ(nullptr, field);
    delete[] field;
}

TEST(TicketLibraryPrepareOutputBuffer, FillsAllButTheLastCharacter)
{
    WCHAR buffer[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(1, TicketLibrary::PrepareOutputBuffer(buffer, 4));
    EXPECT_EQ(0xFFFF, buffer[0]);
    EXPECT_EQ(0xFFFF, buffer[2]);
    EXPECT_EQ(0, buffer[3]);
    EXPECT_EQ(5, buffer[4]);  // beyond the capacity: untouched

    ASSERT_EQ(1, TicketLibrary::PrepareOutputBuffer(buffer, 1));
    EXPECT_EQ(0, buffer[0]);
    EXPECT_EQ(0xFFFF, buffer[1]);

    EXPECT_EQ(0, TicketLibrary::PrepareOutputBuffer(nullptr, 4));
    EXPECT_EQ(0, TicketLibrary::PrepareOutputBuffer(buffer, 0));
}

}  // namespace
}  // namespace convertapi
