// Handle values and the open-handle counts of HostWinOpenHandleCount.
#include "internal.h"

#include <atomic>
#include <cstring>

namespace {

std::atomic<long> g_open[hostwin::kHandleKinds];
// Far from 0 and from the predefined registry keys; a multiple of 4 as on Windows.
std::atomic<uintptr_t> g_next{0x10000};

} // namespace

namespace hostwin {

uintptr_t NewHandleValue() { return g_next.fetch_add(4); }
void HandleOpened(HandleKind kind) { ++g_open[kind]; }
void HandleClosed(HandleKind kind) { --g_open[kind]; }

} // namespace hostwin

// Counts live handles; a reset does not zero them, because handles that were
// open before it stay open (and must still be closed) after it.
long HostWinOpenHandleCount(const char *kind)
{
    static const char *const names[hostwin::kHandleKinds] = {"registry", "printer", "module", "local"};
    long total = 0;
    for (int i = 0; i < hostwin::kHandleKinds; ++i)
        if (!kind || std::strcmp(kind, names[i]) == 0) total += g_open[i];
    return total;
}
