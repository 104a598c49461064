// Test controls of the stand-in ticket library, beyond the 55 entry points:
// how often each called entry point was called. The library's client never
// uses them.
#pragma once

#include "standins/ticketlib/export.h"

// Calls since load or the last reset of the entry point named `entryPoint`
// ("DllRegisterServer", "ZELGet", ...); 0 for a name that is not counted.
STANDIN_TICKETLIB_EXPORT LONG WINAPI StandinTicketLibCallCount(const char *entryPoint);
STANDIN_TICKETLIB_EXPORT void WINAPI StandinTicketLibResetCallCounts(void);
