// CoCreateGuid and StringFromGUID2.
#include "internal.h"

#include <cstdio>
#include <mutex>
#include <random>

const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// A random (version 4, RFC 4122 variant) GUID. Under a "guid" fault the GUID
// is left as GUID_NULL and an error comes back, as when the system has no
// source of randomness.
HRESULT WINAPI CoCreateGuid(GUID *pguid)
{
    if (!pguid) return E_INVALIDARG;
    if (hostwin::FaultHits("CoCreateGuid", "guid")) {
        *pguid = GUID_NULL;
        return E_FAIL;
    }
    static std::mutex lock;
    static std::random_device device;
    BYTE bytes[16];
    {
        std::lock_guard<std::mutex> guard(lock);
        for (int i = 0; i < 16; i += 4) {
            unsigned int r = device();
            for (int j = 0; j < 4; ++j) bytes[i + j] = static_cast<BYTE>(r >> (8 * j));
        }
    }
    bytes[7] = static_cast<BYTE>((bytes[7] & 0x0F) | 0x40); // Data3's high byte: version 4
    bytes[8] = static_cast<BYTE>((bytes[8] & 0x3F) | 0x80); // Data4[0]: variant
    pguid->Data1 = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24;
    pguid->Data2 = static_cast<WORD>(bytes[4] | bytes[5] << 8);
    pguid->Data3 = static_cast<WORD>(bytes[6] | bytes[7] << 8);
    for (int i = 0; i < 8; ++i) pguid->Data4[i] = bytes[8 + i];
    return S_OK;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": 38 characters and a NUL; the
// result counts the NUL. 0 when the buffer holds fewer than 39 characters.
int WINAPI StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax)
{
    if (hostwin::FaultHits("StringFromGUID2", nullptr)) return 0;  // by name only: no category fails it
    if (!lpsz || cchMax < 39) return 0;
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(rguid.Data1), rguid.Data2, rguid.Data3, rguid.Data4[0], rguid.Data4[1],
                  rguid.Data4[2], rguid.Data4[3], rguid.Data4[4], rguid.Data4[5], rguid.Data4[6], rguid.Data4[7]);
    for (int i = 0; i < 39; ++i) lpsz[i] = static_cast<WCHAR>(text[i]);
    return 39;
}
