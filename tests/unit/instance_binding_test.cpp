#include "convertapi/api/instance_binding.h"

#include "convertapi.h"
#include "convertapi/engine/converter.h"
#include "hostwin/control.h"
#include "tests/unit/fake_ticketlib/fake_library.h"

#include <gtest/gtest.h>

#include <cstring>

namespace convertapi {
namespace {

using fake::WString;

const WCHAR kPrinter[] = TEXT("Instance Printer");
const GUID kSentinel = {0x5E5E5E5E, 0x5E5E, 0x5E5E, {0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E, 0x5E}};
const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

bool SameGuid(const GUID &a, const GUID &b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

class BindInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(HostWinAddPrinter(kPrinter, nullptr, 0));
        ASSERT_TRUE(fake.Loaded()) << "fake ticket library did not load";
    }
    void TearDown() override { HostWinClearFaults(); }

    fake::Library fake;
    Converter converter;
    GUID guid = kSentinel;
};

TEST_F(BindInstanceTest, BindsAndHandsOutAGuid)
{
    converter.SetExportMode(1);
    ASSERT_EQ(ConvertAPISuccess, BindInstance(converter, kPrinter, fake.Path(), &guid));
    EXPECT_FALSE(SameGuid(guid, kSentinel));
    EXPECT_FALSE(SameGuid(guid, kNull));
    EXPECT_NE(nullptr, converter.printer);
    EXPECT_NE(nullptr, converter.ticketLibrary);
    EXPECT_EQ(0, converter.IsExportMode());
}

TEST_F(BindInstanceTest, NullOutPointerTouchesNothing)
{
    long guids = HostWinCallCount("CoCreateGuid");
    long opens = HostWinCallCount("OpenPrinterW");
    EXPECT_EQ(ConvertAPINoGuidPointer, BindInstance(converter, kPrinter, fake.Path(), nullptr));
    EXPECT_EQ(guids, HostWinCallCount("CoCreateGuid"));
    EXPECT_EQ(opens, HostWinCallCount("OpenPrinterW"));
    EXPECT_EQ(nullptr, converter.printerName);
    EXPECT_EQ(nullptr, converter.ticketManager);
}

TEST_F(BindInstanceTest, NullGuidIsNeverHandedOut)
{
    long opens = HostWinCallCount("OpenPrinterW");
    HostWinInjectFault("guid", 1);
    EXPECT_EQ(ConvertAPIGuidNotCreated, BindInstance(converter, kPrinter, fake.Path(), &guid));
    EXPECT_TRUE(SameGuid(guid, kSentinel));
    EXPECT_EQ(opens, HostWinCallCount("OpenPrinterW"));
    EXPECT_EQ(nullptr, converter.printerName);
}

TEST_F(BindInstanceTest, FailedBindingStillHandsOutTheGuid)
{
    WString overlong(260, TEXT('l'));
    const WCHAR *libraries[] = {fake.Path(), overlong.c_str()};
    const WCHAR *printers[] = {nullptr, kPrinter};
    for (int i = 0; i < 2; ++i) {
        guid = kSentinel;
        EXPECT_EQ(ConvertAPINotOpened, BindInstance(converter, printers[i], libraries[i], &guid)) << i;
        EXPECT_FALSE(SameGuid(guid, kSentinel)) << i;
        EXPECT_FALSE(SameGuid(guid, kNull)) << i;
        converter.Close();
    }
}

}  // namespace
}  // namespace convertapi
