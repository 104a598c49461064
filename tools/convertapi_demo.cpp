// A first look at convertapi: asks the library for its interface version.
#include "convertapi.h"

#include <cstdio>

int main()
{
    DWORD version = 0;
    DWORD result = GetConvertAPIVersion(&version);
    std::printf("GetConvertAPIVersion: result %u, version %u\n", static_cast<unsigned>(result),
                static_cast<unsigned>(version));
    version = 0;
    result = GetConvertAPIVersionEx(&version, nullptr);
    std::printf("GetConvertAPIVersionEx (no printer): result %u, version %u\n", static_cast<unsigned>(result),
                static_cast<unsigned>(version));
    return result == ConvertAPISuccess && version == ConvertAPIVersion ? 0 : 1;
}
