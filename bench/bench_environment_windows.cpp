// The Windows variant: the Wine prefix of scripts/wine-prefix.sh, with the
// stand-in driver installed as the driver of "Standin Printer". The modules
// sit beside this program.
#include "bench/bench_environment.h"
#include "bench/standin_modules.h"

#include "tests/support/running_under_wine.h"
#include "tests/support/wine_import_patch.h"

#include <memory>
#include <string>

namespace bench {
namespace {

const WCHAR kPrinter[] = TEXT("Standin Printer");

WString ProgramFolder()
{
    WCHAR path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WString folder(path, length);
    return folder.substr(0, folder.find_last_of(TEXT('\\')) + 1);
}

}  // namespace

HMODULE TicketLibraryModule()
{
    // Held for the whole run, so that the stand-in keeps its counters (and
    // stays mapped) between the conversions that load and free it.
    static HMODULE module = LoadLibraryW(TicketLibraryPath());
    return module;
}

// The driver as the spooler loaded it: the printer driver's configuration file.
HMODULE DriverModule()
{
    static HMODULE module = [] {
        HANDLE printer = nullptr;
        if (!OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer, nullptr)) return HMODULE(nullptr);
        DWORD needed = 0;
        GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
        HMODULE loaded = nullptr;
        if (needed) {
            std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
            if (GetPrinterDriverW(printer, nullptr, 2, buffer.get(), needed, &needed))
                loaded = LoadLibraryW(reinterpret_cast<DRIVER_INFO_2W *>(buffer.get())->pConfigFile);
        }
        ClosePrinter(printer);
        return loaded;
    }();
    return module;
}

bool PrepareEnvironment()
{
    if (scenario::RunningUnderWine()) scenario::PatchWinspoolGaps(GetModuleHandleW(TEXT("convertapi.dll")));
    return TicketLibraryModule() != nullptr && DriverModule() != nullptr;
}

const WCHAR *PrinterName() { return kPrinter; }

const WCHAR *TicketLibraryPath()
{
    static const WString path = ProgramFolder() + TEXT("standin_ticketlib.dll");
    return path.c_str();
}

WString TempFilePathWide(const char *name)
{
    static const WString folder = [] {
        WCHAR temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        WString path = WString(temp) + TEXT("convertapi-bench-") + Widen(std::to_string(GetCurrentProcessId()));
        CreateDirectoryW(path.c_str(), nullptr);
        return path + TEXT("\\");
    }();
    return folder + Widen(name);
}

std::string TempFilePath(const char *name) { return Narrow(TempFilePathWide(name)); }

PrinterPropertiesProc PrinterPropertiesEntry()
{
    // Wine 8's PrinterProperties never reaches the driver; the library's
    // import is pointed at the harness's replacement, and so is the floor.
    return scenario::RunningUnderWine() ? &scenario::HarnessPrinterProperties : &PrinterProperties;
}

long PlatformCallCount(const char *) { return -1; }

}  // namespace bench
