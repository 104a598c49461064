// LocalAlloc / LocalFree: fixed blocks from malloc, tracked so that a bad or
// repeated LocalFree is refused as on Windows and open blocks can be counted.
#include "internal.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

struct LocalHeap {
    std::mutex lock;
    std::unordered_set<void *> blocks;
};

LocalHeap &State()
{
    static LocalHeap *heap = new LocalHeap;
    return *heap;
}

} // namespace

// Every block is fixed (LMEM_MOVEABLE is not supported); a size of 0 still
// gives a block, as on Windows.
HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes)
{
    if (hostwin::FaultHits("LocalAlloc", "alloc")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void *block = (uFlags & LMEM_ZEROINIT) ? std::calloc(uBytes ? uBytes : 1, 1) : std::malloc(uBytes ? uBytes : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    LocalHeap &h = State();
    std::lock_guard<std::mutex> guard(h.lock);
    h.blocks.insert(block);
    hostwin::HandleOpened(hostwin::kHandleLocal);
    return block;
}

// NULL on success; the block itself back, with ERROR_INVALID_HANDLE, when it
// is not a live block. LocalFree(NULL) does nothing and succeeds.
HLOCAL WINAPI LocalFree(HLOCAL hMem)
{
    if (!hMem) return nullptr;
    LocalHeap &h = State();
    {
        std::lock_guard<std::mutex> guard(h.lock);
        auto it = h.blocks.find(hMem);
        if (it == h.blocks.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
        h.blocks.erase(it);
        hostwin::HandleClosed(hostwin::kHandleLocal);
    }
    std::free(hMem);
    return nullptr;
}
