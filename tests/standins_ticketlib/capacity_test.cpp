// The capacity rule: the library learns a buffer's size only from the client's
// preparation, writes whatever fits completely, and answers 0 without writing
// anything for what does not fit.
#include "ticket_test.h"

#include <string>
#include <vector>

namespace {

class CapacityTest : public TicketTest {
protected:
    void SetUp() override
    {
        TicketTest::SetUp();
        // Names and values of 255 UTF-16 units; the last value ends in a
        // surrogate pair, which counts as two.
        const std::string value255(255, 'v');
        const std::string pair255 = std::string(253, 'p') + "\xF0\x9F\x98\x80";
        ASSERT_EQ(Open(TicketXml("<Section name=\"Printing\">"
                                 "<Feature name=\"" + name255_ + "\" value=\"" + value255 + "\"/>"
                                 "<Feature name=\"Pair\" value=\"" + pair255 + "\"/>"
                                 "<Feature name=\"Empty\"/></Section>")),
                  1);
        ASSERT_EQ(ZELSetContext(TEXT("Printing")), 1);
    }

    const std::string name255_ = std::string(255, 'n');
};

struct Fit {
    size_t capacity;
    bool fits;
};

TEST_F(CapacityTest, ValueFitsExactlyOrNotAtAll)
{
    const struct {
        const char *name;
        Fit fit;
    } cases[] = {
        {"Pair", {256, true}}, {"Pair", {255, false}}, {"Empty", {1, true}},
    };
    for (const auto &c : cases) {
        std::vector<WCHAR> value = PreparedBuffer(c.fit.capacity);
        EXPECT_EQ(ZELGet(Widen(c.name).c_str(), value.data()) != 0, c.fit.fits) << c.name << " " << c.fit.capacity;
        if (!c.fit.fits) {
            EXPECT_TRUE(StillPrepared(value)) << c.name << " " << c.fit.capacity;
        }
    }
    std::vector<WCHAR> value = PreparedBuffer(256);
    ASSERT_EQ(ZELGet(Widen(name255_).c_str(), value.data()), 1);
    EXPECT_EQ(Narrow(value.data()), std::string(255, 'v'));
    value = PreparedBuffer(255);
    EXPECT_EQ(ZELGet(Widen(name255_).c_str(), value.data()), 0);
    EXPECT_TRUE(StillPrepared(value));
}

TEST_F(CapacityTest, ListFitsExactlyOrNotAtAll)
{
    const std::string expected = name255_ + ";Pair;Empty";
    const Fit cases[] = {{expected.size() + 1, true}, {expected.size(), false}, {1, false}};
    for (const Fit &c : cases) {
        std::vector<WCHAR> list = PreparedBuffer(c.capacity);
        EXPECT_EQ(ZELEnumFeatures(nullptr, list.data()) != 0, c.fits) << c.capacity;
        if (c.fits) {
            EXPECT_EQ(Narrow(list.data()), expected);
        } else {
            EXPECT_TRUE(StillPrepared(list)) << c.capacity;
        }
    }
}

TEST_F(CapacityTest, TokenThatDoesNotFitStaysInTheList)
{
    std::vector<WCHAR> list = PreparedBuffer(2048);
    ASSERT_EQ(ZELEnumFeatures(nullptr, list.data()), 1);
    std::vector<WCHAR> token = PreparedBuffer(255);
    EXPECT_EQ(ZELEnumListToken(token.data(), list.data()), 0);
    EXPECT_TRUE(StillPrepared(token));
    token = PreparedBuffer(256);
    ASSERT_EQ(ZELEnumListToken(token.data(), list.data()), 1);
    EXPECT_EQ(Narrow(token.data()), name255_);
    token = PreparedBuffer(5);
    ASSERT_EQ(ZELEnumListToken(token.data(), list.data()), 1);
    EXPECT_EQ(Narrow(token.data()), "Pair");
}

TEST_F(CapacityTest, UnpreparedBufferTakesNothing)
{
    // Without 0xFFFF characters before its first zero the buffer announces a
    // capacity of 1: room for an empty text only.
    std::vector<WCHAR> zeroed(256, 0);
    EXPECT_EQ(ZELGet(TEXT("Pair"), zeroed.data()), 0);
    EXPECT_EQ(ZELGet(TEXT("Empty"), zeroed.data()), 1);
    // Anything else before the zero is not a preparation at all.
    std::vector<WCHAR> garbage(256, TEXT('x'));
    garbage.back() = 0;
    EXPECT_EQ(ZELGet(TEXT("Empty"), garbage.data()), 0);
    EXPECT_EQ(ZELEnumFeatures(nullptr, garbage.data()), 0);
    EXPECT_EQ(garbage[0], TEXT('x'));
}

}  // namespace
