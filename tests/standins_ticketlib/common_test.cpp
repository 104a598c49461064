// The helpers both stand-ins share: strict UTF conversion and whole files.
#include "test_support.h"

#include "standins/common/file_io.h"
#include "standins/common/utf.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using standin::OwnedArray;

TEST(Utf, ConvertsEveryPlaneBothWays)
{
    // One, two, three and four UTF-8 bytes; the last is a surrogate pair in UTF-16.
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const std::vector<WCHAR> utf16 = {0x41, 0xE9, 0x20AC, 0xD83D, 0xDE00};
    OwnedArray<WCHAR> wide;
    ASSERT_TRUE(standin::Utf8ToUtf16(utf8.data(), utf8.size(), &wide));
    EXPECT_EQ(std::vector<WCHAR>(wide.Data(), wide.Data() + wide.Size()), utf16);
    EXPECT_EQ(wide.Data()[wide.Size()], 0);
    OwnedArray<char> narrow;
    ASSERT_TRUE(standin::Utf16ToUtf8(utf16.data(), utf16.size(), &narrow));
    EXPECT_EQ(std::string(narrow.Data(), narrow.Size()), utf8);
}

TEST(Utf, EmptyTextIsAnEmptyTerminatedResult)
{
    OwnedArray<WCHAR> wide;
    ASSERT_TRUE(standin::Utf8ToUtf16("", 0, &wide));
    ASSERT_NE(wide.Data(), nullptr);
    EXPECT_EQ(wide.Size(), 0u);
    EXPECT_EQ(wide.Data()[0], 0);
}

TEST(Utf, RefusesInvalidUtf8)
{
    const std::string cases[] = {
        "\x80",              // continuation byte without a lead
        "\xC0\x80",          // overlong NUL
        "\xE0\x80\xAF",      // overlong '/'
        "\xED\xA0\x80",      // encoded surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xE2\x82",          // truncated
        "\xC3\x41",          // lead followed by a non-continuation
        "\xFF",
    };
    for (const std::string &text : cases) {
        OwnedArray<WCHAR> wide;
        EXPECT_FALSE(standin::Utf8ToUtf16(text.data(), text.size(), &wide)) << testing::PrintToString(text);
        EXPECT_EQ(wide.Data(), nullptr);
    }
}

TEST(Utf, RefusesUnpairedSurrogates)
{
    const std::vector<std::vector<WCHAR>> cases = {
        {0xD800},          // high surrogate at the end
        {0xDC00, 0x41},    // low surrogate first
        {0xD800, 0x41},    // high surrogate followed by a plain character
        {0xD800, 0xD800},  // two high surrogates
    };
    for (const std::vector<WCHAR> &text : cases) {
        OwnedArray<char> narrow;
        EXPECT_FALSE(standin::Utf16ToUtf8(text.data(), text.size(), &narrow));
        EXPECT_EQ(narrow.Data(), nullptr);
    }
}

TEST(Utf, NullArgumentsFail)
{
    OwnedArray<WCHAR> wide;
    OwnedArray<char> narrow;
    EXPECT_FALSE(standin::Utf8ToUtf16(nullptr, 0, &wide));
    EXPECT_FALSE(standin::Utf8ToUtf16("a", 1, nullptr));
    EXPECT_FALSE(standin::Utf16ToUtf8(nullptr, 0, &narrow));
    EXPECT_EQ(standin::WideLength(nullptr), 0u);
}

TEST(WholeFile, WritesAndReadsBackUnderANonAsciiName)
{
    const std::string content("line one\r\nline two\0with a zero byte", 35);
    const WideString path = TempPath("t\xC3\xAF" "ck\xC3\xA9t-\xE2\x9C\x93.xml");
    ASSERT_TRUE(standin::WriteWholeFile(path.c_str(), content.data(), content.size()));
    OwnedArray<char> read;
    ASSERT_TRUE(standin::ReadWholeFile(path.c_str(), 1024, &read));
    EXPECT_EQ(std::string(read.Data(), read.Size()), content);
    EXPECT_EQ(read.Data()[read.Size()], 0);
}

TEST(WholeFile, SizeLimitIsInclusive)
{
    const std::string content(70000, 'x');  // more than one read block
    const WideString path = WriteTempFile("big", content);
    OwnedArray<char> read;
    EXPECT_TRUE(standin::ReadWholeFile(path.c_str(), content.size(), &read));
    EXPECT_EQ(read.Size(), content.size());
    EXPECT_FALSE(standin::ReadWholeFile(path.c_str(), content.size() - 1, &read));
    EXPECT_EQ(read.Data(), nullptr);
}

TEST(WholeFile, EmptyFileReadsAsEmpty)
{
    const WideString path = WriteTempFile("empty", "");
    OwnedArray<char> read;
    ASSERT_TRUE(standin::ReadWholeFile(path.c_str(), 0, &read));
    EXPECT_EQ(read.Size(), 0u);
}

TEST(WholeFile, MissingFileFolderAndNullPathFail)
{
    OwnedArray<char> read;
    EXPECT_FALSE(standin::ReadWholeFile(TempPath("missing").c_str(), 1024, &read));
    EXPECT_FALSE(standin::ReadWholeFile(Widen(::testing::TempDir()).c_str(), 1024, &read));
    EXPECT_FALSE(standin::ReadWholeFile(nullptr, 1024, &read));
    EXPECT_FALSE(standin::WriteWholeFile(nullptr, "x", 1));
    const WideString inMissingFolder = Widen(::testing::TempDir() + "standin_ticketlib_no_such_folder/file");
    EXPECT_FALSE(standin::WriteWholeFile(inMissingFolder.c_str(), "x", 1));
}

}  // namespace
