#include "tests/support/scenario_environment.h"

#include "convertapi.h"

namespace scenario {
namespace {

const WCHAR kVendorKey[] = TEXT("Software\\Varnholt");
// The request's printer data, a version override a test set, and the device
// settings the stand-in driver keeps per printer.
const WCHAR *const kPrinterDataToClear[] = {TEXT("AlwaysExport"), TEXT("ExportTicketLocation"),
                                            TEXT("QXConvertAPIVersionOverride"), TEXT("StandinDeviceSettings")};

void DeletePrinterValues(const WCHAR *printer)
{
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<WCHAR *>(printer), &handle, &defaults)) return;
    for (const WCHAR *name : kPrinterDataToClear) DeletePrinterDataW(handle, const_cast<WCHAR *>(name));
    ClosePrinter(handle);
}

}  // namespace

// Platform part: brings the printers and modules into place (once per process).
void PreparePlatform();

WString Widen(const std::string &text)
{
    WString wide;
    for (unsigned char c : text) wide.push_back(static_cast<WCHAR>(c));
    return wide;
}

std::string Narrow(const WString &text)
{
    std::string narrow;
    for (WCHAR c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

void ResetMachine()
{
    PreparePlatform();
    // Empties the process-wide Converter; the GUID is one nobody published.
    const GUID unused = {0x0badc0de, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    KillConvertAPI(unused);
    RegDeleteTreeW(HKEY_CURRENT_USER, kVendorKey);
    DeletePrinterValues(PrinterName());
    Driver().Reset();
}

bool KeyExists(const WString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

WString ReadStringValue(const WString &keyPath, const WCHAR *name, bool *found)
{
    if (found) *found = false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return WString();
    WCHAR data[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(data) - sizeof(WCHAR);
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return WString();
    if (found) *found = true;
    return WString(data);
}

bool PrinterDataExists(const WCHAR *printer, const WCHAR *name)
{
    HANDLE handle = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<WCHAR *>(printer), &handle, &defaults)) return false;
    DWORD type = 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataW(handle, const_cast<WCHAR *>(name), &type, nullptr, 0, &needed);
    ClosePrinter(handle);
    return status == ERROR_MORE_DATA || status == ERROR_SUCCESS;
}

}  // namespace scenario
