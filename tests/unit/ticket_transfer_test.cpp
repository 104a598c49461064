#include "convertapi/common/constants.h"
#include "convertapi/engine/converter.h"
#include "convertapi/ticketlib/ticket_library.h"
#include "tests/unit/fake_ticketlib/fake_library.h"
#include "tests/unit/handshake_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using namespace handshake_test;

const WCHAR kPrinter[] = TEXT("Transfer Printer");
const WString kBase = TEXT("Software\\Varnholt\\QXProcIDTransfer");
const WString kPhysical = kBase + TEXT("\\CalvexDriverData\\Physical");
const WString kOptItems = kBase + TEXT("\\CalvexDriverData\\Printing\\OptItems");
const WString kDevModeItems = kBase + TEXT("\\CalvexDriverData\\Printing\\DevModeItems");

std::vector<NamedValue> Strings(std::initializer_list<std::pair<const WCHAR *, const WCHAR *>> pairs)
{
    std::vector<NamedValue> values;
    for (const auto &pair : pairs) values.push_back({pair.first, StringValue(pair.second)});
    return values;
}

// ---- WriteFeatureValue: where each feature lands ------------------------

class WriteFeatureValueTest : public ::testing::Test {
protected:
    void SetUp() override { HostWinReset(); }
    void TearDown() override
    {
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        HostWinReset();
    }
    Converter converter;
};

TEST_F(WriteFeatureValueTest, SectionAndNameChooseTheKey)
{
    struct Case {
        const WCHAR *section;
        const WCHAR *name;
        const WString *key;
    } cases[] = {
        {TEXT("Printing"), TEXT("Duplex"), &kDevModeItems},
        {TEXT("Printing"), TEXT("duplex"), &kDevModeItems},
        {TEXT("Printing"), TEXT("DuplexMode"), &kOptItems},  // whole names only
        {TEXT("Printing"), TEXT("Duple"), &kOptItems},
        {TEXT("Printing"), TEXT("MediaType"), &kOptItems},
        {TEXT("Printing"), TEXT("printquality"), &kDevModeItems},
        {TEXT("Printing"), TEXT("PRINTQUALITY"), &kDevModeItems},
        {TEXT("Printing"), TEXT("PrintQuality2"), &kOptItems},
        {TEXT("Physical"), TEXT("Duplex"), &kPhysical},
        {TEXT("Physical"), TEXT("MediaType"), &kPhysical},
        // The section is compared ignoring ASCII case too.
        {TEXT("PHYSICAL"), TEXT("Tray"), &kPhysical},
        {TEXT("printing"), TEXT("WMColor"), &kDevModeItems},
    };
    for (const Case &c : cases) {
        HostWinReset();
        converter.currentSection = c.section;
        ASSERT_EQ(converter.WriteFeatureValue(c.name, TEXT("v"), kBase.c_str()), 1) << Narrow(c.name);
        EXPECT_EQ(Values(*c.key), Strings({{c.name, TEXT("v")}})) << Narrow(c.section) << " " << Narrow(c.name);
    }
    converter.currentSection = nullptr;
}

TEST_F(WriteFeatureValueTest, EveryDevModeItemFeatureInAnyCase)
{
    const char *const names[] = {"Watermarks", "WMColor", "WMShadeLevel", "WMFontStyle", "WMFontEscapement",
                                 "WMCustomAngle", "WMFont", "WMFontSize", "Duplex", "DuplexEdge", "NUpBordersChoice",
                                 "NUpPageOrderChoice", "JobRetentionModeChoice", "FitToOtherSizeChoice",
                                 "ScalePageChoice", "ScaleChoice", "UseDiffFirstPageChoice", "BackCoverChoice",
                                 "BookletPrintingChoice", "QXTintwise", "WMFirstPageOnly", "PrintQuality"};
    converter.currentSection = kSectionPrinting;
    for (const char *name : names) {
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return static_cast<char>(std::toupper(c)); });
        for (const std::string &spelling : {std::string(name), upper})
            ASSERT_EQ(converter.WriteFeatureValue(Widen(spelling).c_str(), TEXT("1"), kBase.c_str()), 1) << spelling;
    }
    EXPECT_TRUE(KeyExists(kDevModeItems));
    EXPECT_FALSE(KeyExists(kOptItems));
    converter.currentSection = nullptr;
}

TEST_F(WriteFeatureValueTest, OnlyAsciiLettersAreFolded)
{
    // U+0130, a capital I with a dot, lowers to "i" in a locale-aware
    // comparison; here it is not "i", so this is not "QXTintwise".
    converter.currentSection = kSectionPrinting;
    ASSERT_EQ(converter.WriteFeatureValue(TEXT("QXT\x0130ntwise"), TEXT("1"), kBase.c_str()), 1);
    EXPECT_TRUE(KeyExists(kOptItems));
    EXPECT_FALSE(KeyExists(kDevModeItems));
    converter.currentSection = nullptr;
}

TEST_F(WriteFeatureValueTest, RefusesWhatItCannotPlace)
{
    const WString longBase = TEXT("Software\\Varnholt\\") + WString(220, TEXT('x'));  // + "\CalvexDriverData\Physical" > 255
    struct Case {
        const char *what;
        const WCHAR *section;
        const WCHAR *name;
        const WCHAR *value;
        const WCHAR *base;
    } cases[] = {
        {"no section", nullptr, TEXT("Duplex"), TEXT("v"), kBase.c_str()},
        {"unknown section", TEXT("Other"), TEXT("Duplex"), TEXT("v"), kBase.c_str()},
        {"no name", kSectionPrinting, nullptr, TEXT("v"), kBase.c_str()},
        {"no value", kSectionPrinting, TEXT("Duplex"), nullptr, kBase.c_str()},
        {"no base path", kSectionPrinting, TEXT("Duplex"), TEXT("v"), nullptr},
        {"path too long", kSectionPhysical, TEXT("Duplex"), TEXT("v"), longBase.c_str()},
    };
    for (const Case &c : cases) {
        converter.currentSection = c.section;
        EXPECT_EQ(converter.WriteFeatureValue(c.name, c.value, c.base), 0) << c.what;
    }
    converter.currentSection = nullptr;
    EXPECT_FALSE(KeyExists(TEXT("Software")));
}

TEST_F(WriteFeatureValueTest, ARegistryFailureIsAFailedWrite)
{
    converter.currentSection = kSectionPhysical;
    HostWinInjectFault("RegSetValueExW", 1);
    EXPECT_EQ(converter.WriteFeatureValue(TEXT("Duplex"), TEXT("v"), kBase.c_str()), 0);
}

// ---- TransferTicket over a scripted library: failure paths -------------

class TransferFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(fake.Loaded());
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_EQ(converter.Open(kPrinter, fake.Path()), 1);
        ASSERT_EQ(converter.SetTicketPath(TEXT("ticket.xml")), 1);
        fake.ForgetCalls();
    }
    void TearDown() override
    {
        converter.Close();
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        EXPECT_EQ(HostWinOpenHandleCount("printer"), 0);
        HostWinReset();
    }
    std::vector<std::string> ContextCalls()
    {
        std::vector<std::string> paths;
        for (int i = 0; i < fake.Answers().callCount && i < fake::kMaxCalls; ++i)
            if (std::string(fake.CallAt(i).name) == "ZELSetContext") paths.push_back(Narrow(fake.CallAt(i).text));
        return paths;
    }
    int Count(const char *name) const
    {
        std::vector<std::string> names = fake.CallNames();
        return static_cast<int>(std::count(names.begin(), names.end(), name));
    }

    fake::Library fake;
    Converter converter;
};

TEST_F(TransferFailureTest, NeedsATicketLibraryAndAPrinter)
{
    TicketLibrary *library = converter.ticketLibrary;
    converter.ticketLibrary = nullptr;
    EXPECT_EQ(converter.TransferTicket(kInstance), 0);
    converter.ticketLibrary = library;

    HANDLE printer = converter.printer;
    converter.printer = nullptr;
    EXPECT_EQ(converter.TransferTicket(kInstance), 0);
    converter.printer = printer;
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TransferFailureTest, ATicketThatDoesNotOpenWritesNothing)
{
    fake.Answers().startConfigResult = 0;
    EXPECT_EQ(converter.TransferTicket(kInstance), 0);
    EXPECT_EQ(Count("ZELSetContext"), 0);
    EXPECT_EQ(Count("ZELEndConfig"), 0);

    Converter withoutPath;
    ASSERT_EQ(withoutPath.Open(kPrinter, fake.Path()), 1);
    fake.ForgetCalls();
    EXPECT_EQ(withoutPath.TransferTicket(kInstance), 0);
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TransferFailureTest, APrintingSectionThatCannotBeEnteredStopsTheWalkButClosesTheTicket)
{
    fake.Answers().enumFeaturesResult = 0;
    EXPECT_EQ(converter.TransferTicket(kInstance), 0);
    EXPECT_EQ(ContextCalls(), std::vector<std::string>{"Printing"});
    // The ticket opened for the walk is closed again even though the walk failed.
    EXPECT_EQ(Count("ZELEndConfig"), 1);
    EXPECT_EQ(Count("DllUnregisterServer"), 1);
    EXPECT_EQ(converter.currentSection, kSectionPrinting);
}

TEST_F(TransferFailureTest, APhysicalSectionThatCannotBeEnteredKeepsThePrintingValues)
{
    fake::SetText(fake.Answers().failContextPath, fake::kTextCapacity, TEXT("Physical"));
    fake::SetText(fake.Answers().features, fake::kListCapacity, TEXT("Duplex"));
    fake::SetText(fake.Answers().value, fake::kValueCapacity, TEXT("LongEdge"));
    // Every level lists "Duplex" again; the descent ends where the joined
    // context path no longer fits.
    EXPECT_EQ(converter.TransferTicket(kNull), 0);
    EXPECT_EQ(Values(ProcessKey(kNull) + TEXT("\\CalvexDriverData\\Printing\\DevModeItems")),
              Strings({{TEXT("Duplex"), TEXT("LongEdge")}}));
    EXPECT_FALSE(KeyExists(ProcessKey(kNull) + TEXT("\\CalvexDriverData\\Physical")));
    EXPECT_EQ(converter.currentSection, kSectionPhysical);
}

TEST_F(TransferFailureTest, AValueThatCannotBeReadEndsOnlyItsLevel)
{
    fake::SetText(fake.Answers().features, fake::kListCapacity, TEXT("Duplex;MediaType"));
    fake.Answers().getResult = 0;
    EXPECT_EQ(converter.TransferTicket(kInstance), 1);
    EXPECT_EQ(ContextCalls(), (std::vector<std::string>{"Printing", "Physical"}));
    EXPECT_FALSE(KeyExists(ProcessKey(kInstance)));
    EXPECT_EQ(converter.currentSection, nullptr);
    EXPECT_EQ(Count("ZELEndConfig"), 1);
}

TEST_F(TransferFailureTest, ANestedLevelThatCannotBeEnteredEndsTheEnclosingLevel)
{
    // Printing lists "A;B"; descending into A fails. B is skipped, the
    // Physical section is still walked, and the context stack is balanced.
    fake::SetText(fake.Answers().features, fake::kListCapacity, TEXT("A;B"));
    fake::SetText(fake.Answers().value, fake::kValueCapacity, TEXT("v"));
    fake::SetText(fake.Answers().failContextPath, fake::kTextCapacity, TEXT("A"));
    EXPECT_EQ(converter.TransferTicket(kInstance), 1);
    EXPECT_EQ(Values(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Printing\\OptItems")),
              Strings({{TEXT("A"), TEXT("v")}}));
    EXPECT_EQ(Values(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Physical")), Strings({{TEXT("A"), TEXT("v")}}));
    EXPECT_EQ(converter.ticketLibrary->contextStackSize, 0u);
}

TEST_F(TransferFailureTest, AFailedEndOfTicketFailsTheTransfer)
{
    fake.Answers().unregisterResult = static_cast<HRESULT>(0x80004005);
    EXPECT_EQ(converter.TransferTicket(kInstance), 0);
}

// ---- TransferTicket over the stand-in ticket library -------------------

std::string DataFile(const char *name) { return std::string(CONVERTAPI_TEST_DATA_DIR) + "/tickets/" + name; }

class TransferTicketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_EQ(converter.Open(kPrinter, Widen(STANDIN_TICKETLIB_MODULE).c_str()), 1);
    }
    void TearDown() override
    {
        converter.Close();
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        HostWinReset();
    }
    int Transfer(const std::string &file, const GUID &guid)
    {
        if (!converter.SetTicketPath(Widen(file).c_str())) return -1;
        return converter.TransferTicket(guid);
    }
    std::string WriteTicket(const char *name, const char *xml)
    {
        std::string path = "/tmp/convertapi-transfer-" + std::to_string(GetCurrentProcessId()) + "-" + name;
        FILE *file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) return path;
        std::fputs(xml, file);
        std::fclose(file);
        return path;
    }

    Converter converter;
};

TEST_F(TransferTicketTest, FlatTicketFillsTheThreeKeysOfItsGuid)
{
    for (const GUID &guid : {kNull, kInstance}) {
        ASSERT_EQ(Transfer(DataFile("flat.xml"), guid), 1);
        const WString base = ProcessKey(guid) + TEXT("\\CalvexDriverData");
        EXPECT_EQ(Values(base + TEXT("\\Printing\\DevModeItems")),
                  Strings({{TEXT("Duplex"), TEXT("LongEdge")}, {TEXT("PrintQuality"), TEXT("High")}}));
        EXPECT_EQ(Values(base + TEXT("\\Printing\\OptItems")),
                  Strings({{TEXT("MediaType"), TEXT("Plain")}, {TEXT("Orientation"), TEXT("Landscape")}}));
        EXPECT_EQ(Values(base + TEXT("\\Physical")),
                  Strings({{TEXT("Duplex"), TEXT("Installed")}, {TEXT("Tray3"), TEXT("Present")}}));
        EXPECT_EQ(converter.currentSection, nullptr);
    }
}

TEST_F(TransferTicketTest, NestedFeaturesAreWalkedDepthFirstAndTheLastWriteWins)
{
    ASSERT_EQ(Transfer(DataFile("nested.xml"), kInstance), 1);
    const WString base = ProcessKey(kInstance) + TEXT("\\CalvexDriverData");
    EXPECT_EQ(Values(base + TEXT("\\Printing\\DevModeItems")),
              Strings({{TEXT("Watermarks"), TEXT("On")},
                       {TEXT("WMFont"), TEXT("Arial")},
                       {TEXT("WMFontSize"), TEXT("48")},
                       {TEXT("WMColor"), TEXT("Red")}}));
    EXPECT_EQ(Values(base + TEXT("\\Printing\\OptItems")),
              Strings({{TEXT("MediaType"), TEXT("Heavy")}, {TEXT("Weight"), TEXT("120")}}));
    EXPECT_EQ(Values(base + TEXT("\\Physical")),
              Strings({{TEXT("Finisher"), TEXT("Installed")}, {TEXT("Stapler"), TEXT("Present")}}));
}

TEST_F(TransferTicketTest, AnEmptySectionWritesNothingAndSucceeds)
{
    ASSERT_EQ(Transfer(DataFile("empty_section.xml"), kInstance), 1);
    EXPECT_FALSE(KeyExists(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Printing")));
    EXPECT_EQ(Values(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Physical")),
              Strings({{TEXT("Duplex"), TEXT("Installed")}}));
}

TEST_F(TransferTicketTest, AMissingSectionFailsTheTransfer)
{
    std::string noPhysical = WriteTicket("no-physical.xml",
                                         "<Ticket version=\"1\"><Section name=\"Printing\">"
                                         "<Feature name=\"MediaType\" value=\"Plain\"/></Section></Ticket>");
    ASSERT_EQ(Transfer(noPhysical, kInstance), 0);
    EXPECT_EQ(Values(ProcessKey(kInstance) + TEXT("\\CalvexDriverData\\Printing\\OptItems")),
              Strings({{TEXT("MediaType"), TEXT("Plain")}}));

    std::string noPrinting = WriteTicket("no-printing.xml",
                                         "<Ticket version=\"1\"><Section name=\"Physical\">"
                                         "<Feature name=\"Duplex\" value=\"Installed\"/></Section></Ticket>");
    ASSERT_EQ(Transfer(noPrinting, kNull), 0);
    EXPECT_FALSE(KeyExists(ProcessKey(kNull)));

    // Nothing of the failed walks stands in the way of the next ticket.
    ASSERT_EQ(Transfer(DataFile("flat.xml"), kNull), 1);
    std::remove(noPhysical.c_str());
    std::remove(noPrinting.c_str());
}

TEST_F(TransferTicketTest, AMissingOrMalformedTicketIsNotRead)
{
    std::string malformed = WriteTicket("malformed.xml", "<Ticket version=\"1\"><Section name=\"Printing\">");
    EXPECT_EQ(Transfer(malformed, kInstance), 0);
    EXPECT_EQ(Transfer("/nonexistent/ticket.xml", kInstance), 0);
    EXPECT_FALSE(KeyExists(ProcessKey(kInstance)));
    std::remove(malformed.c_str());
}

}  // namespace
}  // namespace convertapi
