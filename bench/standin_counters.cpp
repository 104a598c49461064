// The stand-ins' own call counters, read from the modules the environment
// holds: the same on every platform.
#include "bench/bench_environment.h"
#include "bench/standin_modules.h"

namespace bench {

long TicketLibraryCallCount(const char *entryPoint)
{
    typedef LONG(WINAPI * CountProc)(const char *);
    FARPROC proc = TicketLibraryModule() ? GetProcAddress(TicketLibraryModule(), "StandinTicketLibCallCount") : nullptr;
    if (proc == nullptr) return -1;
    return reinterpret_cast<CountProc>(reinterpret_cast<void (*)()>(proc))(entryPoint);
}

long DriverCallCount()
{
    typedef LONG(WINAPI * CountProc)(void);
    FARPROC proc = DriverModule() ? GetProcAddress(DriverModule(), "StandinDriverCallCount") : nullptr;
    if (proc == nullptr) return -1;
    return reinterpret_cast<CountProc>(reinterpret_cast<void (*)()>(proc))();
}

}  // namespace bench
