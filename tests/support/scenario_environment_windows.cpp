// The Windows variant: a real registry and spooler, under Wine in the prefix
// that scripts/wine-prefix.sh prepares (the stand-in driver installed as the
// driver of "Standin Printer" and "Standin Restricted"). The modules sit
// beside the test program, in the build's bin folder.
#include "tests/support/scenario_environment.h"

#include "tests/support/running_under_wine.h"
#include "tests/support/wine_import_patch.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace scenario {
namespace {

const WCHAR kPrinter[] = TEXT("Standin Printer");
const WCHAR kRestrictedPrinter[] = TEXT("Standin Restricted");

// The folder of this test program, with a trailing backslash.
WString ProgramFolder()
{
    WCHAR path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WString folder(path, length);
    return folder.substr(0, folder.find_last_of(TEXT('\\')) + 1);
}

// Wine 8.0 grants every printer every access. What it does check is the
// printer's registry key: without KEY_QUERY_VALUE on it, OpenPrinterW fails
// for any access (ERROR_INVALID_PRINTER_NAME). The library opens printers only
// with PRINTER_ALL_ACCESS, so to it the printer refuses full access. Wine
// keeps no key security across a restart of its server: set it in every
// process.
bool RestrictPrinter(const WCHAR *printer)
{
    const WString path = WString(TEXT("System\\CurrentControlSet\\Control\\Print\\Printers\\")) + printer;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    bool done = false;
    // Everyone: no KEY_QUERY_VALUE (0x1), everything else.
    if (ConvertStringSecurityDescriptorToSecurityDescriptorW(TEXT("D:(D;;0x1;;;WD)(A;;KA;;;WD)"), SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
        done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        LocalFree(descriptor);
    }
    RegCloseKey(key);
    return done;
}

// The driver module as the spooler loads it: the printer driver's
// configuration file in the driver folder. Loading the same file keeps one
// module, so the record read here is the one the spooler's calls wrote.
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

FARPROC DriverExport(const char *name)
{
    HMODULE module = DriverModule();
    return module ? GetProcAddress(module, name) : nullptr;
}

template <typename Proc>
Proc DriverProc(const char *name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void *>(DriverExport(name)));
}

}  // namespace

void PreparePlatform()
{
    static bool prepared = false;
    if (prepared) return;
    prepared = true;
    if (!RunningUnderWine()) return;
    // The library and this program (the harness deletes printer data too).
    PatchWinspoolGaps(GetModuleHandleW(TEXT("convertapi.dll")));
    PatchWinspoolGaps(GetModuleHandleW(nullptr));
    if (!RestrictPrinter(kRestrictedPrinter))
        std::fprintf(stderr, "scenario: could not restrict \"Standin Restricted\"; is the Wine prefix prepared?\n");
    if (!DriverModule())
        std::fprintf(stderr, "scenario: the stand-in driver of \"Standin Printer\" cannot be loaded\n");
}

const WCHAR *PrinterName() { return kPrinter; }
const WCHAR *RestrictedPrinterName() { return kRestrictedPrinter; }

const WCHAR *TicketLibraryPath()
{
    static const WString path = ProgramFolder() + TEXT("standin_ticketlib.dll");
    return path.c_str();
}

WString TempFilePath(const char *name)
{
    static const WString folder = [] {
        WCHAR temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        WString path = WString(temp) + TEXT("convertapi-tests-") + Widen(std::to_string(GetCurrentProcessId()));
        CreateDirectoryW(path.c_str(), nullptr);
        return path + TEXT("\\");
    }();
    return folder + Widen(name);
}

WString DataPath(const char *relative)
{
    // The prefix's drive Z: is the Linux root.
    WString path = TEXT("Z:") + Widen(std::string(CONVERTAPI_TEST_DATA_DIR) + "/" + relative);
    for (WCHAR &c : path)
        if (c == TEXT('/')) c = TEXT('\\');
    return path;
}

LONG DriverRecord::CallCount() const
{
    auto proc = DriverProc<StandinDriverCallCountProc>("StandinDriverCallCount");
    return proc ? proc() : -1;
}

const StandinDriverCall *DriverRecord::Call(LONG index) const
{
    auto proc = DriverProc<StandinDriverGetCallProc>("StandinDriverGetCall");
    return proc ? proc(index) : nullptr;
}

void DriverRecord::Reset() const
{
    auto proc = DriverProc<StandinDriverResetProc>("StandinDriverReset");
    if (proc) proc();
}

void DriverRecord::SetAnswer(LONG answer) const
{
    auto proc = DriverProc<StandinDriverSetAnswerProc>("StandinDriverSetAnswer");
    if (proc) proc(answer);
}

const DriverRecord &Driver()
{
    static const DriverRecord record;
    return record;
}

}  // namespace scenario
