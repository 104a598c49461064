// The call record behind the test exports.
#include "tests/standins_driver/driver_fixture.h"

namespace driver_test {
namespace {

TEST_F(DriverTest, RecordHoldsTheRegistryAndThePrinterData)
{
    PublishByProcessId(true);
    SetExportLocation(TempPath("record.xml"));
    const std::string pid = std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Varnholt\\Other", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const BYTE bytes[] = {0x01, 0xAB};
    RegSetValueExW(key, u"Blob", 0, REG_BINARY, bytes, 2);
    RegCloseKey(key);

    std::vector<BYTE> devmode = DefaultDevmode();
    ASSERT_EQ(CallDocument(&devmode), IDOK);
    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->kind, StandinCallDocumentProperties);
    EXPECT_EQ(call->mode, static_cast<DWORD>(DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER));
    EXPECT_EQ(call->exportMode, 1);
    EXPECT_EQ(call->registryTruncated, 0);
    // Subkeys come in registry order, which is by name; values in the order written.
    EXPECT_EQ(Utf8(call->registry), "Other|Blob|01AB\n"
                                    "QXProcID" + pid + "|ProcessingConvertDevmode|TRUE\n" +
                                        "QXProcID" + pid + "|ProcessingCalvex|TRUE\n" +
                                        "QXProcIDFallback|QXProcID|" + pid + "\n");
    EXPECT_EQ(Utf8(call->printerData), "AlwaysExport=1\nExportTicketLocation=" + TempPath("record.xml") + "\n");

    // The default devmode's two calls came first: a size query and a fill.
    ASSERT_EQ(CallCount(), 3);
    EXPECT_EQ(Call(0)->kind, StandinCallDocumentPropertiesNoUi);
    EXPECT_EQ(Call(0)->mode, 0u);
    EXPECT_EQ(Call(0)->result, static_cast<LONG>(sizeof(StandinDevmode)));
    EXPECT_EQ(Call(1)->mode, static_cast<DWORD>(DM_OUT_BUFFER));
    EXPECT_EQ(Call(1)->result, IDOK);
}

TEST_F(DriverTest, RecordKeepsTheLastCallsAndEndsTheSnapshotOnAWholeLine)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Varnholt\\Many", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const WString text(60, u'x');
    for (int i = 0; i < 100; ++i) {
        WString name = Wide("Value" + std::to_string(i));
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * 2));
    }
    RegCloseKey(key);

    const LONG calls = STANDIN_DRIVER_MAX_CALLS + 8;
    for (LONG i = 0; i < calls; ++i)
        DocumentPropertiesW(nullptr, printer_, const_cast<WCHAR *>(kPrinter), nullptr, nullptr, 0);
    EXPECT_EQ(CallCount(), calls);
    EXPECT_EQ(Call(7), nullptr);
    ASSERT_NE(Call(8), nullptr);
    EXPECT_EQ(Call(calls), nullptr);
    EXPECT_EQ(Call(-1), nullptr);

    const StandinDriverCall *call = LastCall();
    EXPECT_EQ(call->registryTruncated, 1);
    const WString snapshot(call->registry);
    EXPECT_LT(snapshot.size(), static_cast<size_t>(STANDIN_DRIVER_SNAPSHOT_CHARS));
    EXPECT_GT(snapshot.size(), static_cast<size_t>(STANDIN_DRIVER_SNAPSHOT_CHARS) - 100);
    EXPECT_EQ(snapshot.back(), u'\n');
}

}  // namespace
}  // namespace driver_test
