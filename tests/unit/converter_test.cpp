#include "convertapi/engine/converter.h"

#include "convertapi/ticketlib/ticket_library.h"
#include "hostwin/control.h"
#include "tests/unit/fake_ticketlib/fake_library.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace convertapi {
namespace {

using fake::WString;

const WCHAR kPrinter[] = TEXT("Converter Printer");
const WCHAR kRestrictedPrinter[] = TEXT("Converter Restricted");

WString Text(const WCHAR *text) { return text != nullptr ? WString(text) : WString(TEXT("<null>")); }

// Open handles of the kinds a Converter holds, to see that nothing is left.
struct HandleCounts {
    HandleCounts() : printers(HostWinOpenHandleCount("printer")), modules(HostWinOpenHandleCount("module")) {}
    bool operator==(const HandleCounts &other) const { return printers == other.printers && modules == other.modules; }
    long printers;
    long modules;
};

std::ostream &operator<<(std::ostream &out, const HandleCounts &counts)
{
    return out << "{printers " << counts.printers << ", modules " << counts.modules << "}";
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_TRUE(HostWinAddPrinter(kRestrictedPrinter, nullptr, HOSTWIN_PRINTER_DENY_ALL_ACCESS));
        ASSERT_TRUE(fake.Loaded()) << "fake ticket library did not load";
    }
    void TearDown() override { HostWinClearFaults(); }

    fake::Library fake;
};

TEST_F(ConverterTest, FreshConverterIsZeroAndDestroysWithoutClosingAnything)
{
    long closes = HostWinCallCount("ClosePrinter");
    long frees = HostWinCallCount("FreeLibrary");
    {
        Converter converter;
        EXPECT_EQ(0, converter.exportMode);
        EXPECT_EQ(0u, converter.ticketType);
        EXPECT_EQ(nullptr, converter.printerName);
        EXPECT_EQ(nullptr, converter.ticketPath);
        EXPECT_EQ(nullptr, converter.ticketManager);
        EXPECT_EQ(nullptr, converter.currentSection);
        EXPECT_EQ(nullptr, converter.ticketLibrary);
        EXPECT_EQ(nullptr, converter.printer);
    }
    EXPECT_EQ(closes, HostWinCallCount("ClosePrinter"));
    EXPECT_EQ(frees, HostWinCallCount("FreeLibrary"));
}

// The three string setters behave alike, each on its own field.
struct SetterCase {
    const char *label;
    int (Converter::*set)(const WCHAR *);
    WCHAR *Converter::*field;
};
void PrintTo(const SetterCase &c, std::ostream *out) { *out << c.label; }

class StringSetters : public ConverterTest, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(StringSetters, CopyRefuseNullAndLoseTheOldValueOnEmpty)
{
    const SetterCase &c = GetParam();
    Converter converter;
    const WCHAR text[] = TEXT("C:\\tickets\\one.xml");
    ASSERT_EQ(1, (converter.*c.set)(text));
    EXPECT_EQ(WString(text), Text(converter.*c.field));
    EXPECT_NE(static_cast<const WCHAR *>(text), converter.*c.field);

    EXPECT_EQ(0, (converter.*c.set)(nullptr));
    EXPECT_EQ(WString(text), Text(converter.*c.field));

    EXPECT_EQ(0, (converter.*c.set)(TEXT("")));
    EXPECT_EQ(nullptr, converter.*c.field);

    ASSERT_EQ(1, (converter.*c.set)(TEXT("again")));
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, (converter.*c.set)(TEXT("lost")));
    HostWinClearFaults();
    EXPECT_EQ(nullptr, converter.*c.field);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StringSetters,
    ::testing::Values(SetterCase{"printerName", &Converter::SetPrinterName, &Converter::printerName},
                      SetterCase{"ticketPath", &Converter::SetTicketPath, &Converter::ticketPath},
                      SetterCase{"ticketManager", &Converter::SetTicketManager, &Converter::ticketManager}),
    [](const ::testing::TestParamInfo<SetterCase> &info) { return std::string(info.param.label); });

TEST_F(ConverterTest, TicketTypeAndExportModeTakeAnyValue)
{
    Converter converter;
    for (DWORD type : {DWORD{0}, DWORD{7}, DWORD{0xFFFFFFFF}}) {
        EXPECT_EQ(1, converter.SetTicketType(type));
        EXPECT_EQ(type, converter.ticketType);
    }
    converter.SetExportMode(1);
    EXPECT_EQ(1, converter.IsExportMode());
    converter.SetExportMode(0);
    EXPECT_EQ(0, converter.IsExportMode());
}

TEST_F(ConverterTest, DuplicateStringMakesAnExactCopy)
{
    WCHAR *target = nullptr;
    ASSERT_EQ(1, Converter::DuplicateString(TEXT("x"), &target));
    EXPECT_EQ(TEXT('x'), target[0]);
    EXPECT_EQ(0, target[1]);
    ASSERT_EQ(1, Converter::DuplicateString(TEXT("replaced"), &target));
    EXPECT_EQ(WString(TEXT("replaced")), WString(target));
    delete[] target;
}

TEST_F(ConverterTest, DuplicateStringFailuresLeaveTheTargetAlone)
{
    WCHAR *target = nullptr;
    ASSERT_EQ(1, Converter::DuplicateString(TEXT("kept"), &target));
    WCHAR *kept = target;
    EXPECT_EQ(0, Converter::DuplicateString(TEXT(""), &target));
    EXPECT_EQ(0, Converter::DuplicateString(nullptr, &target));
    EXPECT_EQ(0, Converter::DuplicateString(TEXT("x"), nullptr));
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, Converter::DuplicateString(TEXT("new"), &target));
    HostWinClearFaults();
    EXPECT_EQ(kept, target);
    EXPECT_EQ(WString(TEXT("kept")), WString(target));
    delete[] target;
}

struct PrinterCase {
    const char *label;
    const WCHAR *name;
    int administer;
    int result;
};
void PrintTo(const PrinterCase &c, std::ostream *out) { *out << c.label; }

class OpenPrinterHandleCases : public ConverterTest, public ::testing::WithParamInterface<PrinterCase> {};

TEST_P(OpenPrinterHandleCases, AskForFullAccessOnlyWhenAdministering)
{
    const PrinterCase &c = GetParam();
    HANDLE handle = nullptr;
    EXPECT_EQ(c.result, Converter::OpenPrinterHandle(c.name, &handle, c.administer));
    EXPECT_EQ(c.result == 1, handle != nullptr);
    if (handle != nullptr) ClosePrinter(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpenPrinterHandleCases,
    ::testing::Values(PrinterCase{"fullAccess", kPrinter, 1, 1}, PrinterCase{"restrictedRefusesFull", kRestrictedPrinter, 1, 0},
                      PrinterCase{"restrictedWithoutAdminister", kRestrictedPrinter, 0, 1},
                      PrinterCase{"unknownPrinter", TEXT("No Such Printer"), 1, 0},
                      PrinterCase{"nullName", nullptr, 1, 0}),
    [](const ::testing::TestParamInfo<PrinterCase> &info) { return std::string(info.param.label); });

TEST_F(ConverterTest, OpenPrinterHandleNeedsAPlaceForTheHandle)
{
    EXPECT_EQ(0, Converter::OpenPrinterHandle(kPrinter, nullptr, 1));
}

TEST_F(ConverterTest, OpenBindsPrinterAndTicketLibrary)
{
    HandleCounts before;
    Converter converter;
    ASSERT_EQ(1, converter.Open(kPrinter, fake.Path()));
    EXPECT_EQ(WString(kPrinter), Text(converter.printerName));
    EXPECT_EQ(WString(fake.Path()), Text(converter.ticketManager));
    ASSERT_NE(nullptr, converter.printer);
    ASSERT_NE(nullptr, converter.ticketLibrary);
    EXPECT_EQ(WString(kPrinter), Text(converter.ticketLibrary->printerName));
    EXPECT_NE(converter.printerName, converter.ticketLibrary->printerName);  // its own copy
    EXPECT_NE(nullptr, converter.ticketLibrary->module);
    EXPECT_EQ(before.printers + 1, HostWinOpenHandleCount("printer"));

    converter.SetExportMode(1);
    converter.SetTicketType(3);
    ASSERT_EQ(1, converter.SetTicketPath(TEXT("t.xml")));
    EXPECT_EQ(1, converter.Close());
    EXPECT_EQ(nullptr, converter.printerName);
    EXPECT_EQ(nullptr, converter.ticketPath);
    EXPECT_EQ(nullptr, converter.ticketManager);
    EXPECT_EQ(nullptr, converter.ticketLibrary);
    EXPECT_EQ(nullptr, converter.printer);
    EXPECT_EQ(1, converter.exportMode);  // Close leaves the request's parameters
    EXPECT_EQ(3u, converter.ticketType);
    EXPECT_EQ(before, HandleCounts());
    EXPECT_EQ(1, converter.Close());
}

TEST_F(ConverterTest, OpenWithNullArgumentsStoresNothing)
{
    Converter converter;
    EXPECT_EQ(0, converter.Open(kPrinter, nullptr));
    EXPECT_EQ(0, converter.Open(nullptr, fake.Path()));
    EXPECT_EQ(nullptr, converter.printerName);
    EXPECT_EQ(nullptr, converter.ticketManager);
    EXPECT_EQ(nullptr, converter.printer);
}

TEST_F(ConverterTest, NullArgumentsLeaveABoundConverterBound)
{
    Converter converter;
    ASSERT_EQ(1, converter.Open(kPrinter, fake.Path()));
    EXPECT_EQ(0, converter.Open(nullptr, fake.Path()));
    EXPECT_NE(nullptr, converter.printer);
    EXPECT_NE(nullptr, converter.ticketLibrary);
}

struct PartialCase {
    const char *label;
    const WCHAR *printer;
    bool useLibrary;  // the fake; otherwise a path that does not load
    bool printerOpen;
    bool libraryCreated;
};
void PrintTo(const PartialCase &c, std::ostream *out) { *out << c.label; }

class PartialBinding : public ConverterTest, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(PartialBinding, KeepsWhatItReachedUntilClose)
{
    const PartialCase &c = GetParam();
    HandleCounts before;
    {
        Converter converter;
        const WCHAR *library = c.useLibrary ? fake.Path() : TEXT("/nonexistent/ticketlib.so");
        EXPECT_EQ(0, converter.Open(c.printer, library));
        EXPECT_EQ(WString(c.printer), Text(converter.printerName));
        EXPECT_EQ(WString(library), Text(converter.ticketManager));
        EXPECT_EQ(c.printerOpen, converter.printer != nullptr);
        EXPECT_EQ(c.libraryCreated, converter.ticketLibrary != nullptr);
        EXPECT_EQ(1, converter.Close());
        EXPECT_EQ(before, HandleCounts());
    }
    EXPECT_EQ(before, HandleCounts());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PartialBinding,
    ::testing::Values(PartialCase{"unknownPrinter", TEXT("No Such Printer"), true, false, false},
                      PartialCase{"printerRefusesFullAccess", kRestrictedPrinter, true, false, false},
                      PartialCase{"libraryDoesNotLoad", kPrinter, false, true, true}),
    [](const ::testing::TestParamInfo<PartialCase> &info) { return std::string(info.param.label); });

TEST_F(ConverterTest, LibraryMissingAnEntryPointStaysLoadedUntilClose)
{
    fake::Library partial(fake::PartialPath());
    ASSERT_TRUE(partial.Loaded());
    HandleCounts before;
    Converter converter;
    EXPECT_EQ(0, converter.Open(kPrinter, partial.Path()));
    ASSERT_NE(nullptr, converter.ticketLibrary);
    EXPECT_NE(nullptr, converter.ticketLibrary->module);
    EXPECT_EQ(before.modules + 1, HostWinOpenHandleCount("module"));
    converter.Close();
    EXPECT_EQ(before, HandleCounts());
}

TEST_F(ConverterTest, RepeatedOpenReleasesTheEarlierBinding)
{
    HandleCounts before;
    Converter converter;
    ASSERT_EQ(1, converter.Open(kPrinter, fake.Path()));
    ASSERT_EQ(1, converter.Open(kPrinter, fake.Path()));
    EXPECT_EQ(before.printers + 1, HostWinOpenHandleCount("printer"));
    EXPECT_EQ(before.modules + 1, HostWinOpenHandleCount("module"));
    // A failing rebind releases the earlier binding too.
    EXPECT_EQ(0, converter.Open(TEXT("No Such Printer"), fake.Path()));
    EXPECT_EQ(before, HandleCounts());
}

TEST_F(ConverterTest, OwnStringsCanBeHandedBack)
{
    HandleCounts before;
    Converter converter;
    ASSERT_EQ(1, converter.SetTicketPath(TEXT("C:\\t.xml")));
    ASSERT_EQ(1, converter.SetTicketPath(converter.ticketPath));
    EXPECT_EQ(WString(TEXT("C:\\t.xml")), Text(converter.ticketPath));

    ASSERT_EQ(1, converter.Open(kPrinter, fake.Path()));
    ASSERT_EQ(1, converter.Open(converter.printerName, converter.ticketManager));
    EXPECT_EQ(WString(kPrinter), Text(converter.printerName));
    EXPECT_EQ(WString(fake.Path()), Text(converter.ticketManager));
    converter.Close();
    EXPECT_EQ(before, HandleCounts());
}

TEST_F(ConverterTest, FailedOpenPrinterCreatesNoTicketLibrary)
{
    Converter converter;
    HostWinInjectFault("OpenPrinterW", 1);
    EXPECT_EQ(0, converter.Open(kPrinter, fake.Path()));
    HostWinClearFaults();
    EXPECT_EQ(nullptr, converter.printer);
    EXPECT_EQ(nullptr, converter.ticketLibrary);
}

TEST_F(ConverterTest, EveryAllocationFailureIsAFailedOpenThatLeaksNothing)
{
    HandleCounts before;
    bool opened = false;
    for (long nth = 1; nth <= 20 && !opened; ++nth) {
        Converter converter;
        HostWinInjectFault("alloc", nth);
        opened = converter.Open(kPrinter, fake.Path()) == 1;
        HostWinClearFaults();
        converter.Close();
        EXPECT_EQ(before, HandleCounts()) << "failing allocation " << nth;
    }
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace convertapi
