// Linked into a test program: the library's nothrow allocations ask hostwin
// whether to fail, so a test can inject "alloc" faults into operator new.
#include "hostwin/control.h"

#include <cstdlib>
#include <new>

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    if (HostWinAllocationShouldFail()) return nullptr;
    return std::malloc(size ? size : 1);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    if (HostWinAllocationShouldFail()) return nullptr;
    return std::malloc(size ? size : 1);
}

void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
