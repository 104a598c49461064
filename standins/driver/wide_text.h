// Small UTF-16 text helpers of the stand-in driver: comparison and a
// fixed-capacity text builder. No C library wide-character function is used,
// so the same code builds where WCHAR is char16_t.
#pragma once

#include "driver_platform.h"

#include <cstddef>

namespace standin_driver {

// Characters before the terminating zero; 0 for null.
size_t TextLength(const WCHAR *text);
// Exact comparison; null equals only null.
bool TextEqual(const WCHAR *a, const WCHAR *b);
// Comparison ignoring the case of the ASCII letters A to Z, as the registry
// and the library compare names.
bool TextEqualNoCase(const WCHAR *a, const WCHAR *b);

// Reads a decimal number written the way TextBuffer::AppendSigned writes one
// (an optional '-', no leading zeros, no '+', no "-0"). Returns 1 and the
// value only for such a text within the range of LONG.
int ParseCanonicalDecimal(const WCHAR *text, LONG *value);

// Text built into a caller's buffer of `capacity` characters (terminating
// zero included). Every append is all or nothing: one that does not fit
// returns 0 and leaves the text as it was.
class TextBuffer {
public:
    TextBuffer(WCHAR *buffer, size_t capacity);

    int Append(const WCHAR *text);
    int AppendCount(const WCHAR *text, size_t count);
    int AppendChar(WCHAR c);
    int AppendUnsigned(DWORD value);
    int AppendSigned(LONG value);
    // Two hexadecimal digits, upper case.
    int AppendHexByte(BYTE value);
    // Cuts the text back to `length` characters (no-op when longer).
    void Truncate(size_t length);

    const WCHAR *Text() const { return buffer_; }
    size_t Length() const { return length_; }

private:
    WCHAR *buffer_;
    size_t capacity_;
    size_t length_;
};

}  // namespace standin_driver
