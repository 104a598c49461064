// The whole ReadTicket walk over arbitrary ticket files: the exports on the
// host over hostwin, with the stand-in ticket library reading the file and,
// for a ticket that was read, the stand-in driver applying it through
// ConvertTicketEx. Every input is one instance from InitializeConvertAPI to
// KillConvertAPI, and must end with its result codes from the interface's
// table, no handle left open and no request left in the registry.
#include "convertapi.h"
#include "hostwin/control.h"
#include "standins/driver/standin_devmode.h"
#include "standins/driver/standin_driver_api.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using WString = std::basic_string<WCHAR>;

const WCHAR kPrinter[] = TEXT("Fuzz Printer");
const WCHAR kVendorKey[] = TEXT("Software\\Varnholt");

WString g_library;
WString g_ticket;
std::string g_ticketNarrow;
StandinDevmode g_default;
StandinDriverResetProc g_resetDriver = nullptr;

WString Widen(const std::string &text) { return WString(text.begin(), text.end()); }

void Check(bool condition)
{
    if (!condition) std::abort();
}


// Any key left below Software\Varnholt.
bool RequestLeft()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kVendorKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    WCHAR name[256];
    DWORD chars = 256;
    bool any = RegEnumKeyExW(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return any;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HostWinAddPrinter(kPrinter, STANDIN_DRIVER_MODULE, 0);
    g_library = Widen(STANDIN_TICKETLIB_MODULE);
    // In memory where there is a tmpfs: the file is written for every input.
    g_ticketNarrow = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/fuzz_read_ticket." +
                     std::to_string(getpid()) + ".xml";
    g_ticket = Widen(g_ticketNarrow);
    // Both stand-ins stay loaded for the whole run, so that their coverage
    // counters stay where the fuzzer registered them.
    LoadLibraryW(g_library.c_str());
    HMODULE driver = LoadLibraryW(Widen(STANDIN_DRIVER_MODULE).c_str());
    g_resetDriver = reinterpret_cast<StandinDriverResetProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(driver, "StandinDriverReset")));

    HANDLE printer = nullptr;
    OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer, nullptr);
    DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(kPrinter), &g_default.pub, nullptr, DM_OUT_BUFFER);
    ClosePrinter(printer);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(g_ticketNarrow.c_str(), "wb");
    if (file == nullptr) return 0;
    if (size != 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
    if (g_resetDriver != nullptr) g_resetDriver();
    const long handles = HostWinOpenHandleCount(nullptr);

    GUID guid = {};
    Check(InitializeConvertAPI(kPrinter, g_library.c_str(), &guid) == ConvertAPISuccess);
    const DWORD read = ReadTicket(7, g_ticket.c_str(), guid);
    Check(read == ConvertAPISuccess || read == ConvertAPITicketNotRead);
    if (read == ConvertAPISuccess) {
        StandinDevmode devmode = g_default;
        const DWORD converted = ConvertTicketEx(&devmode.pub, guid, FlagFromDriverData);
        Check(converted == ConvertAPISuccess || converted == ConvertAPIDriverFailed);
        static const BYTE zero[16] = {};
        Check(std::memcmp(devmode.priv.tagBlock + 32, zero, 16) == 0);
    }
    Check(KillConvertAPI(guid) == ConvertAPISuccess);

    Check(!RequestLeft());
    Check(HostWinOpenHandleCount(nullptr) == handles);

    // The driver keeps the printer's device settings as printer data; each
    // input starts from none, so that a finding replays on its own.
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer, &defaults)) {
        DeletePrinterDataW(printer, const_cast<WCHAR *>(TEXT("StandinDeviceSettings")));
        ClosePrinter(printer);
    }
    return 0;
}
