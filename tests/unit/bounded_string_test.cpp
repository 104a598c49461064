#include "convertapi/common/bounded_string.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace convertapi {
namespace {

using WString = std::basic_string<WCHAR>;
constexpr WCHAR kFill = 0x2A2A;  // marks characters nobody should write

// A destination with guard characters behind its capacity.
struct Destination {
    explicit Destination(size_t capacity, const WCHAR *initial = nullptr) : chars(capacity + 4, kFill), capacity(capacity)
    {
        if (initial == nullptr) return;
        size_t i = 0;
        for (; initial[i] != 0; ++i) chars[i] = initial[i];
        chars[i] = 0;
    }
    WString Text() const { return WString(chars.data()); }
    bool GuardsIntact() const
    {
        for (size_t i = capacity; i < chars.size(); ++i)
            if (chars[i] != kFill) return false;
        return true;
    }
    std::vector<WCHAR> chars;
    size_t capacity;
};

struct CopyCase {
    const char *label;
    size_t capacity;
    const WCHAR *source;
    HRESULT result;
    const WCHAR *text;
};
void PrintTo(const CopyCase &c, std::ostream *out) { *out << c.label; }

class BoundedCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(BoundedCopyTest, CopiesWithinCapacityAndTerminates)
{
    const CopyCase &c = GetParam();
    Destination destination(c.capacity);
    EXPECT_EQ(c.result, BoundedCopy(destination.chars.data(), c.capacity, c.source));
    EXPECT_EQ(WString(c.text), destination.Text());
    EXPECT_TRUE(destination.GuardsIntact());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundedCopyTest,
    ::testing::Values(CopyCase{"fits", 4, TEXT("abc"), kBoundedOk, TEXT("abc")},
                      CopyCase{"roomToSpare", 10, TEXT("abc"), kBoundedOk, TEXT("abc")},
                      CopyCase{"oneTooLong", 4, TEXT("abcd"), kBoundedInsufficientBuffer, TEXT("abc")},
                      CopyCase{"muchTooLong", 3, TEXT("abcdefgh"), kBoundedInsufficientBuffer, TEXT("ab")},
                      CopyCase{"onlyTheZeroFits", 1, TEXT("a"), kBoundedInsufficientBuffer, TEXT("")},
                      CopyCase{"emptyIntoOne", 1, TEXT(""), kBoundedOk, TEXT("")}),
    [](const ::testing::TestParamInfo<CopyCase> &info) { return std::string(info.param.label); });

TEST(BoundedCopy, RefusesInvalidCapacityWithoutTouchingTheDestination)
{
    for (size_t capacity : {size_t{0}, kBoundedMaxCapacity + 1}) {
        WCHAR destination[4] = {kFill, kFill, kFill, kFill};
        EXPECT_EQ(kBoundedInvalidArgument, BoundedCopy(destination, capacity, TEXT("a"))) << capacity;
        EXPECT_EQ(kFill, destination[0]);
    }
}

TEST(BoundedCat, AppendsAfterTheExistingText)
{
    Destination destination(8, TEXT("ab"));
    EXPECT_EQ(kBoundedOk, BoundedCat(destination.chars.data(), 8, TEXT("cde")));
    EXPECT_EQ(WString(TEXT("abcde")), destination.Text());
    EXPECT_TRUE(destination.GuardsIntact());
}

TEST(BoundedCat, TruncatesIntoTheRemainingCapacity)
{
    Destination destination(6, TEXT("abc"));
    EXPECT_EQ(kBoundedInsufficientBuffer, BoundedCat(destination.chars.data(), 6, TEXT("defgh")));
    EXPECT_EQ(WString(TEXT("abcde")), destination.Text());
    EXPECT_TRUE(destination.GuardsIntact());
}

TEST(BoundedCat, FullDestinationTakesOnlyAnEmptySource)
{
    Destination destination(4, TEXT("abc"));
    EXPECT_EQ(kBoundedOk, BoundedCat(destination.chars.data(), 4, TEXT("")));
    EXPECT_EQ(kBoundedInsufficientBuffer, BoundedCat(destination.chars.data(), 4, TEXT("d")));
    EXPECT_EQ(WString(TEXT("abc")), destination.Text());
    EXPECT_TRUE(destination.GuardsIntact());
}

TEST(BoundedCat, UnterminatedDestinationIsRefusedAndLeftAlone)
{
    WCHAR destination[4] = {TEXT('a'), TEXT('b'), TEXT('c'), TEXT('d')};
    EXPECT_EQ(kBoundedInvalidArgument, BoundedCat(destination, 4, TEXT("x")));
    EXPECT_EQ(TEXT('d'), destination[3]);
    EXPECT_EQ(kBoundedInvalidArgument, BoundedCat(destination, 0, TEXT("x")));
}

struct LengthCase {
    const char *label;
    const WCHAR *text;
    size_t maximum;
    HRESULT result;
    size_t length;
};
void PrintTo(const LengthCase &c, std::ostream *out) { *out << c.label; }

class BoundedLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(BoundedLengthTest, MeasuresOrReportsZero)
{
    const LengthCase &c = GetParam();
    size_t length = 99;
    EXPECT_EQ(c.result, BoundedLength(c.text, c.maximum, &length));
    EXPECT_EQ(c.length, length);
    EXPECT_EQ(c.result, BoundedLength(c.text, c.maximum, nullptr));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BoundedLengthTest,
    ::testing::Values(LengthCase{"zeroWithinMaximum", TEXT("abc"), 4, kBoundedOk, 3},
                      LengthCase{"empty", TEXT(""), 1, kBoundedOk, 0},
                      LengthCase{"zeroJustOutside", TEXT("abc"), 3, kBoundedInvalidArgument, 0},
                      LengthCase{"maximumZero", TEXT(""), 0, kBoundedInvalidArgument, 0},
                      LengthCase{"maximumTooLarge", TEXT("a"), kBoundedMaxCapacity + 1, kBoundedInvalidArgument, 0},
                      LengthCase{"largestMaximum", TEXT("a"), kBoundedMaxCapacity, kBoundedOk, 1},
                      LengthCase{"nullText", nullptr, 10, kBoundedInvalidArgument, 0}),
    [](const ::testing::TestParamInfo<LengthCase> &info) { return std::string(info.param.label); });

TEST(BoundedFormat, FormatsUnsigned32BitValues)
{
    WCHAR out[16];
    EXPECT_EQ(kBoundedOk, BoundedFormat(out, 16, TEXT("%lu"), static_cast<unsigned long>(0)));
    EXPECT_EQ(WString(TEXT("0")), WString(out));
    EXPECT_EQ(kBoundedOk, BoundedFormat(out, 16, TEXT("%lu"), static_cast<unsigned long>(0xFFFFFFFFu)));
    EXPECT_EQ(WString(TEXT("4294967295")), WString(out));
    EXPECT_EQ(kBoundedOk, BoundedFormat(out, 16, TEXT("id%lu."), static_cast<unsigned long>(1234)));
    EXPECT_EQ(WString(TEXT("id1234.")), WString(out));
}

TEST(BoundedFormat, OutputOfCapacityMinusOneFitsOneMoreDoesNot)
{
    Destination exact(6);
    EXPECT_EQ(kBoundedOk, BoundedFormat(exact.chars.data(), 6, TEXT("%lu"), static_cast<unsigned long>(12345)));
    EXPECT_EQ(WString(TEXT("12345")), exact.Text());
    EXPECT_TRUE(exact.GuardsIntact());

    Destination tight(5);
    EXPECT_EQ(kBoundedInsufficientBuffer,
              BoundedFormat(tight.chars.data(), 5, TEXT("%lu"), static_cast<unsigned long>(12345)));
    EXPECT_EQ(WString(TEXT("1234")), tight.Text());
    EXPECT_TRUE(tight.GuardsIntact());
}

TEST(BoundedFormat, InvalidCapacityLeavesTheDestinationAlone)
{
    WCHAR out[2] = {kFill, kFill};
    EXPECT_EQ(kBoundedInvalidArgument, BoundedFormat(out, 0, TEXT("%lu"), static_cast<unsigned long>(1)));
    EXPECT_EQ(kBoundedInvalidArgument,
              BoundedFormat(out, kBoundedMaxCapacity + 1, TEXT("%lu"), static_cast<unsigned long>(1)));
    EXPECT_EQ(kFill, out[0]);
}

TEST(BoundedFormat, BrokenFormatIsAFailureAndStopsAtItsEnd)
{
    // Exactly sized, so that a read past the terminating zero shows under a sanitizer.
    const std::vector<WCHAR> trailingPercent = {TEXT('a'), TEXT('%'), 0};
    const std::vector<WCHAR> trailingLong = {TEXT('a'), TEXT('%'), TEXT('l'), 0};
    WCHAR out[8];
    EXPECT_EQ(kBoundedInsufficientBuffer, BoundedFormat(out, 8, trailingPercent.data()));
    EXPECT_EQ(WString(TEXT("a")), WString(out));
    EXPECT_EQ(kBoundedInsufficientBuffer, BoundedFormat(out, 8, trailingLong.data()));
    EXPECT_EQ(kBoundedInsufficientBuffer, BoundedFormat(out, 8, TEXT("%q")));
}

TEST(BoundedFormat, OtherConversions)
{
    WCHAR out[32];
    EXPECT_EQ(kBoundedOk, BoundedFormat(out, 32, TEXT("%x/%X/%d/%s/%c/%%"), 0xABu, 0xABu, -12, TEXT("t"),
                                        static_cast<int>(TEXT('c'))));
    EXPECT_EQ(WString(TEXT("ab/AB/-12/t/c/%")), WString(out));
}

}  // namespace
}  // namespace convertapi
