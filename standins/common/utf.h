// UTF-8 <-> UTF-16 conversion for the stand-ins: ticket files are UTF-8, the
// ticket library's interface and the registry are UTF-16. Both directions are
// strict: invalid input is refused rather than repaired, so that nothing the
// stand-ins read or write changes silently on the way.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/common/owned_array.h"

#include <cstddef>

namespace standin {

// Converts `length` bytes of UTF-8 into `out`. Fails (leaving `out` empty) on
// a null text, an invalid or truncated sequence, an overlong form, an encoded
// surrogate, a code point above U+10FFFF, or an allocation failure. A zero
// byte inside the length is converted like any other character.
int Utf8ToUtf16(const char *text, size_t length, OwnedArray<WCHAR> *out);

// Converts `length` UTF-16 code units into UTF-8 in `out`. Fails (leaving
// `out` empty) on a null text, an unpaired surrogate or an allocation failure.
int Utf16ToUtf8(const WCHAR *text, size_t length, OwnedArray<char> *out);

// Characters before the terminating zero; 0 for null.
size_t WideLength(const WCHAR *text);

}  // namespace standin
