// FindDevmodeTag, StampDevmodeTag and ClearDevmodeTag over arbitrary bytes
// and sizes, held against a plain byte-by-byte search. The buffer is exactly
// as large as the bytes the operations may examine, so a read past them is
// caught. Blocks (free or stamped) are planted at chosen offsets so that the
// search meets real candidates, also near the end and past offset 65,535.
#include "convertapi/api/devmode_tagger.h"
#include "convertapi/common/constants.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using convertapi::DevmodeTagger;

void GuidBytes(const GUID &guid, BYTE *out)
{
    const BYTE bytes[16] = {static_cast<BYTE>(guid.Data1),       static_cast<BYTE>(guid.Data1 >> 8),
                            static_cast<BYTE>(guid.Data1 >> 16), static_cast<BYTE>(guid.Data1 >> 24),
                            static_cast<BYTE>(guid.Data2),       static_cast<BYTE>(guid.Data2 >> 8),
                            static_cast<BYTE>(guid.Data3),       static_cast<BYTE>(guid.Data3 >> 8),
                            guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                            guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]};
    std::memcpy(out, bytes, 16);
}

void Signature(BYTE *out)
{
    for (int word = 0; word < 4; ++word)
        for (int i = 0; i < 4; ++i) out[4 * word + i] = static_cast<BYTE>(convertapi::kDevmodeTagSignature[word] >> (8 * i));
}

// The first block in [0, size) whose slot holds `wanted` (any slot when
// `any`), by the plainest search there is; -1 when none.
long Reference(const BYTE *buffer, size_t size, const BYTE *wanted, bool any)
{
    BYTE signature[16];
    BYTE lead[16];
    BYTE trail[16];
    Signature(signature);
    GuidBytes(convertapi::kDevmodeTagLeadGuid, lead);
    GuidBytes(convertapi::kDevmodeTagTrailGuid, trail);
    for (size_t offset = 0; offset + 64 <= size; ++offset) {
        const BYTE *p = buffer + offset;
        if (p[0] == signature[0] && std::memcmp(p, signature, 16) == 0 && std::memcmp(p + 16, lead, 16) == 0 &&
            (any || std::memcmp(p + 32, wanted, 16) == 0) && std::memcmp(p + 48, trail, 16) == 0)
            return static_cast<long>(offset);
    }
    return -1;
}

GUID PickGuid(FuzzedDataProvider &fdp)
{
    GUID guid = {};
    switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: return convertapi::kNullGuid;
    case 1: return convertapi::kDevmodeTagAnyGuid;
    case 2: return convertapi::kDevmodeTagLeadGuid;  // a GUID that also stands in every block
    default:
        guid.Data1 = fdp.ConsumeIntegral<uint32_t>();
        guid.Data2 = fdp.ConsumeIntegral<uint16_t>();
        guid.Data3 = fdp.ConsumeIntegral<uint16_t>();
        for (BYTE &b : guid.Data4) b = fdp.ConsumeIntegral<uint8_t>();
        return guid;
    }
}

void Check(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    const GUID guid = PickGuid(fdp);
    const GUID stampedWith = PickGuid(fdp);
    const int operation = fdp.ConsumeIntegralInRange<int>(0, 2);
    // Mostly small, now and then up to past the largest dmSize +
    // dmDriverExtra (131,070), where start offsets no longer fit 16 bits.
    const size_t bufferSize = fdp.ConsumeIntegralInRange<int>(0, 7) == 0 ? fdp.ConsumeIntegralInRange<size_t>(0, 140000)
                                                                          : fdp.ConsumeIntegralInRange<size_t>(0, 1024);
    const DWORD examined = static_cast<DWORD>(fdp.ConsumeIntegralInRange<size_t>(0, bufferSize));
    const int plants = fdp.ConsumeIntegralInRange<int>(0, 3);
    size_t offsets[3] = {};
    bool stamped[3] = {};
    for (int i = 0; i < plants; ++i) {
        offsets[i] = fdp.ConsumeIntegralInRange<size_t>(0, bufferSize);
        stamped[i] = fdp.ConsumeBool();
    }
    const std::vector<uint8_t> fill = fdp.ConsumeRemainingBytes<uint8_t>();

    // The input's bytes over and over, as far as the buffer goes.
    std::vector<BYTE> buffer(bufferSize);
    for (size_t at = 0; !fill.empty() && at < bufferSize; at += fill.size())
        std::memcpy(buffer.data() + at, fill.data(), std::min(fill.size(), bufferSize - at));
    for (int i = 0; i < plants; ++i) {
        if (offsets[i] + 64 > bufferSize) continue;
        BYTE *block = buffer.data() + offsets[i];
        Signature(block);
        GuidBytes(convertapi::kDevmodeTagLeadGuid, block + 16);
        if (stamped[i])
            GuidBytes(stampedWith, block + 32);
        else
            std::memset(block + 32, 0, 16);
        GuidBytes(convertapi::kDevmodeTagTrailGuid, block + 48);
    }

    BYTE wanted[16];
    BYTE any[16];
    GuidBytes(guid, wanted);
    GuidBytes(convertapi::kDevmodeTagAnyGuid, any);
    const bool matchAny = std::memcmp(wanted, any, 16) == 0;
    BYTE null[16] = {};
    // An empty vector may hold no storage; the search must treat that as no
    // buffer at all only when there is nothing to examine.
    BYTE *bytes = bufferSize != 0 ? buffer.data() : reinterpret_cast<BYTE *>(null);
    const std::vector<BYTE> before = buffer;
    DevmodeTagger tagger;

    if (operation == 0) {
        const long expected = Reference(bytes, examined, wanted, matchAny);
        const BYTE *slot = tagger.FindDevmodeTag(bytes, examined, guid);
        Check(expected < 0 ? slot == nullptr : slot == bytes + expected + 32);
        Check(buffer == before);
        return 0;
    }
    // Stamp takes the first free block; clear the first that holds the GUID.
    const long target = operation == 1 ? Reference(bytes, examined, null, false)
                                       : Reference(bytes, examined, wanted, matchAny);
    const int result = operation == 1 ? tagger.StampDevmodeTag(bytes, examined, guid)
                                       : tagger.ClearDevmodeTag(bytes, examined, guid);
    Check(result == (target >= 0 ? 1 : 0));
    // Only the 16 bytes of that block's slot may change, and to what they must.
    if (target < 0) {
        Check(buffer == before);
    } else {
        const size_t slot = static_cast<size_t>(target) + 32;
        Check(std::memcmp(buffer.data(), before.data(), slot) == 0);
        Check(std::memcmp(buffer.data() + slot + 16, before.data() + slot + 16, bufferSize - slot - 16) == 0);
        Check(std::memcmp(bytes + slot, operation == 1 ? wanted : null, 16) == 0);
    }
    return 0;
}
