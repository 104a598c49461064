#include "test_support.h"

#include "standins/common/file_io.h"
#include "standins/common/utf.h"

#include <gtest/gtest.h>

WideString Widen(const std::string &utf8)
{
    standin::OwnedArray<WCHAR> wide;
    EXPECT_TRUE(standin::Utf8ToUtf16(utf8.data(), utf8.size(), &wide));
    return wide.Data() ? WideString(wide.Data(), wide.Size()) : WideString();
}

std::string Narrow(const WCHAR *text)
{
    standin::OwnedArray<char> narrow;
    if (!text || !standin::Utf16ToUtf8(text, standin::WideLength(text), &narrow)) return "<invalid>";
    return std::string(narrow.Data(), narrow.Size());
}

void Prepare(WCHAR *buffer, size_t capacity)
{
    for (size_t i = 0; i + 1 < capacity; ++i) buffer[i] = static_cast<WCHAR>(0xFFFF);
    buffer[capacity - 1] = 0;
}

std::vector<WCHAR> PreparedBuffer(size_t capacity)
{
    std::vector<WCHAR> buffer(capacity);
    Prepare(buffer.data(), capacity);
    return buffer;
}

bool StillPrepared(const std::vector<WCHAR> &buffer)
{
    return buffer == PreparedBuffer(buffer.size());
}

WideString TempPath(const std::string &name)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = std::string("standin_ticketlib_") + test->test_suite_name() + "_" + test->name() + "_" + name;
    for (char &c : unique) {
        if (c == '/') c = '_';
    }
    return Widen(::testing::TempDir() + unique);
}

WideString WriteTempFile(const std::string &name, const std::string &content)
{
    const WideString path = TempPath(name);
    EXPECT_TRUE(standin::WriteWholeFile(path.c_str(), content.data(), content.size()));
    return path;
}

std::string TicketXml(const std::string &sections)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Ticket version=\"1\">" + sections + "</Ticket>\n";
}
