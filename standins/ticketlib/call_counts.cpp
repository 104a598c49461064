#include "standins/ticketlib/call_counts.h"

#include "standins/ticketlib/control.h"

#include <cstring>

namespace standin {
namespace {

const char *const kCountedNames[kCountedEntryPointCount] = {
    "DllRegisterServer", "DllUnregisterServer", "ZELStartConfig",   "ZELEndConfig",
    "ZELSetContext",     "ZELEnumFeatures",     "ZELEnumListToken", "ZELGet",
};

LONG g_callCounts[kCountedEntryPointCount];

}  // namespace

void CountCall(CountedEntryPoint entryPoint)
{
    if (entryPoint >= 0 && entryPoint < kCountedEntryPointCount) ++g_callCounts[entryPoint];
}

}  // namespace standin

STANDIN_TICKETLIB_EXPORT LONG WINAPI StandinTicketLibCallCount(const char *entryPoint)
{
    if (!entryPoint) return 0;
    for (int i = 0; i < standin::kCountedEntryPointCount; ++i) {
        if (strcmp(entryPoint, standin::kCountedNames[i]) == 0) return standin::g_callCounts[i];
    }
    return 0;
}

STANDIN_TICKETLIB_EXPORT void WINAPI StandinTicketLibResetCallCounts(void)
{
    memset(standin::g_callCounts, 0, sizeof(standin::g_callCounts));
}
