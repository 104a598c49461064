// Tells a test whether it runs under Wine rather than on Windows or the host.
// Use it only for a difference that lies in Wine (say so beside the use);
// a difference between hostwin and Wine is a fault of hostwin.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace scenario {

inline bool RunningUnderWine()
{
#ifdef _WIN32
    // Wine's ntdll exports its version; Windows' does not.
    HMODULE ntdll = GetModuleHandleW(TEXT("ntdll.dll"));
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

}  // namespace scenario
