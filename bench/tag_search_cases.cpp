#include "bench/tag_search_cases.h"

#include "convertapi/api/devmode_tagger.h"
#include "convertapi/common/constants.h"

#include <cstring>
#include <memory>

namespace bench {

volatile uintptr_t g_sink;

namespace {

using convertapi::kDevmodeTagBlockSize;

const BYTE kFirstSignatureByte = 0x49;

enum Pattern { kNoBlock, kBlockAtEnd, kRandom, kAllCandidates, kEveryOtherCandidate };

const char *PatternName(Pattern pattern)
{
    switch (pattern) {
    case kNoBlock: return "no block";
    case kBlockAtEnd: return "block at end";
    case kRandom: return "random bytes";
    case kAllCandidates: return "all 0x49";
    case kEveryOtherCandidate: return "0x49 every other byte";
    }
    return "";
}

void PutGuid(BYTE *at, const GUID &guid)
{
    const BYTE bytes[8] = {static_cast<BYTE>(guid.Data1), static_cast<BYTE>(guid.Data1 >> 8),
                           static_cast<BYTE>(guid.Data1 >> 16), static_cast<BYTE>(guid.Data1 >> 24),
                           static_cast<BYTE>(guid.Data2), static_cast<BYTE>(guid.Data2 >> 8),
                           static_cast<BYTE>(guid.Data3), static_cast<BYTE>(guid.Data3 >> 8)};
    std::memcpy(at, bytes, 8);
    std::memcpy(at + 8, guid.Data4, 8);
}

// A DEVMODEW of `size` bytes: the public part of a printer's default, then
// the driver's private bytes as the pattern asks.
std::shared_ptr<std::vector<BYTE>> MakeBuffer(size_t size, Pattern pattern)
{
    auto buffer = std::make_shared<std::vector<BYTE>>(size, 0);
    BYTE *bytes = buffer->data();
    if (pattern == kRandom) {
        uint32_t state = 0x2545F491u;
        for (size_t i = 0; i < size; ++i) {
            state = state * 1664525u + 1013904223u;
            bytes[i] = static_cast<BYTE>(state >> 24);
        }
        return buffer;
    }
    if (pattern == kAllCandidates || pattern == kEveryOtherCandidate) {
        for (size_t i = 0; i < size; ++i)
            bytes[i] = pattern == kAllCandidates || i % 2 == 0 ? kFirstSignatureByte : 0;
        return buffer;
    }
    DEVMODEW devmode;
    std::memset(&devmode, 0, sizeof(devmode));
    const char name[] = "Standin Printer";
    for (size_t i = 0; i < sizeof(name); ++i) devmode.dmDeviceName[i] = static_cast<WCHAR>(name[i]);
    devmode.dmSpecVersion = 0x0401;
    devmode.dmDriverVersion = 0x0100;
    devmode.dmSize = sizeof(DEVMODEW);
    devmode.dmDriverExtra = static_cast<WORD>(size > sizeof(DEVMODEW) ? size - sizeof(DEVMODEW) : 0);
    devmode.dmFields = 0x00000001 | 0x00000002 | 0x00000100 | 0x00000400 | 0x00000800 | 0x00001000 | 0x00008000;
    devmode.dmOrientation = 1;
    devmode.dmPaperSize = 9;
    devmode.dmCopies = 1;
    devmode.dmPrintQuality = 600;
    devmode.dmColor = 2;
    devmode.dmDuplex = 1;
    std::memcpy(bytes, &devmode, size < sizeof(devmode) ? size : sizeof(devmode));
    if (pattern == kBlockAtEnd) {
        BYTE *block = bytes + size - kDevmodeTagBlockSize;
        for (int word = 0; word < 4; ++word) {
            const DWORD value = convertapi::kDevmodeTagSignature[word];
            for (int i = 0; i < 4; ++i) block[word * 4 + i] = static_cast<BYTE>(value >> (8 * i));
        }
        PutGuid(block + 16, convertapi::kDevmodeTagLeadGuid);
        std::memset(block + 32, 0, 16);
        PutGuid(block + 48, convertapi::kDevmodeTagTrailGuid);
    }
    return buffer;
}

// The floor: one pass of memchr that stops at every byte that could begin a
// block, which any search must look at.
size_t MemchrPass(const BYTE *bytes, size_t size)
{
    size_t candidates = 0;
    const BYTE *end = bytes + size;
    for (const BYTE *p = bytes; p < end; ++p) {
        p = static_cast<const BYTE *>(std::memchr(p, kFirstSignatureByte, static_cast<size_t>(end - p)));
        if (p == nullptr) break;
        ++candidates;
    }
    return candidates;
}

// The straightforward search: every start offset, byte by byte, as the
// block's layout reads.
const BYTE *ByteLoopSearch(const BYTE *bytes, size_t size, const BYTE (&block)[64])
{
    if (size < kDevmodeTagBlockSize) return nullptr;
    for (size_t offset = 0; offset + kDevmodeTagBlockSize <= size; ++offset) {
        const BYTE *p = bytes + offset;
        size_t i = 0;
        while (i < 32 && p[i] == block[i]) ++i;
        if (i < 32) continue;
        i = 48;
        while (i < 64 && p[i] == block[i]) ++i;
        if (i < 64) continue;
        // The slot: all zero for a free block.
        bool free = true;
        for (i = 32; i < 48; ++i) free = free && p[i] == 0;
        if (free) return p + 32;
    }
    return nullptr;
}

std::string SizeName(size_t size)
{
    if (size % 1024 == 0) return std::to_string(size / 1024) + " KiB";
    return std::to_string(size) + " B";
}

}  // namespace

void AddTagSearchCases(std::vector<Case> *cases, std::vector<TagSearchRow> *rows)
{
    static BYTE block[64];
    {
        auto reference = MakeBuffer(kDevmodeTagBlockSize, kBlockAtEnd);
        std::memcpy(block, reference->data(), sizeof(block));
    }
    const size_t sizes[] = {220, 4096, 65536};
    const Pattern patterns[] = {kNoBlock, kBlockAtEnd, kRandom, kAllCandidates, kEveryOtherCandidate};
    for (Pattern pattern : patterns) {
        for (size_t size : sizes) {
            const std::string suffix = SizeName(size) + ", " + PatternName(pattern);
            auto buffer = MakeBuffer(size, pattern);
            const DWORD dwordSize = static_cast<DWORD>(size);

            Case library;
            library.name = "FindDevmodeTag/" + suffix;
            library.bytesPerIteration = static_cast<double>(size);
            library.run = [buffer, dwordSize] {
                convertapi::DevmodeTagger tagger;
                g_sink = reinterpret_cast<uintptr_t>(tagger.FindDevmodeTag(buffer->data(), dwordSize, convertapi::kNullGuid));
            };
            Case memchrFloor;
            memchrFloor.name = "memchr/" + suffix;
            memchrFloor.bytesPerIteration = static_cast<double>(size);
            memchrFloor.run = [buffer, size] { g_sink = MemchrPass(buffer->data(), size); };
            cases->push_back(library);
            cases->push_back(memchrFloor);

            if (pattern == kAllCandidates || pattern == kEveryOtherCandidate) {
                Case loop;
                loop.name = "byte loop/" + suffix;
                loop.bytesPerIteration = static_cast<double>(size);
                loop.run = [buffer, size] { g_sink = reinterpret_cast<uintptr_t>(ByteLoopSearch(buffer->data(), size, block)); };
                cases->push_back(loop);
                rows->push_back({suffix, static_cast<double>(size), library.name, loop.name, 1.0, "no slower than a byte loop"});
            } else {
                rows->push_back({suffix, static_cast<double>(size), library.name, memchrFloor.name, 0.5, "half of memchr"});
            }
        }
    }
}

}  // namespace bench
