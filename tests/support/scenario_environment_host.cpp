// The host variant: printers and modules set up in hostwin, once per process.
#include "tests/support/scenario_environment.h"

#include "hostwin/control.h"

#include <unistd.h>

#include <string>
#include <sys/stat.h>

namespace scenario {
namespace {

const WCHAR kPrinter[] = TEXT("Standin Printer");
const WCHAR kRestrictedPrinter[] = TEXT("Standin Restricted");

HMODULE DriverModule()
{
    static HMODULE module = LoadLibraryW(Widen(STANDIN_DRIVER_MODULE).c_str());
    return module;
}

template <typename Proc> Proc DriverExport(const char *name)
{
    FARPROC proc = DriverModule() ? GetProcAddress(DriverModule(), name) : nullptr;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(proc));
}

}  // namespace

void PreparePlatform()
{
    HostWinReset();
    HostWinAddPrinter(kPrinter, STANDIN_DRIVER_MODULE, 0);
    HostWinAddPrinter(kRestrictedPrinter, STANDIN_DRIVER_MODULE, HOSTWIN_PRINTER_DENY_ALL_ACCESS);
}

const WCHAR *PrinterName() { return kPrinter; }
const WCHAR *RestrictedPrinterName() { return kRestrictedPrinter; }

const WCHAR *TicketLibraryPath()
{
    static const WString path = Widen(STANDIN_TICKETLIB_MODULE);
    return path.c_str();
}

WString TempFilePath(const char *name)
{
    static const std::string folder = [] {
        std::string dir = "/tmp/convertapi-tests-" + std::to_string(getpid());
        mkdir(dir.c_str(), 0700);
        return dir;
    }();
    return Widen(folder + "/" + name);
}

WString DataPath(const char *relative) { return Widen(std::string(CONVERTAPI_TEST_DATA_DIR) + "/" + relative); }

LONG DriverRecord::CallCount() const
{
    auto proc = DriverExport<StandinDriverCallCountProc>("StandinDriverCallCount");
    return proc ? proc() : -1;
}

const StandinDriverCall *DriverRecord::Call(LONG index) const
{
    auto proc = DriverExport<StandinDriverGetCallProc>("StandinDriverGetCall");
    return proc ? proc(index) : nullptr;
}

void DriverRecord::Reset() const
{
    auto proc = DriverExport<StandinDriverResetProc>("StandinDriverReset");
    if (proc) proc();
}

void DriverRecord::SetAnswer(LONG answer) const
{
    auto proc = DriverExport<StandinDriverSetAnswerProc>("StandinDriverSetAnswer");
    if (proc) proc(answer);
}

const DriverRecord &Driver()
{
    static const DriverRecord record;
    return record;
}

}  // namespace scenario
