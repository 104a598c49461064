// show-devmode on DEVMODEWs that the stand-in driver made and on ones that a
// test changed: the tag slot as it stands, fields beyond dmSize, a damaged
// private part, files that are not a DEVMODEW.
#include "tests/tools/tool_fixture.h"

#include "standins/driver/standin_devmode.h"

#include <cstddef>
#include <cstring>

namespace tool_test {
namespace {

class ShowDevmodeTest : public ToolTest {
protected:
    // The driver's DEVMODEW after the flat test ticket.
    StandinDevmode Converted()
    {
        const std::string file = TempPath("flat.devmode");
        const RunResult result =
            Tool({"to-devmode", "--ticket", SourcePath("tests/data/tickets/flat.xml"), "--out", file});
        EXPECT_EQ(result.code, 0) << result.err;
        StandinDevmode devmode = {};
        const std::string bytes = ReadText(file);
        EXPECT_EQ(bytes.size(), sizeof(devmode));
        std::memcpy(&devmode, bytes.data(), std::min(bytes.size(), sizeof(devmode)));
        return devmode;
    }

    RunResult Show(const void *bytes, size_t size, bool json)
    {
        const std::string file = TempPath("shown.devmode");
        WriteBytes(file, bytes, size);
        return json ? Tool({"show-devmode", file, "--json"}) : Tool({"show-devmode", file});
    }
};

TEST_F(ShowDevmodeTest, NamesThePublicFieldsTheTagSlotAndThePrivateSettings)
{
    StandinDevmode devmode = Converted();
    const RunResult text = Show(&devmode, sizeof(devmode), false);
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(CountLines(text.out, {"dmDeviceName", "Standin Printer"}), 1);
    EXPECT_EQ(CountLines(text.out, {"* dmOrientation", "2", "landscape (DMORIENT_LANDSCAPE)"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"* dmDuplex", "2", "long edge (DMDUP_VERTICAL)"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"* dmPrintQuality", "-4", "high (DMRES_HIGH)"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"at offset 220: slot free"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"the stand-in driver's layout, version 1"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"MediaType = Plain"}), 1) << text.out;

    const RunResult json = Show(&devmode, sizeof(devmode), true);
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_NE(json.out.find("\"dmDuplex\": {\"value\": 2, \"meaning\": \"two-sided, long edge (DMDUP_VERTICAL)\", "
                            "\"inFields\": true}"),
              std::string::npos)
        << json.out;
    EXPECT_NE(json.out.find("\"tagBlocks\": [{\"offset\": 220, \"slot\": null}]"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"settings\": [{\"name\": \"MediaType\", \"value\": \"Plain\"}]"), std::string::npos)
        << json.out;
}

TEST_F(ShowDevmodeTest, AStampedSlotShowsItsGuid)
{
    StandinDevmode devmode = Converted();
    const GUID guid = {0x12345678, 0x9ABC, 0xDEF0, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    std::memcpy(devmode.priv.tagBlock + 32, &guid, sizeof(guid));
    EXPECT_EQ(CountLines(Show(&devmode, sizeof(devmode), false).out,
                         {"at offset 220: slot {12345678-9ABC-DEF0-0123-456789ABCDEF} (stamped)"}),
              1);
    EXPECT_NE(Show(&devmode, sizeof(devmode), true).out.find("\"slot\": \"{12345678-9ABC-DEF0-0123-456789ABCDEF}\""),
              std::string::npos);
}

TEST_F(ShowDevmodeTest, FindsEveryTagBlockAsTheLibraryDoesAndNoBrokenOne)
{
    StandinDevmode devmode = Converted();
    // A second block at an odd offset inside the settings area, and a copy
    // with one byte of its signature changed.
    BYTE *bytes = reinterpret_cast<BYTE *>(&devmode);
    std::memcpy(bytes + 1001, devmode.priv.tagBlock, 64);
    std::memcpy(bytes + 2001, devmode.priv.tagBlock, 64);
    bytes[2001] ^= 0xFF;
    const RunResult text = Show(&devmode, sizeof(devmode), false);
    EXPECT_EQ(CountLines(text.out, {"at offset 220: slot free"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"at offset 1001: slot free"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"at offset 2001"}), 0) << text.out;
}

TEST_F(ShowDevmodeTest, ADevmodeWithoutTagBlockOrPrivatePart)
{
    StandinDevmode devmode = Converted();
    devmode.pub.dmDriverExtra = 0;
    const RunResult text = Show(&devmode.pub, sizeof(devmode.pub), false);
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(CountLines(text.out, {"none: the library cannot tag this DEVMODEW", "answer 12"}), 1) << text.out;
    EXPECT_EQ(CountLines(text.out, {"Driver's private part: 0 bytes"}), 1) << text.out;
    const RunResult json = Show(&devmode.pub, sizeof(devmode.pub), true);
    EXPECT_NE(json.out.find("\"tagBlocks\": []"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"private\": {\"bytes\": 0, \"layout\": \"unknown\"}"), std::string::npos) << json.out;
}

TEST_F(ShowDevmodeTest, FieldsBeyondDmSizeAreNotShown)
{
    // An older, shorter public part: up to dmCollate and dmFormName's
    // predecessor only; the private part follows at dmSize.
    StandinDevmode devmode = Converted();
    const WORD shortSize = offsetof(DEVMODEW, dmFormName);
    std::string bytes(reinterpret_cast<const char *>(&devmode), shortSize);
    bytes[offsetof(DEVMODEW, dmSize)] = static_cast<char>(shortSize);
    bytes[offsetof(DEVMODEW, dmSize) + 1] = 0;
    bytes[offsetof(DEVMODEW, dmDriverExtra)] = 0;
    bytes[offsetof(DEVMODEW, dmDriverExtra) + 1] = 0;
    const RunResult json = Show(bytes.data(), bytes.size(), true);
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_NE(json.out.find("\"dmCollate\""), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("\"dmFormName\""), std::string::npos) << json.out;
    EXPECT_EQ(json.out.find("\"dmNup\""), std::string::npos) << json.out;
}

TEST_F(ShowDevmodeTest, ADamagedSettingsAreaIsSaidSo)
{
    StandinDevmode devmode = Converted();
    // The settings run to the end of the area with no closing empty name.
    for (WCHAR &c : devmode.priv.settings) c = TEXT('x');
    devmode.priv.settingsChars = STANDIN_DEVMODE_SETTINGS_CHARS;
    const RunResult text = Show(&devmode, sizeof(devmode), false);
    EXPECT_EQ(CountLines(text.out, {"the settings area is damaged"}), 1) << text.out;
    EXPECT_NE(Show(&devmode, sizeof(devmode), true).out.find("\"settingsValid\": false"), std::string::npos);
}

TEST_F(ShowDevmodeTest, SettingsTextIsEscapedInJson)
{
    StandinDevmode devmode = Converted();
    const WCHAR settings[] = TEXT("Quote\"d\0line\nbreak\\\0\0");
    std::memcpy(devmode.priv.settings, settings, sizeof(settings));
    devmode.priv.settingsChars = sizeof(settings) / sizeof(WCHAR) - 1;
    const RunResult json = Show(&devmode, sizeof(devmode), true);
    EXPECT_NE(json.out.find("{\"name\": \"Quote\\\"d\", \"value\": \"line\\nbreak\\\\\"}"), std::string::npos)
        << json.out;
}

struct NotADevmodeCase {
    const char *name;
    size_t keep;       // bytes of the driver's DEVMODEW that the file keeps
    const char *message;
};

// Named in test output by its name, not by its bytes.
void PrintTo(const NotADevmodeCase &value, std::ostream *out) { *out << value.name; }

class NotADevmodeTest : public ShowDevmodeTest, public ::testing::WithParamInterface<NotADevmodeCase> {};

TEST_P(NotADevmodeTest, EndsWith65)
{
    StandinDevmode devmode = Converted();
    const RunResult result = Show(&devmode, GetParam().keep, false);
    EXPECT_EQ(result.code, 65);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotADevmodeTest,
    ::testing::Values(NotADevmodeCase{"ShorterThanTheHeader", 71, "71 bytes are too few for a DEVMODEW"},
                      NotADevmodeCase{"ShorterThanItsSizes", sizeof(StandinDevmode) - 1,
                                      "dmSize + dmDriverExtra give 4396 bytes, but there are only 4395"},
                      NotADevmodeCase{"Empty", 0, "0 bytes are too few"}),
    [](const ::testing::TestParamInfo<NotADevmodeCase> &info) { return std::string(info.param.name); });

TEST_F(ShowDevmodeTest, AMissingFileEndsWith65)
{
    const RunResult result = Tool({"show-devmode", TempPath("missing.devmode")});
    EXPECT_EQ(result.code, 65);
    EXPECT_NE(result.err.find("cannot read"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tool_test
