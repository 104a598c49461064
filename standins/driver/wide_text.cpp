#include "wide_text.h"

namespace standin_driver {

size_t TextLength(const WCHAR *text)
{
    size_t length = 0;
    if (text)
        while (text[length] != 0) ++length;
    return length;
}

bool TextEqual(const WCHAR *a, const WCHAR *b)
{
    if (!a || !b) return a == b;
    for (; *a == *b; ++a, ++b)
        if (*a == 0) return true;
    return false;
}

namespace {
WCHAR FoldAscii(WCHAR c) { return (c >= 'A' && c <= 'Z') ? static_cast<WCHAR>(c - 'A' + 'a') : c; }
}  // namespace

bool TextEqualNoCase(const WCHAR *a, const WCHAR *b)
{
    if (!a || !b) return a == b;
    for (; FoldAscii(*a) == FoldAscii(*b); ++a, ++b)
        if (*a == 0) return true;
    return false;
}

int ParseCanonicalDecimal(const WCHAR *text, LONG *value)
{
    if (!text || !value) return 0;
    bool negative = false;
    if (*text == '-') {
        negative = true;
        ++text;
    }
    if (*text < '0' || *text > '9') return 0;
    if (*text == '0' && (text[1] != 0 || negative)) return 0;  // leading zero or "-0"
    long long magnitude = 0;
    for (; *text != 0; ++text) {
        if (*text < '0' || *text > '9') return 0;
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > 2147483648LL) return 0;
    }
    if (!negative && magnitude > 2147483647LL) return 0;
    *value = static_cast<LONG>(negative ? -magnitude : magnitude);
    return 1;
}

TextBuffer::TextBuffer(WCHAR *buffer, size_t capacity) : buffer_(buffer), capacity_(capacity), length_(0)
{
    if (buffer_ && capacity_ > 0) buffer_[0] = 0;
}

int TextBuffer::AppendCount(const WCHAR *text, size_t count)
{
    if (!buffer_ || capacity_ == 0) return 0;
    if (count >= capacity_ - length_) return 0;
    for (size_t i = 0; i < count; ++i) buffer_[length_ + i] = text[i];
    length_ += count;
    buffer_[length_] = 0;
    return 1;
}

int TextBuffer::Append(const WCHAR *text) { return AppendCount(text, TextLength(text)); }

int TextBuffer::AppendChar(WCHAR c) { return AppendCount(&c, 1); }

int TextBuffer::AppendUnsigned(DWORD value)
{
    WCHAR digits[10];
    size_t count = 0;
    do {
        digits[9 - count++] = static_cast<WCHAR>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return AppendCount(digits + 10 - count, count);
}

int TextBuffer::AppendSigned(LONG value)
{
    size_t mark = length_;
    if (value >= 0) return AppendUnsigned(static_cast<DWORD>(value));
    if (!AppendChar('-')) return 0;
    if (AppendUnsigned(0u - static_cast<DWORD>(value))) return 1;
    Truncate(mark);
    return 0;
}

int TextBuffer::AppendHexByte(BYTE value)
{
    static const char kDigits[] = "0123456789ABCDEF";
    WCHAR pair[2] = {static_cast<WCHAR>(kDigits[value >> 4]), static_cast<WCHAR>(kDigits[value & 15])};
    return AppendCount(pair, 2);
}

void TextBuffer::Truncate(size_t length)
{
    if (!buffer_ || length >= length_) return;
    length_ = length;
    buffer_[length_] = 0;
}

}  // namespace standin_driver
