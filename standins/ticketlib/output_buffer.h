// Output buffers of the ticket library's interface. The client passes no size
// with a buffer; it prepares it instead: every character 0xFFFF up to a
// terminating zero. That preparation is the only capacity the library trusts.
#pragma once

#include "convertapi/common/platform.h"

#include <cstddef>

namespace standin {

// The prepared capacity of `buffer` in characters, terminating zero included:
// the 0xFFFF characters before the first zero, plus one. 0 for a null buffer
// or one that does not look prepared (something other than 0xFFFF before the
// first zero), into which nothing is written.
size_t PreparedCapacity(const WCHAR *buffer);

// Writes `length` characters of `text` and a zero into the prepared `buffer`
// if they fit; otherwise writes nothing and fails. Never truncates.
int WritePrepared(WCHAR *buffer, const WCHAR *text, size_t length);

}  // namespace standin
