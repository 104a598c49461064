// Replaces operator new and delete for the fault sweep program. Every form
// pairs malloc with free; only the nothrow forms can fail (an "alloc" fault)
// and only their blocks are counted. The set of live blocks is an open
// addressing table in static memory, so that keeping it never allocates.
#include "tests/faults/live_allocations.h"

#include "hostwin/control.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr std::size_t kSlots = std::size_t(1) << 18;  // far more than a conversion keeps alive at once
constexpr std::size_t kMask = kSlots - 1;

void *g_slots[kSlots];
std::size_t g_live = 0;
std::mutex g_lock;

std::size_t Home(const void *p)
{
    std::uint64_t v = reinterpret_cast<std::uintptr_t>(p);
    return static_cast<std::size_t>((v * 0x9E3779B97F4A7C15ull) >> (64 - 18));
}

void Insert(void *p)
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_live + 1 >= kSlots / 2) {
        std::fputs("live_allocations: table full\n", stderr);
        std::abort();
    }
    std::size_t i = Home(p);
    while (g_slots[i] != nullptr) i = (i + 1) & kMask;
    g_slots[i] = p;
    ++g_live;
}

// Linear probing with backward-shift deletion: no tombstones pile up.
void Erase(void *p)
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::size_t i = Home(p);
    while (g_slots[i] != p) {
        if (g_slots[i] == nullptr) return;  // a block of the plain forms
        i = (i + 1) & kMask;
    }
    for (std::size_t j = i;;) {
        j = (j + 1) & kMask;
        if (g_slots[j] == nullptr) break;
        std::size_t home = Home(g_slots[j]);
        bool stays = i <= j ? (i < home && home <= j) : (i < home || home <= j);
        if (stays) continue;
        g_slots[i] = g_slots[j];
        i = j;
    }
    g_slots[i] = nullptr;
    --g_live;
}

void *Counted(std::size_t size)
{
    if (HostWinAllocationShouldFail()) return nullptr;
    void *p = std::malloc(size ? size : 1);
    if (p != nullptr) Insert(p);
    return p;
}

void *Plain(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void Release(void *p)
{
    if (p == nullptr) return;
    Erase(p);
    std::free(p);
}

}  // namespace

namespace faults {

std::size_t LiveAllocations()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_live;
}

}  // namespace faults

void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return Counted(size); }
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return Counted(size); }
void *operator new(std::size_t size) { return Plain(size); }
void *operator new[](std::size_t size) { return Plain(size); }
void operator delete(void *p) noexcept { Release(p); }
void operator delete[](void *p) noexcept { Release(p); }
void operator delete(void *p, std::size_t) noexcept { Release(p); }
void operator delete[](void *p, std::size_t) noexcept { Release(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { Release(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { Release(p); }
