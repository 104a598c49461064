// The stand-in modules as this platform's variant of the environment loads
// them, held for the whole run (null when they cannot be loaded).
#pragma once

#include "bench/bench_text.h"

namespace bench {

HMODULE TicketLibraryModule();
// The driver as the spooler loads it, so that its counters are the ones the
// conversions moved.
HMODULE DriverModule();

}  // namespace bench
