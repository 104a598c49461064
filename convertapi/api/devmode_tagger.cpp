#include "convertapi/api/devmode_tagger.h"

#include "convertapi/common/constants.h"

#include <cstdint>
#include <cstring>

namespace convertapi {
namespace {

// The four signature words as they lie in memory, little-endian: "IPACDRWDSGATCAPI".
constexpr BYTE kSignatureBytes[16] = {0x49, 0x50, 0x41, 0x43, 0x44, 0x52, 0x57, 0x44,
                                      0x53, 0x47, 0x41, 0x54, 0x43, 0x41, 0x50, 0x49};
constexpr size_t kSignatureSize = sizeof(kSignatureBytes);

constexpr size_t kLeadOffset = 16;
constexpr size_t kSlotOffset = 32;
constexpr size_t kTrailOffset = 48;

// Candidates this close together count as dense data.
constexpr size_t kDenseDistance = 16;

// How far the search may move on, by the byte found under the signature's
// last position: no start offset in between can carry the signature.
struct SignatureShifts {
    BYTE bytes[256];
    constexpr SignatureShifts() : bytes()
    {
        for (BYTE &shift : bytes) shift = static_cast<BYTE>(kSignatureSize);
        for (size_t i = 0; i + 1 < kSignatureSize; ++i)
            bytes[kSignatureBytes[i]] = static_cast<BYTE>(kSignatureSize - 1 - i);
    }
};
constexpr SignatureShifts kShifts;

// A GUID's bytes in the usual memory layout (Data1..Data3 little-endian),
// written out so the comparison does not depend on the host's byte order.
void GuidBytes(const GUID &guid, BYTE (&bytes)[16])
{
    bytes[0] = static_cast<BYTE>(guid.Data1);
    bytes[1] = static_cast<BYTE>(guid.Data1 >> 8);
    bytes[2] = static_cast<BYTE>(guid.Data1 >> 16);
    bytes[3] = static_cast<BYTE>(guid.Data1 >> 24);
    bytes[4] = static_cast<BYTE>(guid.Data2);
    bytes[5] = static_cast<BYTE>(guid.Data2 >> 8);
    bytes[6] = static_cast<BYTE>(guid.Data3);
    bytes[7] = static_cast<BYTE>(guid.Data3 >> 8);
    std::memcpy(bytes + 8, guid.Data4, 8);
}

bool SameGuid(const GUID &a, const GUID &b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof(a.Data4)) == 0;
}

}  // namespace

BYTE *DevmodeTagger::FindDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const
{
    if (buffer == nullptr || size < kDevmodeTagBlockSize) return nullptr;

    const bool matchAnySlot = SameGuid(guid, kDevmodeTagAnyGuid);
    // The GUIDs' bytes are laid out only once a signature has matched: most
    // searches never get that far, and in a small DEVMODEW the layout would
    // cost as much as the search.
    BYTE lead[16];
    BYTE trail[16];
    BYTE wanted[16];
    bool laidOut = false;

    // The signature's first four bytes as one word, read the same way as the
    // candidates below, so that most false candidates cost no call.
    std::uint32_t head = 0;
    std::memcpy(&head, kSignatureBytes, sizeof(head));
    auto isBlock = [&](const BYTE *p) {
        std::uint32_t word = 0;
        std::memcpy(&word, p, sizeof(word));
        if (word != head || std::memcmp(p, kSignatureBytes, sizeof(kSignatureBytes)) != 0) return false;
        if (!laidOut) {
            GuidBytes(kDevmodeTagLeadGuid, lead);
            GuidBytes(kDevmodeTagTrailGuid, trail);
            GuidBytes(guid, wanted);
            laidOut = true;
        }
        return std::memcmp(p + kLeadOffset, lead, sizeof(lead)) == 0 &&
               (matchAnySlot || std::memcmp(p + kSlotOffset, wanted, sizeof(wanted)) == 0) &&
               std::memcmp(p + kTrailOffset, trail, sizeof(trail)) == 0;
    };

    // Every start offset up to the last one where a whole block fits, whatever
    // the size: a block is never read past `size`. In ascending order, so the
    // first block found is the first there is.
    const BYTE *last = buffer + (size - kDevmodeTagBlockSize);
    const BYTE *p = buffer;
    while (p <= last) {
        // memchr takes every stretch without a byte that can begin a block.
        const BYTE *from = p;
        p = static_cast<const BYTE *>(std::memchr(p, kSignatureBytes[0], static_cast<size_t>(last - p) + 1));
        if (p == nullptr) break;
        if (isBlock(p)) return buffer + (p - buffer) + kSlotOffset;
        ++p;
        if (static_cast<size_t>(p - from) > kDenseDistance) continue;

        // Candidates close together: a memchr call each would cost more than
        // it skips. Step by the byte under the signature's last position
        // instead, for as long as that byte occurs in the signature at all.
        while (p <= last) {
            const BYTE under = p[kSignatureSize - 1];
            const BYTE shift = kShifts.bytes[under];
            if (under == kSignatureBytes[kSignatureSize - 1] && isBlock(p))
                return buffer + (p - buffer) + kSlotOffset;
            p += shift;
            if (shift == kSignatureSize) break;
        }
    }
    return nullptr;
}

int DevmodeTagger::StampDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const
{
    if (buffer == nullptr) return 0;
    BYTE *slot = FindDevmodeTag(buffer, size, kNullGuid);
    if (slot == nullptr) return 0;
    BYTE bytes[16];
    GuidBytes(guid, bytes);
    std::memcpy(slot, bytes, sizeof(bytes));
    return 1;
}

int DevmodeTagger::ClearDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const
{
    if (buffer == nullptr) return 0;
    BYTE *slot = FindDevmodeTag(buffer, size, guid);
    if (slot == nullptr) return 0;
    std::memset(slot, 0, 16);
    return 1;
}

}  // namespace convertapi
