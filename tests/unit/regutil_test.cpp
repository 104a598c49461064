#include "convertapi/regutil/driver_data_cleaner.h"
#include "convertapi/regutil/utility.h"
#include "tests/unit/handshake_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

namespace convertapi {
namespace {

using namespace handshake_test;

static_assert(std::has_virtual_destructor<Utility>::value, "destroyed through the most derived class");
static_assert(std::is_base_of<RegistryUtility, DriverDataCleaner>::value, "the cleaner is a registry utility");
static_assert(std::is_base_of<Utility, RegistryUtility>::value, "the registry branch of the family");

class RegutilTest : public ::testing::Test {
protected:
    void SetUp() override { HostWinReset(); }
    void TearDown() override
    {
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0);
        EXPECT_EQ(HostWinOpenHandleCount("local"), 0);
        HostWinReset();
    }
};

// ---- WideToNarrow ------------------------------------------------------

TEST_F(RegutilTest, WideToNarrowConvertsIntoALocalBlock)
{
    struct Case {
        const WCHAR *text;
        const char *expected;
    } cases[] = {
        {TEXT(""), ""},
        {TEXT("C:\\tickets\\out.xml"), "C:\\tickets\\out.xml"},
        // Outside the code page: the default character, and no failure.
        {TEXT("a\x4E2D" "b"), "a?b"},
    };
    Utility utility;
    for (const Case &c : cases) {
        char *narrow = nullptr;
        ASSERT_EQ(utility.WideToNarrow(c.text, &narrow, CP_ACP), 1) << c.expected;
        ASSERT_NE(narrow, nullptr);
        EXPECT_STREQ(narrow, c.expected);
        EXPECT_EQ(LocalFree(narrow), nullptr);
    }
}

TEST_F(RegutilTest, WideToNarrowLeavesNothingWithTheCallerOnFailure)
{
    Utility utility;
    char *narrow = nullptr;
    // A code page the system does not know: the size query answers 0.
    EXPECT_EQ(utility.WideToNarrow(TEXT("path"), &narrow, 42), 0);
    EXPECT_EQ(narrow, nullptr);

    HostWinInjectFault("LocalAlloc", 1);
    EXPECT_EQ(utility.WideToNarrow(TEXT("path"), &narrow, CP_ACP), 0);
    EXPECT_EQ(narrow, nullptr);
    HostWinClearFaults();

    // The size query succeeds, the conversion proper fails: the block goes
    // back (the fixture checks that no local block stays open).
    HostWinInjectFault("WideCharToMultiByte", 2);
    EXPECT_EQ(utility.WideToNarrow(TEXT("path"), &narrow, CP_ACP), 0);
    EXPECT_EQ(narrow, nullptr);
}

TEST_F(RegutilTest, WideToNarrowRefusesNullArguments)
{
    Utility utility;
    char *narrow = nullptr;
    EXPECT_EQ(utility.WideToNarrow(nullptr, &narrow, CP_ACP), 0);
    EXPECT_EQ(narrow, nullptr);
    EXPECT_EQ(utility.WideToNarrow(TEXT("x"), nullptr, CP_ACP), 0);
}

// ---- DriverDataCleaner -------------------------------------------------

const WString kProcessKey = TEXT("Software\\Varnholt\\QXProcID816");
const WString kPhysical = kProcessKey + TEXT("\\CalvexDriverData\\Physical");
const WString kPrinting = kProcessKey + TEXT("\\CalvexDriverData\\Printing");
const WString kOptItems = kPrinting + TEXT("\\OptItems");
const WString kDevModeItems = kPrinting + TEXT("\\DevModeItems");
const WString kRoot = kProcessKey + TEXT("\\CalvexDriverData");

void FillDriverData()
{
    ASSERT_TRUE(SetString(kProcessKey, TEXT("ProcessingCalvex"), TEXT("TRUE")));
    ASSERT_TRUE(SetString(kPhysical, TEXT("Duplex"), TEXT("Installed")));
    ASSERT_TRUE(SetString(kPhysical, TEXT("Tray3"), TEXT("Present")));
    ASSERT_TRUE(SetString(kOptItems, TEXT("MediaType"), TEXT("Plain")));
    ASSERT_TRUE(SetString(kDevModeItems, TEXT("Duplex"), TEXT("LongEdge")));
    ASSERT_TRUE(SetString(kPrinting, TEXT("Stray"), TEXT("value")));
    ASSERT_TRUE(SetString(kRoot, TEXT("Stray"), TEXT("value")));
}

TEST_F(RegutilTest, CleanerRemovesTheWholeDriverDataTreeButNotTheProcessKey)
{
    FillDriverData();
    DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
    for (const WString &key : {kPhysical, kOptItems, kDevModeItems, kPrinting, kRoot})
        EXPECT_FALSE(KeyExists(key)) << Narrow(key);
    ASSERT_EQ(Values(kProcessKey).size(), 1u);
}

TEST_F(RegutilTest, CleanerStartsWithThePhysicalKeyOfTheGivenProcessKey)
{
    FillDriverData();
    // The first key deletion fails: only the Physical key survives, which
    // shows it was the first one deleted (after its values were emptied).
    HostWinInjectFault("RegDeleteKeyW", 1);
    DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
    EXPECT_TRUE(KeyExists(kPhysical));
    EXPECT_TRUE(Values(kPhysical).empty());
    EXPECT_FALSE(KeyExists(kOptItems));
    EXPECT_FALSE(KeyExists(kDevModeItems));
    EXPECT_FALSE(KeyExists(kPrinting));
    EXPECT_TRUE(KeyExists(kRoot));  // still has Physical below it
}

TEST_F(RegutilTest, CleanerLeavesKeysThatHoldUnknownSubkeys)
{
    FillDriverData();
    ASSERT_TRUE(SetString(kPrinting + TEXT("\\Extra"), TEXT("Keep"), TEXT("me")));
    DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
    EXPECT_FALSE(KeyExists(kPhysical));
    EXPECT_FALSE(KeyExists(kOptItems));
    EXPECT_FALSE(KeyExists(kDevModeItems));
    EXPECT_TRUE(KeyExists(kPrinting));
    EXPECT_TRUE(KeyExists(kRoot));
    EXPECT_EQ(Values(kPrinting + TEXT("\\Extra")).size(), 1u);
}

TEST_F(RegutilTest, CleanerDeletesAKeyWhoseValuesItCannotEnumerate)
{
    // A name of 300 characters and data of 400 bytes do not fit the
    // enumeration: the loop stops there, and the key goes with all its values.
    const WString longName(300, TEXT('n'));
    const std::vector<BYTE> longData(400, 0xAB);
    ASSERT_TRUE(SetString(kPhysical, TEXT("First"), TEXT("x")));
    ASSERT_TRUE(SetValue(kPhysical, longName, REG_SZ, TEXT("y"), 4));
    ASSERT_TRUE(SetValue(kOptItems, TEXT("Big"), REG_BINARY, longData.data(), 400));
    ASSERT_TRUE(SetString(kOptItems, TEXT("After"), TEXT("z")));
    DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
    EXPECT_FALSE(KeyExists(kPhysical));
    EXPECT_FALSE(KeyExists(kOptItems));
    EXPECT_FALSE(KeyExists(kRoot));
}

TEST_F(RegutilTest, CleanerGoesOnWhateverFails)
{
    const char *const faults[] = {"LocalAlloc", "RegOpenKeyExW", "RegEnumValueW", "RegDeleteValueW"};
    for (const char *fault : faults) {
        HostWinReset();
        FillDriverData();
        HostWinInjectFault(fault, -1);
        DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
        HostWinClearFaults();
        // The key deletions still run and take the values with them.
        EXPECT_FALSE(KeyExists(kRoot)) << fault;
        EXPECT_EQ(HostWinOpenHandleCount("local"), 0) << fault;
        EXPECT_EQ(HostWinOpenHandleCount("registry"), 0) << fault;
    }
}

TEST_F(RegutilTest, CleanerWithoutDriverDataChangesNothing)
{
    ASSERT_TRUE(SetString(kProcessKey, TEXT("ProcessingCalvex"), TEXT("TRUE")));
    DriverDataCleaner().DeleteDriverDataKeys(kProcessKey.c_str());
    EXPECT_EQ(Values(kProcessKey).size(), 1u);
    DriverDataCleaner().DeleteDriverDataKeys(TEXT("Software\\Varnholt\\QXProcIDNothing"));
    EXPECT_FALSE(KeyExists(TEXT("Software\\Varnholt\\QXProcIDNothing")));
}

TEST_F(RegutilTest, CleanerNeverWorksOnATruncatedPath)
{
    // 240 characters of process key: even "\CalvexDriverData" takes every
    // path past 255 characters, and a cut-short path could name another key.
    const WString longKey = TEXT("Software\\Varnholt\\") + WString(222, TEXT('k'));
    ASSERT_EQ(longKey.size(), 240u);
    long opens = HostWinCallCount("RegOpenKeyExW");
    long deletes = HostWinCallCount("RegDeleteKeyW");
    DriverDataCleaner().DeleteDriverDataKeys(longKey.c_str());
    EXPECT_EQ(HostWinCallCount("RegOpenKeyExW"), opens);
    EXPECT_EQ(HostWinCallCount("RegDeleteKeyW"), deletes);
}

TEST_F(RegutilTest, SingleStepsWorkOnTheNamedSubkeyOnly)
{
    FillDriverData();
    DriverDataCleaner cleaner;
    cleaner.DeleteKeyOnly(TEXT("CalvexDriverData\\Printing"), kProcessKey.c_str());  // has subkeys: stays
    EXPECT_TRUE(KeyExists(kPrinting));
    cleaner.DeleteValuesAndKey(TEXT("CalvexDriverData\\Printing\\OptItems"), kProcessKey.c_str());
    EXPECT_FALSE(KeyExists(kOptItems));
    EXPECT_TRUE(KeyExists(kDevModeItems));
    EXPECT_TRUE(KeyExists(kPhysical));
}

}  // namespace
}  // namespace convertapi
