// Linked into a test program: the library allocates only with
// new (std::nothrow), and here those allocations ask hostwin whether to fail
// (an "alloc" fault). The plain forms are replaced too, only so that every
// operator new and delete of the program pairs malloc with free, which keeps
// allocation checkers from reporting mismatches; they never fail on purpose.
// Valgrind replaces a program's own operator new unless it runs with
// --soname-synonyms=somalloc=nouserintercepts; without it no "alloc" fault
// reaches operator new.
#include "hostwin/control.h"

#include <cstdlib>
#include <new>

// Referenced from the link line so that this object is always linked in.
extern "C" {
int hostwin_alloc_hook_linked = 1;
}

namespace {
void *Allocate(std::size_t size) { return std::malloc(size ? size : 1); }
} // namespace

void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    return HostWinAllocationShouldFail() ? nullptr : Allocate(size);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept
{
    return HostWinAllocationShouldFail() ? nullptr : Allocate(size);
}

void *operator new(std::size_t size)
{
    void *p = Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}

void *operator new[](std::size_t size)
{
    void *p = Allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}

void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
