#include "tag_block.h"

#include "convertapi/common/constants.h"

#include <cstring>

namespace standin_driver {
namespace {

void PutDword(BYTE *at, DWORD value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<BYTE>(value >> (8 * i));
}

// The fixed bytes of a block, slot aside, in memory order.
void FixedBytes(BYTE signature[16], BYTE lead[16], BYTE trail[16])
{
    for (int i = 0; i < 4; ++i) PutDword(signature + 4 * i, convertapi::kDevmodeTagSignature[i]);
    PutDword(lead, convertapi::kDevmodeTagLeadGuid.Data1);
    lead[4] = static_cast<BYTE>(convertapi::kDevmodeTagLeadGuid.Data2);
    lead[5] = static_cast<BYTE>(convertapi::kDevmodeTagLeadGuid.Data2 >> 8);
    lead[6] = static_cast<BYTE>(convertapi::kDevmodeTagLeadGuid.Data3);
    lead[7] = static_cast<BYTE>(convertapi::kDevmodeTagLeadGuid.Data3 >> 8);
    std::memcpy(lead + 8, convertapi::kDevmodeTagLeadGuid.Data4, 8);
    PutDword(trail, convertapi::kDevmodeTagTrailGuid.Data1);
    trail[4] = static_cast<BYTE>(convertapi::kDevmodeTagTrailGuid.Data2);
    trail[5] = static_cast<BYTE>(convertapi::kDevmodeTagTrailGuid.Data2 >> 8);
    trail[6] = static_cast<BYTE>(convertapi::kDevmodeTagTrailGuid.Data3);
    trail[7] = static_cast<BYTE>(convertapi::kDevmodeTagTrailGuid.Data3 >> 8);
    std::memcpy(trail + 8, convertapi::kDevmodeTagTrailGuid.Data4, 8);
}

}  // namespace

long FindTagBlock(const BYTE *buffer, DWORD size)
{
    if (!buffer || size < convertapi::kDevmodeTagBlockSize) return -1;
    BYTE signature[16], lead[16], trail[16];
    FixedBytes(signature, lead, trail);
    for (DWORD offset = 0; offset <= size - convertapi::kDevmodeTagBlockSize; ++offset) {
        const BYTE *at = buffer + offset;
        if (std::memcmp(at, signature, 16) == 0 && std::memcmp(at + 16, lead, 16) == 0 &&
            std::memcmp(at + 48, trail, 16) == 0)
            return static_cast<long>(offset);
    }
    return -1;
}

void WriteFreeTagBlock(BYTE *block)
{
    FixedBytes(block, block + 16, block + 48);
    std::memset(block + 32, 0, 16);
}

void FreeTagSlots(BYTE *buffer, DWORD size)
{
    DWORD start = 0;
    while (start < size) {
        long found = FindTagBlock(buffer + start, size - start);
        if (found < 0) return;
        BYTE *block = buffer + start + found;
        std::memset(block + 32, 0, 16);
        start += static_cast<DWORD>(found) + 1;
    }
}

}  // namespace standin_driver
