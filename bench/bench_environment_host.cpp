// The host variant: printers and modules in hostwin.
#include "bench/bench_environment.h"
#include "bench/standin_modules.h"

#include "hostwin/control.h"

#include <unistd.h>

#include <sys/stat.h>

namespace bench {
namespace {

const WCHAR kPrinter[] = TEXT("Standin Printer");

}  // namespace

HMODULE TicketLibraryModule()
{
    // Held for the whole run, so that the stand-in keeps its counters (and
    // its code stays mapped) between the conversions that load and free it.
    static HMODULE module = LoadLibraryW(Widen(STANDIN_TICKETLIB_MODULE).c_str());
    return module;
}

HMODULE DriverModule()
{
    static HMODULE module = LoadLibraryW(Widen(STANDIN_DRIVER_MODULE).c_str());
    return module;
}

bool PrepareEnvironment()
{
    HostWinReset();
    if (!HostWinAddPrinter(kPrinter, STANDIN_DRIVER_MODULE, 0)) return false;
    return TicketLibraryModule() != nullptr && DriverModule() != nullptr;
}

const WCHAR *PrinterName() { return kPrinter; }

const WCHAR *TicketLibraryPath()
{
    static const WString path = Widen(STANDIN_TICKETLIB_MODULE);
    return path.c_str();
}

std::string TempFilePath(const char *name)
{
    static const std::string folder = [] {
        std::string dir = "/tmp/convertapi-bench-" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        return dir;
    }();
    return folder + "/" + name;
}

WString TempFilePathWide(const char *name) { return Widen(TempFilePath(name)); }

PrinterPropertiesProc PrinterPropertiesEntry() { return &PrinterProperties; }

long PlatformCallCount(const char *function) { return HostWinCallCount(function); }

}  // namespace bench
