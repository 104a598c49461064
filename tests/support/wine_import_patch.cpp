#include "tests/support/wine_import_patch.h"

#include <winspool.h>
#include <prsht.h>
#include <compstui.h>

#include <cstring>
#include <memory>
#include <string>

namespace scenario {
namespace {

using WString = std::basic_string<WCHAR>;

// Declared by drivers themselves; mingw's headers lack it.
struct DevicePropertyHeader {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
};

typedef LONG(WINAPI *DevicePropertySheetsProc)(PROPSHEETUI_INFO *info, LPARAM lParam);

// The headless sheet's services: a page that a driver adds gets a handle
// (no page procedure ever runs); everything else answers 0.
LONG_PTR CALLBACK HeadlessPropertySheet(HANDLE, UINT function, LPARAM lParam1, LPARAM)
{
    static LONG_PTR pages = 0;
    if (function == CPSFUNC_ADD_PROPSHEETPAGEW && lParam1) return ++pages;
    return 0;
}

// The printer's name as the spooler knows it; false with the error in `status`.
bool PrinterNameOf(HANDLE printer, WString *name, DWORD *status)
{
    DWORD needed = 0;
    GetPrinterW(printer, 4, nullptr, 0, &needed);
    if (needed == 0) {
        *status = GetLastError();
        return false;
    }
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (!GetPrinterW(printer, 4, buffer.get(), needed, &needed)) {
        *status = GetLastError();
        return false;
    }
    *name = reinterpret_cast<PRINTER_INFO_4W *>(buffer.get())->pPrinterName;
    return true;
}

// The driver module the spooler loads for the printer ("Configuration File").
bool ConfigFileOf(HANDLE printer, WString *path)
{
    DWORD needed = 0;
    GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed);
    if (needed == 0) return false;
    std::unique_ptr<BYTE[]> buffer(new BYTE[needed]);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.get(), needed, &needed)) return false;
    const WCHAR *file = reinterpret_cast<DRIVER_INFO_2W *>(buffer.get())->pConfigFile;
    if (!file) return false;
    *path = file;
    return true;
}

struct ModuleGuard {
    HMODULE module;
    ~ModuleGuard()
    {
        if (module) FreeLibrary(module);
    }
};

}  // namespace

DWORD WINAPI HarnessDeletePrinterDataW(HANDLE printer, LPWSTR valueName)
{
    WString name;
    DWORD status = ERROR_INVALID_HANDLE;
    if (!printer || !PrinterNameOf(printer, &name, &status)) return status;
    const WString path =
        WString(TEXT("System\\CurrentControlSet\\Control\\Print\\Printers\\")) + name + TEXT("\\PrinterDriverData");
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return static_cast<DWORD>(result);
    result = RegDeleteValueW(key, valueName);
    RegCloseKey(key);
    return static_cast<DWORD>(result);
}

BOOL WINAPI HarnessPrinterProperties(HWND, HANDLE printer)
{
    WString name;
    WString configFile;
    DWORD status = ERROR_INVALID_HANDLE;
    if (!printer || !PrinterNameOf(printer, &name, &status)) {
        SetLastError(status);
        return FALSE;
    }
    if (!ConfigFileOf(printer, &configFile)) {
        SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
        return FALSE;
    }
    // The same module the spooler calls for the document properties.
    ModuleGuard driver = {LoadLibraryW(configFile.c_str())};
    auto sheets = driver.module ? reinterpret_cast<DevicePropertySheetsProc>(
                                      reinterpret_cast<void *>(GetProcAddress(driver.module, "DrvDevicePropertySheets")))
                                : nullptr;
    if (!sheets) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return FALSE;
    }
    DevicePropertyHeader header = {sizeof(DevicePropertyHeader), 0, printer, &name[0]};
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = reinterpret_cast<HANDLE>(&info);
    info.pfnComPropSheet = HeadlessPropertySheet;
    info.lParamInit = reinterpret_cast<LPARAM>(&header);
    return sheets(&info, 0) > 0 ? TRUE : FALSE;
}

void **FindImportSlot(HMODULE module, const char *dll, const char *function)
{
    BYTE *base = reinterpret_cast<BYTE *>(module);
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return nullptr;
    for (auto *entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (_stricmp(reinterpret_cast<const char *>(base + entry->Name), dll) != 0) continue;
        if (entry->OriginalFirstThunk == 0) continue;  // no names left to match
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto *byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(byName->Name), function) == 0)
                return reinterpret_cast<void **>(&slots->u1.Function);
        }
    }
    return nullptr;
}

bool PatchImport(HMODULE module, const char *function, void *replacement)
{
    void **slot = FindImportSlot(module, "winspool.drv", function);
    if (!slot) return false;
    DWORD protection = 0;
    if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &protection)) return false;
    *slot = replacement;
    VirtualProtect(slot, sizeof(*slot), protection, &protection);
    return true;
}

int PatchWinspoolGaps(HMODULE module)
{
    if (!module) return 0;
    int patched = 0;
    patched += PatchImport(module, "DeletePrinterDataW", reinterpret_cast<void *>(HarnessDeletePrinterDataW)) ? 1 : 0;
    patched += PatchImport(module, "PrinterProperties", reinterpret_cast<void *>(HarnessPrinterProperties)) ? 1 : 0;
    return patched;
}

}  // namespace scenario
