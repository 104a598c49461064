// One run of the real 32-bit convertapi.dll (the windows-x86 build) under
// 32-bit Wine, on the stand-in printer: both directions through an instance,
// then the registry and the printer data as the run left them.
// scripts/smoke-x86.sh builds and runs it; it links the DLL through its import
// library, so the loader binds the undecorated export names.
// usage: smoke_x86.exe <ticket file to apply>
// Prints one line per check and "N passed, N failed"; exit code 0 when all pass.
#include "convertapi.h"
#include "standins/driver/standin_devmode.h"
#include "standins/driver/standin_driver_api.h"
#include "tests/support/running_under_wine.h"
#include "tests/support/wine_import_patch.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using WString = std::basic_string<WCHAR>;

const WCHAR kPrinter[] = TEXT("Standin Printer");
const char *const kExports[] = {"ConvertTicket",   "ConvertDevmode",   "InitializeConvertAPI",
                                "ReadTicket",      "ConvertTicketEx",  "ConvertDevModeEx",
                                "KillConvertAPI",  "GetConvertAPIVersion", "GetConvertAPIVersionEx"};

int passed = 0;
int failed = 0;

void Check(const char *what, bool ok)
{
    std::printf("%s %s\n", ok ? "PASS" : "FAIL", what);
    (ok ? passed : failed)++;
}

void CheckEqual(const char *what, unsigned long got, unsigned long want)
{
    std::printf("%s %s: got %lu, want %lu\n", got == want ? "PASS" : "FAIL", what, got, want);
    (got == want ? passed : failed)++;
}

WString ProgramFolder()
{
    WCHAR path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    WString folder(path, length);
    return folder.substr(0, folder.find_last_of(TEXT('\\')) + 1);
}

WString GuidText(const GUID &guid)
{
    WCHAR text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

bool KeyExists(const WString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool PrinterDataExists(HANDLE printer, const WCHAR *name)
{
    DWORD type = 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataW(printer, const_cast<WCHAR *>(name), &type, nullptr, 0, &needed);
    return status == ERROR_MORE_DATA || status == ERROR_SUCCESS;
}

bool FileExists(const WString &path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool TagSlotFree(const StandinDevmode &devmode)
{
    static const BYTE zero[16] = {};
    return std::memcmp(devmode.priv.tagBlock + 32, zero, sizeof(zero)) == 0;
}

// The driver as the spooler loaded it, for its record of the calls.
LONG DriverCallCount(HANDLE printer)
{
    BYTE buffer[4096];
    DWORD needed = 0;
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer, sizeof(buffer), &needed)) return -1;
    HMODULE driver = GetModuleHandleW(reinterpret_cast<DRIVER_INFO_2W *>(buffer)->pConfigFile);
    auto count = driver ? reinterpret_cast<StandinDriverCallCountProc>(
                              reinterpret_cast<void *>(GetProcAddress(driver, "StandinDriverCallCount")))
                        : nullptr;
    return count ? count() : -1;
}

void CheckExportTable()
{
    HMODULE library = GetModuleHandleW(TEXT("convertapi.dll"));
    Check("convertapi.dll is loaded through its import library", library != nullptr);
    if (!library) return;
    for (WORD ordinal = 1; ordinal <= 9; ++ordinal) {
        FARPROC byName = GetProcAddress(library, kExports[ordinal - 1]);
        FARPROC byOrdinal = GetProcAddress(library, MAKEINTRESOURCEA(ordinal));
        char what[96];
        std::snprintf(what, sizeof(what), "export %s has ordinal %u", kExports[ordinal - 1], ordinal);
        Check(what, byName != nullptr && byName == byOrdinal);
    }
    Check("no export by ordinal 10", GetProcAddress(library, MAKEINTRESOURCEA(10)) == nullptr);
}

}  // namespace

int wmain(int argc, WCHAR **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: smoke_x86.exe <ticket file>\n");
        return 2;
    }
    const WString ticket = argv[1];
    Check("32-bit process", sizeof(void *) == 4);
    CheckExportTable();
    // Wine 8.0's spooler lacks DeletePrinterDataW and has only a stub
    // PrinterProperties; the library stays as it is.
    if (scenario::RunningUnderWine()) scenario::PatchWinspoolGaps(GetModuleHandleW(TEXT("convertapi.dll")));

    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    Check("the stand-in printer opens with full access",
          OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer, &defaults) != FALSE);
    if (!printer) {
        std::printf("%d passed, %d failed\n", passed, failed);
        return 1;
    }

    StandinDevmode devmode;
    std::memset(&devmode, 0, sizeof(devmode));
    CheckEqual("the driver's default DEVMODEW",
               static_cast<unsigned long>(DocumentPropertiesW(nullptr, printer, const_cast<WCHAR *>(kPrinter),
                                                              &devmode.pub, nullptr, DM_OUT_BUFFER)),
               IDOK);
    CheckEqual("  its private part", devmode.pub.dmDriverExtra, sizeof(StandinDevmodePrivate));
    devmode.pub.dmOrientation = DMORIENT_PORTRAIT;
    devmode.pub.dmFields |= DM_ORIENTATION;

    const WString ticketLibrary = ProgramFolder() + TEXT("standin_ticketlib.dll");
    WCHAR temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const WString exported = WString(temp) + TEXT("convertapi-smoke-x86.xml");
    DeleteFileW(exported.c_str());

    GUID guid = {};
    CheckEqual("InitializeConvertAPI", InitializeConvertAPI(kPrinter, ticketLibrary.c_str(), &guid),
               ConvertAPISuccess);
    static const GUID null = {};
    Check("  hands out a GUID", std::memcmp(&guid, &null, sizeof(GUID)) != 0);
    const WString processKey = WString(TEXT("Software\\Varnholt\\QXProcID")) + GuidText(guid);

    DWORD version = 0;
    CheckEqual("GetConvertAPIVersionEx", GetConvertAPIVersionEx(&version, kPrinter), ConvertAPISuccess);
    CheckEqual("  version", version, ConvertAPIVersion);

    const LONG callsBefore = DriverCallCount(printer);
    CheckEqual("ConvertDevModeEx", ConvertDevModeEx(exported.c_str(), &devmode.pub, guid, FlagDocumentProperties),
               ConvertAPISuccess);
    Check("  the driver wrote the ticket file", FileExists(exported));
    Check("  the tag slot is free again", TagSlotFree(devmode));

    CheckEqual("ReadTicket", ReadTicket(3, ticket.c_str(), guid), ConvertAPISuccess);
    Check("  the request stands under the instance's key", KeyExists(processKey));
    Check("  with the driver data", KeyExists(processKey + TEXT("\\CalvexDriverData")));

    CheckEqual("ConvertTicketEx", ConvertTicketEx(&devmode.pub, guid, FlagDocumentProperties), ConvertAPISuccess);
    CheckEqual("  the ticket's orientation reached the DEVMODEW", devmode.pub.dmOrientation, DMORIENT_LANDSCAPE);
    Check("  the tag slot is free again", TagSlotFree(devmode));
    Check("  the driver was called for both conversions", DriverCallCount(printer) >= callsBefore + 2);

    CheckEqual("KillConvertAPI", KillConvertAPI(guid), ConvertAPISuccess);
    Check("  the instance's key is gone", !KeyExists(processKey));
    Check("  the fallback key is gone", !KeyExists(TEXT("Software\\Varnholt\\QXProcIDFallback")));
    Check("  no printer data AlwaysExport", !PrinterDataExists(printer, TEXT("AlwaysExport")));
    Check("  no printer data ExportTicketLocation", !PrinterDataExists(printer, TEXT("ExportTicketLocation")));

    ClosePrinter(printer);
    DeleteFileW(exported.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
