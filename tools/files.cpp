#include "files.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace convertapi_cli {
namespace {

FILE *OpenForReading(const WString &path)
{
#ifdef _WIN32
    return _wfopen(path.c_str(), TEXT("rb"));
#else
    return std::fopen(Narrow(path).c_str(), "rb");
#endif
}

}  // namespace

bool FileReadable(const WString &path) { return FileSize(path) >= 0; }

long long FileSize(const WString &path)
{
#ifndef _WIN32
    struct stat status;
    if (stat(Narrow(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
#endif
    FILE *file = OpenForReading(path);
    if (file == nullptr) return -1;
    long long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fclose(file);
    return size;
}

bool RemoveFile(const WString &path)
{
#ifdef _WIN32
    _wremove(path.c_str());
#else
    std::remove(Narrow(path).c_str());
#endif
    return !FileReadable(path);
}

WString TempFilePath(const char *name)
{
#ifdef _WIN32
    WCHAR folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    WString path(folder, length);
    if (!path.empty() && path.back() != TEXT('\\')) path += TEXT('\\');
    const unsigned long pid = GetCurrentProcessId();
#else
    const char *temp = std::getenv("TMPDIR");
    WString path = Widen(std::string(temp && *temp ? temp : "/tmp") + "/");
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    return path + Widen("convertapi-" + std::to_string(pid) + "-" + name);
}

}  // namespace convertapi_cli
