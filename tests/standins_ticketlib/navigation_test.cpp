// Contexts, feature lists, tokens and values over an open ticket.
#include "ticket_test.h"

#include <string>
#include <vector>

namespace {

class NavigationTest : public TicketTest {
protected:
    void SetUp() override
    {
        TicketTest::SetUp();
        ASSERT_EQ(Open(TicketXml("<Section name=\"Printing\">"
                                 "  <Feature name=\"Duplex\" value=\"LongEdge\">"
                                 "    <Feature name=\"DuplexEdge\" value=\"Left\"><Feature name=\"EdgeMargin\" value=\"5\"/></Feature>"
                                 "    <Feature name=\"DuplexMode\" value=\"Auto\"/>"
                                 "  </Feature>"
                                 "  <Feature name=\"MediaType\" value=\"Plain\"/>"
                                 "</Section>"
                                 "<Section name=\"Physical\">"
                                 "  <Feature name=\"Duplex\" value=\"Installed\"/>"
                                 "  <Feature name=\"Printing\" value=\"Like a section\"><Feature name=\"Inner\" value=\"x\"/></Feature>"
                                 "</Section>"
                                 "<Section name=\"Empty\"/>")),
                  1);
    }

    static LONG Set(const char *path) { return ZELSetContext(Widen(path).c_str()); }
};

TEST_F(NavigationTest, ListsFollowTheContext)
{
    const struct {
        const char *path;
        const char *list;
    } steps[] = {
        {"Printing", "Duplex;MediaType"},
        {"Duplex", "DuplexEdge;DuplexMode"},                             // a bare name descends
        {"DuplexEdge", "EdgeMargin"},
        {"EdgeMargin", ""},                                              // a feature without features
        {"Printing/Duplex", "DuplexEdge;DuplexMode"},                    // a joined path is absolute
        {"Printing/Printing/Duplex/DuplexEdge", "EdgeMargin"},           // with a repeated prefix
        {"Printing/Duplex/Printing/Duplex/DuplexMode", ""},
        {"Empty", ""},                                                   // a section without features
        {"Physical", "Duplex;Printing"},
        {"Physical/Printing", "Inner"},                                  // a feature named like a section
        {"Physical/Physical/Printing", "Inner"},
    };
    for (const auto &step : steps) {
        ASSERT_EQ(Set(step.path), 1) << step.path;
        EXPECT_EQ(List(), step.list) << step.path;
    }
}

TEST_F(NavigationTest, PathsThatNameNothingLeaveTheContext)
{
    ASSERT_EQ(Set("Printing/Duplex"), 1);
    const char *const refused[] = {"", "/Printing", "Printing/", "Printing//Duplex", "printing", "Nowhere",
                                   "Printing/Nowhere", "MediaType", "EdgeMargin"};
    for (const char *path : refused) EXPECT_EQ(Set(path), 0) << "'" << path << "'";
    EXPECT_EQ(ZELSetContext(nullptr), 0);
    EXPECT_EQ(List(), "DuplexEdge;DuplexMode");
}

TEST_F(NavigationTest, ABareNameIsTheFeatureJustReadBeforeASection)
{
    ASSERT_EQ(Set("Physical"), 1);
    // Reading "Printing" below Physical, then descending, reaches that feature...
    EXPECT_EQ(Value(TEXT("Printing")), "Like a section");
    ASSERT_EQ(Set("Printing"), 1);
    EXPECT_EQ(List(), "Inner");
    // ...while the same bare name without that read is the section.
    ASSERT_EQ(Set("Physical"), 1);
    ASSERT_EQ(Set("Printing"), 1);
    EXPECT_EQ(List(), "Duplex;MediaType");
}

TEST_F(NavigationTest, ValuesAreReadBelowTheContextOrByPath)
{
    ASSERT_EQ(Set("Printing"), 1);
    EXPECT_EQ(Value(TEXT("Duplex")), "LongEdge");
    EXPECT_EQ(Value(TEXT("MediaType")), "Plain");
    EXPECT_EQ(Value(TEXT("DuplexEdge")), "<fail>");  // not directly below
    EXPECT_EQ(Value(TEXT("Printing/Duplex/DuplexEdge/EdgeMargin")), "5");
    EXPECT_EQ(Value(TEXT("Physical/Duplex")), "Installed");
    EXPECT_EQ(Value(TEXT("Physical")), "<fail>");  // a section has no value
    EXPECT_EQ(Value(TEXT("Nowhere")), "<fail>");
}

TEST_F(NavigationTest, TokensComeInFileOrderUntilTheListIsExhausted)
{
    ASSERT_EQ(Set("Physical"), 1);
    std::vector<WCHAR> list = PreparedBuffer(2048);
    ASSERT_EQ(ZELEnumFeatures(nullptr, list.data()), 1);
    std::vector<std::string> tokens;
    for (;;) {
        std::vector<WCHAR> token = PreparedBuffer(256);
        if (!ZELEnumListToken(token.data(), list.data())) break;
        tokens.push_back(Narrow(token.data()));
    }
    EXPECT_EQ(tokens, (std::vector<std::string>{"Duplex", "Printing"}));
    std::vector<WCHAR> token = PreparedBuffer(256);
    EXPECT_EQ(ZELEnumListToken(token.data(), list.data()), 0);
}

TEST_F(NavigationTest, EmptyListYieldsNoToken)
{
    ASSERT_EQ(Set("Empty"), 1);
    std::vector<WCHAR> list = PreparedBuffer(2048);
    ASSERT_EQ(ZELEnumFeatures(nullptr, list.data()), 1);
    EXPECT_EQ(list[0], 0);
    std::vector<WCHAR> token = PreparedBuffer(256);
    EXPECT_EQ(ZELEnumListToken(token.data(), list.data()), 0);
}

TEST_F(NavigationTest, ListingNeedsAContextAndANullParent)
{
    EXPECT_EQ(List(), "<fail>");  // no context set yet
    ASSERT_EQ(Set("Printing"), 1);
    std::vector<WCHAR> list = PreparedBuffer(2048);
    const WCHAR parent[] = TEXT("Printing");
    EXPECT_EQ(ZELEnumFeatures(parent, list.data()), 0);
}

TEST_F(NavigationTest, NullPointersAnswerZero)
{
    ASSERT_EQ(Set("Printing"), 1);
    std::vector<WCHAR> buffer = PreparedBuffer(256);
    std::vector<WCHAR> list = PreparedBuffer(2048);
    ASSERT_EQ(ZELEnumFeatures(nullptr, list.data()), 1);
    EXPECT_EQ(ZELSetContext(nullptr), 0);
    EXPECT_EQ(ZELEnumFeatures(nullptr, nullptr), 0);
    EXPECT_EQ(ZELEnumListToken(nullptr, list.data()), 0);
    EXPECT_EQ(ZELEnumListToken(buffer.data(), nullptr), 0);
    EXPECT_EQ(ZELGet(nullptr, buffer.data()), 0);
    EXPECT_EQ(ZELGet(TEXT("Duplex"), nullptr), 0);
    EXPECT_EQ(ZELStartConfig(nullptr, 0, nullptr, 0), 0);
}

TEST_F(TicketTest, NothingAnswersWithoutAnOpenTicket)
{
    std::vector<WCHAR> buffer = PreparedBuffer(256);
    EXPECT_EQ(ZELSetContext(TEXT("Printing")), 0);
    EXPECT_EQ(ZELEnumFeatures(nullptr, buffer.data()), 0);
    EXPECT_EQ(ZELGet(TEXT("Printing/Duplex"), buffer.data()), 0);
    EXPECT_EQ(ZELEndConfig(), 0);
}

}  // namespace
