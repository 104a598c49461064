// Whole-file reading and writing by UTF-16 path, for the stand-ins' ticket
// files. On Windows the path goes to _wfopen as it is; elsewhere it is
// converted to UTF-8 for fopen.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/common/owned_array.h"

#include <cstddef>

namespace standin {

// Reads the whole file at `path` into `out` (Size() is the byte count, and a
// zero byte follows the data). Fails, leaving `out` empty, on a null or
// unconvertible path, a missing or unreadable file (a folder included), a file
// of more than `maxBytes` bytes, or an allocation failure.
int ReadWholeFile(const WCHAR *path, size_t maxBytes, OwnedArray<char> *out);

// Creates or truncates the file at `path` and writes `size` bytes of `data`
// (null is allowed for size 0). Fails if the file cannot be opened, written
// completely or closed.
int WriteWholeFile(const WCHAR *path, const void *data, size_t size);

}  // namespace standin
