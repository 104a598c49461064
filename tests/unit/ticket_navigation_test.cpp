#include "convertapi/common/constants.h"
#include "convertapi/ticketlib/ticket_library.h"
#include "hostwin/control.h"
#include "tests/unit/fake_ticketlib/fake_library.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using fake::WString;
using Names = std::vector<std::string>;

const HANDLE kPrinter = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x5150));
constexpr size_t kToken = 256;

WString Text(const WCHAR *text) { return text != nullptr ? WString(text) : WString(TEXT("<null>")); }

class TicketNavigationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HostWinReset();
        ASSERT_TRUE(fake.Loaded()) << "fake ticket library did not load";
        ASSERT_EQ(1, library.Open(kPrinter, TEXT("Fake Printer"), fake.Path()));
    }
    void TearDown() override { HostWinClearFaults(); }

    void SetFeatures(const WCHAR *list) { fake::SetText(fake.Answers().features, fake::kListCapacity, list); }
    WString NextToken()
    {
        WCHAR token[kToken];
        if (!library.NextListToken(token, kToken)) return TEXT("<end>");
        return WString(token);
    }
    const ContextFrame &Top() const { return library.contextStack[library.contextStackSize - 1]; }

    fake::Library fake;
    TicketLibrary library;
};

TEST_F(TicketNavigationTest, NavigateSetsTheLibraryContextAndKeepsACopy)
{
    const WCHAR path[] = TEXT("Printing");
    ASSERT_EQ(1, library.Navigate(path));
    EXPECT_EQ((Names{"ZELSetContext"}), fake.CallNames());
    EXPECT_EQ(WString(path), WString(fake.LastCall().text));
    EXPECT_EQ(WString(path), Text(library.contextPath));
    EXPECT_NE(static_cast<const WCHAR *>(path), library.contextPath);
}

TEST_F(TicketNavigationTest, NavigateWithoutPathCallsNothing)
{
    EXPECT_EQ(0, library.Navigate(nullptr));
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, RefusedContextKeepsTheEarlierPath)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    fake.Answers().setContextResult = 0;
    EXPECT_EQ(0, library.Navigate(TEXT("Physical")));
    EXPECT_EQ(WString(TEXT("Printing")), Text(library.contextPath));
}

TEST_F(TicketNavigationTest, OverlongPathReachesTheLibraryButIsNotKept)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    WString path259(259, TEXT('f'));
    EXPECT_EQ(1, library.Navigate(path259.c_str()));
    EXPECT_EQ(path259, Text(library.contextPath));

    WString path260(260, TEXT('f'));
    fake.ForgetCalls();
    EXPECT_EQ(0, library.Navigate(path260.c_str()));
    EXPECT_EQ((Names{"ZELSetContext"}), fake.CallNames());
    EXPECT_EQ(path259, Text(library.contextPath));
}

TEST_F(TicketNavigationTest, OperationsWithoutEntryPointsFailWithoutCalling)
{
    TicketLibrary unopened;
    WCHAR buffer[kToken];
    EXPECT_EQ(0, unopened.Navigate(TEXT("Printing")));
    EXPECT_EQ(0, unopened.LoadFeatureList(nullptr));
    EXPECT_EQ(0, unopened.NextListToken(buffer, kToken));
    EXPECT_EQ(0, unopened.GetValue(TEXT("Duplex"), buffer, kToken));
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, FeatureListComesFromAPreparedBufferAndIsEnumerated)
{
    SetFeatures(TEXT("Duplex;MediaType;Copies"));
    const int parentTag = 0;
    ASSERT_EQ(1, library.LoadFeatureList(&parentTag));
    const fake::Call &enumCall = fake.LastCall();
    EXPECT_EQ(static_cast<const void *>(&parentTag), enumCall.parent);
    EXPECT_EQ(static_cast<size_t>(kFeatureListCapacity), enumCall.preparedCapacity);
    EXPECT_EQ(library.featureList, enumCall.output);

    EXPECT_EQ(WString(TEXT("Duplex")), NextToken());
    EXPECT_EQ(kToken, fake.LastCall().preparedCapacity);
    EXPECT_EQ(library.featureList, fake.LastCall().list);  // the same list on every call
    EXPECT_EQ(WString(TEXT("MediaType")), NextToken());
    EXPECT_EQ(WString(TEXT("Copies")), NextToken());
    EXPECT_EQ(WString(TEXT("<end>")), NextToken());
}

TEST_F(TicketNavigationTest, FailedLoadLeavesNoListUntilALaterLoad)
{
    SetFeatures(TEXT("Duplex"));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    fake.Answers().enumFeaturesResult = 0;
    EXPECT_EQ(0, library.LoadFeatureList(nullptr));
    EXPECT_EQ(nullptr, library.featureList);

    fake.ForgetCalls();
    EXPECT_EQ(WString(TEXT("<end>")), NextToken());
    EXPECT_TRUE(fake.CallNames().empty());

    fake.Answers().enumFeaturesResult = 1;
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    EXPECT_EQ(WString(TEXT("Duplex")), NextToken());
}

TEST_F(TicketNavigationTest, LoadFeatureListAllocationFailureLeavesNoList)
{
    SetFeatures(TEXT("Duplex"));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    fake.ForgetCalls();
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, library.LoadFeatureList(nullptr));
    HostWinClearFaults();
    EXPECT_EQ(nullptr, library.featureList);
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, BuffersArePreparedEvenWhenTheLibraryFails)
{
    SetFeatures(TEXT(""));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR token[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(0, library.NextListToken(token, 8));
    EXPECT_EQ(0xFFFF, token[0]);
    EXPECT_EQ(0xFFFF, token[6]);
    EXPECT_EQ(0, token[7]);

    fake.Answers().getResult = 0;
    WCHAR value[5] = {1, 1, 1, 1, 1};
    EXPECT_EQ(0, library.GetValue(TEXT("Duplex"), value, 5));
    EXPECT_EQ(0xFFFF, value[3]);
    EXPECT_EQ(0, value[4]);
}

TEST_F(TicketNavigationTest, GetValueHandsTheNameAndAPreparedBuffer)
{
    fake::SetText(fake.Answers().value, fake::kValueCapacity, TEXT("LongEdge"));
    WCHAR value[kToken];
    ASSERT_EQ(1, library.GetValue(TEXT("Duplex"), value, kToken));
    EXPECT_EQ(WString(TEXT("LongEdge")), WString(value));
    EXPECT_EQ(WString(TEXT("Duplex")), WString(fake.LastCall().text));
    EXPECT_EQ(kToken, fake.LastCall().preparedCapacity);

    fake.ForgetCalls();
    EXPECT_EQ(0, library.GetValue(nullptr, value, kToken));
    EXPECT_EQ(0, library.GetValue(TEXT("Duplex"), nullptr, kToken));
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, PushMovesTheWalkStateIntoAFrame)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR *path = library.contextPath;
    WCHAR *list = library.featureList;
    ASSERT_EQ(1, library.PushContext());
    ASSERT_EQ(1u, library.contextStackSize);
    EXPECT_EQ(path, Top().path);
    EXPECT_EQ(list, Top().featureList);
    EXPECT_EQ(nullptr, library.contextPath);
    EXPECT_EQ(nullptr, library.featureList);
    fake.ForgetCalls();
    EXPECT_EQ(WString(TEXT("<end>")), NextToken());  // no list until one is loaded
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, DescentJoinsPathsAndPopResumesTheEnumeration)
{
    SetFeatures(TEXT("Duplex;MediaType"));
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR *sectionList = library.featureList;
    ASSERT_EQ(WString(TEXT("Duplex")), NextToken());

    ASSERT_EQ(1, library.PushContext());
    ASSERT_EQ(1, library.Navigate(TEXT("Duplex")));
    SetFeatures(TEXT("DuplexEdge"));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    ASSERT_EQ(1, library.PushContext());
    EXPECT_EQ(WString(TEXT("Printing/Duplex")), Text(Top().path));

    fake.ForgetCalls();
    ASSERT_EQ(1, library.PopContext());
    EXPECT_EQ(WString(TEXT("Printing/Duplex")), WString(fake.LastCall().text));
    EXPECT_EQ(WString(TEXT("DuplexEdge")), NextToken());

    ASSERT_EQ(1, library.PopContext());
    EXPECT_EQ(0u, library.contextStackSize);
    EXPECT_EQ(WString(TEXT("Printing")), Text(library.contextPath));
    EXPECT_EQ(sectionList, library.featureList);
    EXPECT_EQ(WString(TEXT("MediaType")), NextToken());
}

TEST_F(TicketNavigationTest, StackGrowsAndUnwindsInOrder)
{
    const int depth = 20;
    std::vector<WString> expected;
    WString joined;
    for (int level = 0; level < depth; ++level) {
        WString name(1, static_cast<WCHAR>(TEXT('a') + level));
        ASSERT_EQ(1, library.Navigate(name.c_str()));
        ASSERT_EQ(1, library.PushContext());
        joined = joined.empty() ? name : joined + TEXT("/") + name;
        ASSERT_EQ(joined, Text(Top().path)) << level;
        expected.push_back(joined);
    }
    for (int level = depth - 1; level >= 0; --level) {
        ASSERT_EQ(1, library.PopContext()) << level;
        EXPECT_EQ(expected[level], Text(library.contextPath)) << level;
    }
    EXPECT_EQ(0u, library.contextStackSize);
}

TEST_F(TicketNavigationTest, PushWithoutContextPathOnEmptyStackThenPopFails)
{
    ASSERT_EQ(1, library.PushContext());
    EXPECT_EQ(nullptr, Top().path);
    fake.ForgetCalls();
    EXPECT_EQ(0, library.PopContext());
    EXPECT_EQ(0u, library.contextStackSize);
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, PopOnEmptyStackFailsAndChangesNothing)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR *path = library.contextPath;
    WCHAR *list = library.featureList;
    fake.ForgetCalls();
    EXPECT_EQ(0, library.PopContext());
    EXPECT_EQ(path, library.contextPath);
    EXPECT_EQ(list, library.featureList);
    EXPECT_TRUE(fake.CallNames().empty());
}

TEST_F(TicketNavigationTest, FailedRenavigationStillRestoresTheFrame)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR *list = library.featureList;
    ASSERT_EQ(1, library.PushContext());
    fake::SetText(fake.Answers().failContextPath, fake::kTextCapacity, TEXT("Printing"));
    EXPECT_EQ(0, library.PopContext());
    EXPECT_EQ(0u, library.contextStackSize);
    EXPECT_EQ(WString(TEXT("Printing")), Text(library.contextPath));
    EXPECT_EQ(list, library.featureList);
}

struct JoinCase {
    const char *label;
    size_t topLength;
    size_t contextLength;
    int result;
};
void PrintTo(const JoinCase &c, std::ostream *out) { *out << c.label; }

class PushJoinLimit : public TicketNavigationTest, public ::testing::WithParamInterface<JoinCase> {};

TEST_P(PushJoinLimit, JoinedPathStaysBelow256Characters)
{
    const JoinCase &c = GetParam();
    WString top(c.topLength, TEXT('t'));
    WString context(c.contextLength, TEXT('c'));
    ASSERT_EQ(1, library.Navigate(top.c_str()));
    ASSERT_EQ(1, library.PushContext());
    ASSERT_EQ(1, library.Navigate(context.c_str()));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    WCHAR *path = library.contextPath;
    WCHAR *list = library.featureList;

    EXPECT_EQ(c.result, library.PushContext());
    if (c.result == 1) {
        EXPECT_EQ(2u, library.contextStackSize);
        EXPECT_EQ(top + TEXT("/") + context, Text(Top().path));
    } else {
        EXPECT_EQ(1u, library.contextStackSize);
        EXPECT_EQ(path, library.contextPath);
        EXPECT_EQ(list, library.featureList);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PushJoinLimit,
                         ::testing::Values(JoinCase{"joined255", 200, 54, 1}, JoinCase{"joined256", 200, 55, 0},
                                           JoinCase{"topPathTooLong", 256, 1, 0},
                                           JoinCase{"contextPathTooLong", 1, 256, 0}),
                         [](const ::testing::TestParamInfo<JoinCase> &info) { return std::string(info.param.label); });

TEST_F(TicketNavigationTest, PushAfterAFrameNeedsAContextPath)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.PushContext());
    EXPECT_EQ(0, library.PushContext());
    EXPECT_EQ(1u, library.contextStackSize);
}

TEST_F(TicketNavigationTest, AllocationFailuresLeaveTheWalkStateAsItWas)
{
    // First push allocates the stack; the second joins a path.
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    WCHAR *path = library.contextPath;
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, library.PushContext());
    HostWinClearFaults();
    EXPECT_EQ(path, library.contextPath);
    EXPECT_EQ(0u, library.contextStackSize);
    ASSERT_EQ(1, library.PushContext());

    ASSERT_EQ(1, library.Navigate(TEXT("Duplex")));
    path = library.contextPath;
    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, library.PushContext());
    HostWinClearFaults();
    EXPECT_EQ(path, library.contextPath);
    EXPECT_EQ(1u, library.contextStackSize);

    HostWinInjectFault("alloc", 1);
    EXPECT_EQ(0, library.Navigate(TEXT("MediaType")));
    HostWinClearFaults();
    EXPECT_EQ(path, library.contextPath);
}

TEST_F(TicketNavigationTest, OpenAndCloseEmptyAStackLeftBehind)
{
    ASSERT_EQ(1, library.Navigate(TEXT("Printing")));
    ASSERT_EQ(1, library.LoadFeatureList(nullptr));
    ASSERT_EQ(1, library.PushContext());
    ASSERT_EQ(1, library.Navigate(TEXT("Duplex")));
    ASSERT_EQ(1, library.PushContext());
    ASSERT_EQ(1, library.Open(kPrinter, TEXT("Fake Printer"), fake.Path()));
    EXPECT_EQ(0u, library.contextStackSize);
    EXPECT_EQ(nullptr, library.contextPath);
    EXPECT_EQ(nullptr, library.featureList);

    ASSERT_EQ(1, library.Navigate(TEXT("Physical")));
    ASSERT_EQ(1, library.PushContext());
    EXPECT_EQ(1, library.Close());
    EXPECT_EQ(0u, library.contextStackSize);
}

}  // namespace
}  // namespace convertapi
