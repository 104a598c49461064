// Files by UTF-16 path, on both builds.
#pragma once

#include "text.h"

namespace convertapi_cli {

bool FileReadable(const WString &path);
// Size in bytes, or -1 when the file cannot be read.
long long FileSize(const WString &path);
// Removes the file if it is there; true when it is gone.
bool RemoveFile(const WString &path);
// A path in the system's temporary folder, unique to this process: "<temp>/convertapi-<pid>-<name>".
WString TempFilePath(const char *name);

}  // namespace convertapi_cli
