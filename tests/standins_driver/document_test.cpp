// The document call: DocumentPropertiesW on a DEVMODEW, without a request,
// with an import request and with an export request.
#include "tests/standins_driver/driver_fixture.h"

#include <cstring>

namespace driver_test {
namespace {

const DWORD kAllFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_DUPLEX | DM_COLLATE;
const DWORD kNoSheet = DM_IN_BUFFER | DM_OUT_BUFFER;

WString Pid() { return Wide(std::to_string(GetCurrentProcessId())); }

WString GuidText(const GUID &guid)
{
    WCHAR text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

void ClearRequests() { RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Varnholt"); }

TEST_F(DriverTest, SizeQueryAndDefaultDevmode)
{
    LONG size = DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), nullptr, nullptr, 0);
    ASSERT_EQ(size, static_cast<LONG>(sizeof(StandinDevmode)));

    // The default is written within the size the query gave, and is the same
    // every time (Wine builds a printer's default with two such calls).
    std::vector<BYTE> first(size + 64, 0xCC);
    std::vector<BYTE> second(size + 64, 0x33);
    for (std::vector<BYTE> *buffer : {&first, &second})
        ASSERT_EQ(DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), Public(*buffer), nullptr,
                                      DM_OUT_BUFFER),
                  IDOK);
    EXPECT_EQ(std::vector<BYTE>(first.begin() + size, first.end()), std::vector<BYTE>(64, 0xCC));
    EXPECT_EQ(std::vector<BYTE>(first.begin(), first.begin() + size),
              std::vector<BYTE>(second.begin(), second.begin() + size));

    const DEVMODEW *dm = Public(first);
    EXPECT_EQ(WString(dm->dmDeviceName), WString(kPrinter));
    EXPECT_EQ(dm->dmSize, 220);
    EXPECT_EQ(dm->dmDriverExtra, sizeof(StandinDevmodePrivate));
    EXPECT_EQ(dm->dmFields, kAllFields);
    const StandinDevmodePrivate *priv = Private(first);
    EXPECT_EQ(priv->magic, STANDIN_DEVMODE_MAGIC);
    EXPECT_EQ(priv->version, STANDIN_DEVMODE_VERSION);
    EXPECT_TRUE(PrivateSettings(first).empty());

    // One free tag block opens the private part.
    BYTE block[64] = {};
    std::memcpy(block, convertapi::kDevmodeTagSignature, 16);
    std::memcpy(block + 16, &convertapi::kDevmodeTagLeadGuid, 16);
    std::memcpy(block + 48, &convertapi::kDevmodeTagTrailGuid, 16);
    EXPECT_EQ(std::memcmp(priv->tagBlock, block, 64), 0);
}

TEST_F(DriverTest, OutputBufferTakesTheInputsPublicPart)
{
    DEVMODEW plain = {};
    plain.dmSize = sizeof(DEVMODEW);
    plain.dmFields = DM_ORIENTATION | DM_COPIES;
    plain.dmOrientation = DMORIENT_LANDSCAPE;
    plain.dmCopies = 5;
    std::vector<BYTE> out(sizeof(StandinDevmode));
    ASSERT_EQ(DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), Public(out), &plain, kNoSheet),
              IDOK);
    EXPECT_EQ(Public(out)->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(Public(out)->dmCopies, 5);
    EXPECT_EQ(Public(out)->dmFields, static_cast<DWORD>(DM_ORIENTATION | DM_COPIES));
    EXPECT_EQ(Public(out)->dmDriverExtra, sizeof(StandinDevmodePrivate));
    EXPECT_EQ(Private(out)->magic, STANDIN_DEVMODE_MAGIC);
}

TEST_F(DriverTest, WithoutRequestTheDevmodeStaysAsItIs)
{
    std::vector<BYTE> devmode = DefaultDevmode();
    // A key left by a half-finished withdraw, without "ProcessingCalvex", is
    // no request.
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems", {{"Duplex", "LongEdge"}});
    SetString(ProcessKey(Pid()), u"ProcessingConvertDevmode", u"TRUE");
    DWORD pid = GetCurrentProcessId();
    HKEY fallback = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Varnholt\\QXProcIDFallback", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &fallback, nullptr);
    RegSetValueExW(fallback, u"QXProcID", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&pid), 4);
    RegCloseKey(fallback);

    const std::vector<BYTE> before = devmode;
    for (DWORD mode : {static_cast<DWORD>(DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER), kNoSheet}) {
        EXPECT_EQ(CallDocument(&devmode, mode), IDOK);
        EXPECT_EQ(devmode, before);
        EXPECT_EQ(LastCall()->requestFound, 0);
    }
}

TEST_F(DriverTest, ImportSetsPublicFieldsAndKeepsOtherFeaturesPrivate)
{
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems",
                  {{"Duplex", "LongEdge"}, {"PrintQuality", "Draft"}, {"Watermarks", "Confidential"}});
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems",
                  {{"Orientation", "Landscape"},
                   {"Copies", "3"},
                   {"PaperSize", "A3"},
                   {"Color", "Monochrome"},
                   {"Collate", "True"},
                   {"MediaType", "Plain"}});
    SetDriverData(Pid(), u"CalvexDriverData\\Physical", {{"Tray3", "Installed"}});
    std::vector<BYTE> devmode = DefaultDevmode();
    Public(devmode)->dmFields = 0;

    ASSERT_EQ(CallDocument(&devmode), IDOK);
    const DEVMODEW *dm = Public(devmode);
    EXPECT_EQ(dm->dmFields, kAllFields);
    EXPECT_EQ(dm->dmDuplex, DMDUP_VERTICAL);
    EXPECT_EQ(dm->dmPrintQuality, DMRES_DRAFT);
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm->dmCopies, 3);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_A3);
    EXPECT_EQ(dm->dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(dm->dmCollate, DMCOLLATE_TRUE);
    // Physical data belong to the device call.
    EXPECT_EQ(PrivateSettings(devmode), (FeatureMap{{"MediaType", "Plain"}, {"Watermarks", "Confidential"}}));
    EXPECT_EQ(Private(devmode)->droppedFeatures, 0u);

    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->kind, StandinCallDocumentProperties);
    EXPECT_EQ(call->requestFound, 2);
    EXPECT_EQ(WString(call->processKey), PidKey());
    EXPECT_EQ(call->exportMode, 0);
    EXPECT_EQ(call->result, 1);
}

TEST_F(DriverTest, TextsAPublicFieldCannotCarryStayPrivate)
{
    struct Case {
        const char *name;
        const char *value;
        DWORD field;  // the field that must no longer claim the feature
    };
    const Case cases[] = {
        {"Copies", "007", DM_COPIES},          {"Copies", "0", DM_COPIES},
        {"PaperSize", "9", DM_PAPERSIZE},      {"Orientation", "Sideways", DM_ORIENTATION},
        {"PrintQuality", "-1", DM_PRINTQUALITY}, {"Duplex", "longedge", DM_DUPLEX},
        {"duplex", "LongEdge", DM_DUPLEX},     {"Collate", "1", DM_COLLATE},
        {"Color", "", DM_COLOR},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        ClearRequests();
        PublishByProcessId(false);
        SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems", {{c.name, c.value}});
        std::vector<BYTE> devmode = DefaultDevmode();
        const DEVMODEW before = *Public(devmode);
        ASSERT_EQ(CallDocument(&devmode), IDOK);
        EXPECT_EQ(PrivateSettings(devmode), (FeatureMap{{c.name, c.value}}));
        EXPECT_EQ(Public(devmode)->dmFields, kAllFields & ~c.field);
        EXPECT_EQ(std::memcmp(&Public(devmode)->dmOrientation, &before.dmOrientation, 28), 0);
    }

    // Numbers without a name go to the field.
    ClearRequests();
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems", {{"PaperSize", "70"}, {"PrintQuality", "300"}});
    std::vector<BYTE> devmode = DefaultDevmode();
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(Public(devmode)->dmPaperSize, 70);
    EXPECT_EQ(Public(devmode)->dmPrintQuality, 300);
    EXPECT_TRUE(PrivateSettings(devmode).empty());
}

TEST_F(DriverTest, TicketSurvivesImportAndExport)
{
    const FeatureMap devModeItems = {{"Duplex", "ShortEdge"}, {"PrintQuality", "300"}, {"WMFont", "Arial"}};
    const FeatureMap optItems = {
        {"Orientation", "Landscape"},
        {"PaperSize", "70"},
        {"Copies", "007"},
        {"Color", "Color"},
        {"Collate", "Maybe"},
        {"MediaType", "Plain & <Glossy> \"x\" 'y'"},
        {"Note", "line1\nline2\ttab\r"},
        {"Empty", ""},
        {"Gr\xC3\xB6\xC3\x9F" "e", "gro\xC3\x9F \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x96\xA8"},
    };
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems", devModeItems);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems", optItems);
    std::vector<BYTE> devmode = DefaultDevmode();
    ASSERT_EQ(CallDocument(&devmode), IDOK);

    ClearRequests();
    PublishByProcessId(true);
    const std::string ticket = TempPath("roundtrip.xml");
    SetExportLocation(ticket);
    const std::vector<BYTE> beforeExport = devmode;
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(devmode, beforeExport);
    EXPECT_EQ(LastCall()->exportMode, 1);

    std::map<std::string, FeatureMap> sections = ReadTicket(ticket);
    FeatureMap expected = devModeItems;
    expected.insert(optItems.begin(), optItems.end());
    EXPECT_EQ(sections["Printing"], expected);
    EXPECT_TRUE(sections["Physical"].empty());
    EXPECT_EQ(sections.size(), 2u);
}

TEST_F(DriverTest, ExportWritesOnlyFieldsTheDevmodeClaims)
{
    PublishByProcessId(true);
    const std::string ticket = TempPath("fields.xml");
    SetExportLocation(ticket);
    std::vector<BYTE> devmode = DefaultDevmode();
    Public(devmode)->dmFields &= ~(DM_COLOR | DM_DUPLEX);
    Public(devmode)->dmColor = 77;  // not claimed: not written
    ASSERT_EQ(CallDocument(&devmode, kNoSheet), IDOK);
    EXPECT_EQ(ReadTicket(ticket)["Printing"], (FeatureMap{{"Orientation", "Portrait"},
                                                          {"PaperSize", "A4"},
                                                          {"Copies", "1"},
                                                          {"PrintQuality", "600"},
                                                          {"Collate", "False"}}));
}

TEST_F(DriverTest, ExportThatCannotWriteItsTicketFails)
{
    PublishByProcessId(true);
    std::vector<BYTE> devmode = DefaultDevmode();
    EXPECT_EQ(CallDocument(&devmode), -1);  // no "ExportTicketLocation"
    SetExportLocation("/nonexistent-folder/ticket.xml");
    EXPECT_EQ(CallDocument(&devmode), -1);
    EXPECT_EQ(CallDocument(&devmode, kNoSheet), -1);
}

TEST_F(DriverTest, TagBlockNamesTheRequest)
{
    const GUID tagged = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    const GUID stale = {0x0BADF00D, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    PublishRequest(GuidText(tagged), false, GetCurrentProcessId());
    SetDriverData(GuidText(tagged), u"CalvexDriverData\\Printing\\DevModeItems", {{"Duplex", "LongEdge"}});
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems", {{"Duplex", "ShortEdge"}});

    std::vector<BYTE> devmode = DefaultDevmode();
    std::memcpy(Private(devmode)->tagBlock + 32, &tagged, 16);
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(Public(devmode)->dmDuplex, DMDUP_VERTICAL);
    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->tagFound, 1);
    EXPECT_EQ(std::memcmp(&call->tagSlot, &tagged, 16), 0);
    EXPECT_EQ(call->requestFound, 1);
    EXPECT_EQ(WString(call->processKey), ProcessKey(GuidText(tagged)));
    // The slot stays stamped: clearing it is the library's business.
    EXPECT_EQ(std::memcmp(Private(devmode)->tagBlock + 32, &tagged, 16), 0);

    // A GUID that names no live request does not hide the one that stands.
    std::memcpy(Private(devmode)->tagBlock + 32, &stale, 16);
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    EXPECT_EQ(Public(devmode)->dmDuplex, DMDUP_HORIZONTAL);
    EXPECT_EQ(LastCall()->requestFound, 2);
}

TEST_F(DriverTest, ForeignSizesAreReadSafelyOrRefused)
{
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems", {{"Duplex", "LongEdge"}});
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\OptItems", {{"Collate", "True"}, {"MediaType", "Plain"}});

    // Public sizes the driver cannot make sense of.
    for (WORD size : {0, 75, 221, 0xFFFF}) {
        SCOPED_TRACE(size);
        std::vector<BYTE> devmode(sizeof(StandinDevmode) + 64, 0x5A);
        Public(devmode)->dmSize = size;
        Public(devmode)->dmDriverExtra = 0;
        const std::vector<BYTE> before = devmode;
        EXPECT_EQ(CallDocument(&devmode), -1);
        EXPECT_EQ(CallDocument(&devmode, kNoSheet), -1);
        EXPECT_EQ(devmode, before);
    }

    // A buffer with a shorter public part and no room for the private one:
    // the fields it has are set, nothing is written past it, and what could
    // not be kept is counted.
    struct Case {
        WORD size;
        bool hasCollate;
    };
    for (Case c : {Case{220, true}, Case{96, false}}) {
        SCOPED_TRACE(c.size);
        std::vector<BYTE> devmode(c.size + 32, 0xA5);
        std::memset(devmode.data(), 0, c.size);
        Public(devmode)->dmSize = c.size;
        Public(devmode)->dmDriverExtra = 0;
        ASSERT_EQ(CallDocument(&devmode), IDOK);
        EXPECT_EQ(std::vector<BYTE>(devmode.begin() + c.size, devmode.end()), std::vector<BYTE>(32, 0xA5));
        EXPECT_EQ(Public(devmode)->dmSize, c.size);
        EXPECT_EQ(Public(devmode)->dmDriverExtra, 0);
        EXPECT_EQ(Public(devmode)->dmDuplex, DMDUP_VERTICAL);
        EXPECT_TRUE(Public(devmode)->dmFields & DM_DUPLEX);
        EXPECT_EQ((Public(devmode)->dmFields & DM_COLLATE) != 0, c.hasCollate);
        EXPECT_EQ(LastCall()->droppedFeatures, c.hasCollate ? 1 : 2);
    }
}

TEST_F(DriverTest, AnswerSwitchChangesNothing)
{
    struct Case {
        LONG answer;
        DWORD mode;
        LONG expected;
    };
    const Case cases[] = {
        {StandinAnswerCancel, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER, IDCANCEL},
        {StandinAnswerError, DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER, -1},
        {StandinAnswerCancel, kNoSheet, IDCANCEL},
        {StandinAnswerError, kNoSheet, -1},
    };
    PublishByProcessId(false);
    SetDriverData(Pid(), u"CalvexDriverData\\Printing\\DevModeItems", {{"Duplex", "LongEdge"}});
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer << " mode " << c.mode);
        std::vector<BYTE> devmode = DefaultDevmode();
        const std::vector<BYTE> before = devmode;
        SetAnswer(c.answer);
        EXPECT_EQ(CallDocument(&devmode, c.mode), c.expected);
        EXPECT_EQ(LastCall()->result, c.mode & DM_IN_PROMPT ? (c.expected == -1 ? -1 : 1) : c.expected);
        SetAnswer(StandinAnswerOk);
        EXPECT_EQ(devmode, before);
    }

    // An export that is cancelled writes no ticket.
    ClearRequests();
    PublishByProcessId(true);
    const std::string ticket = TempPath("cancelled.xml");
    std::remove(ticket.c_str());
    SetExportLocation(ticket);
    std::vector<BYTE> devmode = DefaultDevmode();
    SetAnswer(StandinAnswerCancel);
    EXPECT_EQ(CallDocument(&devmode), IDCANCEL);
    EXPECT_EQ(std::fopen(ticket.c_str(), "rb"), nullptr);
}

}  // namespace
}  // namespace driver_test
