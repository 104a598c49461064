// DocumentPropertiesW and PrinterProperties: the spooler's road into the
// printer's driver module, as Wine's winspool and compstui take it.
//
// The driver module is loaded on first use and cached per printer; it stays
// loaded until the printer is removed or HostWinReset, so a driver keeps its
// state between calls (Wine does the same). These loads are the spooler's
// own and do not count as the caller's "module" handles.
//
// DocumentPropertiesW without DM_IN_PROMPT calls
// DrvDocumentPropertySheets(NULL, &DOCUMENTPROPERTYHEADER) and returns the
// driver's answer. With DM_IN_PROMPT it runs the common property-sheet path
// headless: the driver gets PROPSHEETUI_REASON_INIT with lParamInit pointing
// to the header and may add pages through pfnComPropSheet; no page procedure
// ever runs. The answer then is
//   driver returned <= 0              -> -1 (ERR_CPSUI_GETLASTERROR)
//   > 0 but no page added             -> -8 (ERR_CPSUI_NO_PROPSHEETPAGE)
//   > 0 with a page                   -> IDOK
//   > 0 with a page, info.Result left
//   or set to CPSUI_CANCEL            -> IDCANCEL
// The last row is ours: Wine ignores info.Result and, without a display,
// cannot produce IDCANCEL at all. It gives host tests a way to see a cancel.
// Since info.Result starts at 0 (CPSUI_CANCEL), a driver that wants IDOK
// sets info.Result = CPSUI_OK, as a driver does on Windows.
// No further reasons (GET_INFO_HEADER, SET_RESULT, DESTROY) are sent: Wine's
// headless run calls INIT once per call, and drivers are written against it.
#include "internal.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace {

typedef LONG(WINAPI *PropertySheetsProc)(PPROPSHEETUI_INFO info, LPARAM lParam);

struct DriverCache {
    std::mutex lock;
    std::map<std::u16string, void *> modules; // key: upper-case printer name
};

DriverCache &Cache()
{
    static DriverCache *cache = new DriverCache;
    return *cache;
}

std::u16string CacheKey(const std::u16string &printer)
{
    std::u16string key(printer);
    for (auto &c : key) c = hostwin::UpperCase(c);
    return key;
}

// Resolves `entry` in the printer's driver module, loading it once.
// Null with the last error set when there is no module or no such export.
PropertySheetsProc DriverEntry(const hostwin::PrinterInfo &printer, const char *entry)
{
    if (printer.driverModule.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    DriverCache &c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    std::u16string key = CacheKey(printer.name);
    auto it = c.modules.find(key);
    void *module = it != c.modules.end() ? it->second : nullptr;
    if (!module) {
        module = dlopen(printer.driverModule.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        c.modules[key] = module;
    }
    void *proc = dlsym(module, entry);
    if (!proc) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<PropertySheetsProc>(proc);
}

// The printer to call: the handle's, or for a null handle the one named.
bool FindPrinter(HANDLE hPrinter, LPCWSTR name, hostwin::PrinterInfo *printer)
{
    if (hPrinter) return hostwin::PrinterFromHandle(hPrinter, printer);
    return name && hostwin::PrinterFromName(name, printer);
}

// One headless property sheet: what pfnComPropSheet was told while the
// driver's INIT call ran. Sheets of this thread, innermost last.
struct Sheet {
    int pages = 0;
};
thread_local std::vector<Sheet *> t_sheets;

LONG_PTR CALLBACK ComPropSheet(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2)
{
    (void)lParam2;
    for (Sheet *sheet : t_sheets) {
        if (sheet != hComPropSheet) continue;
        if (Function == CPSFUNC_ADD_PROPSHEETPAGEW && lParam1) return ++sheet->pages; // the page's handle
        return 0;
    }
    return 0;
}

// Calls the driver's property sheet entry with PROPSHEETUI_REASON_INIT for
// one headless sheet; `pages` receives how many pages the driver added.
LONG RunInit(PropertySheetsProc proc, LPARAM header, int *pages, ULONG_PTR *result)
{
    Sheet sheet;
    PROPSHEETUI_INFO info;
    info.cbSize = sizeof(info);
    info.Version = 0x100;
    info.Flags = 0;
    info.Reason = PROPSHEETUI_REASON_INIT;
    info.hComPropSheet = &sheet;
    info.pfnComPropSheet = ComPropSheet;
    info.lParamInit = header;
    info.UserData = 0;
    info.Result = 0;
    t_sheets.push_back(&sheet);
    LONG answer = proc(&info, 0);
    t_sheets.pop_back();
    *pages = sheet.pages;
    *result = info.Result;
    return answer;
}

} // namespace

namespace hostwin {

void DriverUnload(const std::u16string &printerName)
{
    DriverCache &c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    auto it = c.modules.find(CacheKey(printerName));
    if (it == c.modules.end()) return;
    dlclose(it->second);
    c.modules.erase(it);
}

void DriverUnloadAll()
{
    DriverCache &c = Cache();
    std::lock_guard<std::mutex> guard(c.lock);
    for (auto &entry : c.modules) dlclose(entry.second);
    c.modules.clear();
}

} // namespace hostwin

LONG WINAPI DocumentPropertiesW(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName, PDEVMODEW pDevModeOutput,
                                PDEVMODEW pDevModeInput, DWORD fMode)
{
    (void)hWnd;
    if (hostwin::FaultHits("DocumentPropertiesW", "spooler")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return -1;
    }
    hostwin::PrinterInfo printer;
    if (!FindPrinter(hPrinter, pDeviceName, &printer)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    PropertySheetsProc proc = DriverEntry(printer, "DrvDocumentPropertySheets");
    if (!proc) return -1;
    std::u16string name = pDeviceName ? std::u16string(pDeviceName) : printer.name;
    DOCUMENTPROPERTYHEADER header;
    header.cbSize = sizeof(header);
    header.Reserved = 0;
    header.hPrinter = hPrinter;
    header.pszPrinterName = &name[0];
    header.pdmIn = pDevModeInput;
    header.pdmOut = pDevModeOutput;
    // What Wine passes: the size the output DEVMODEW claims for itself.
    header.cbOut = pDevModeOutput ? pDevModeOutput->dmSize + pDevModeOutput->dmDriverExtra : 0;
    header.fMode = fMode;
    if (!(fMode & DM_IN_PROMPT)) return proc(nullptr, reinterpret_cast<LPARAM>(&header));
    int pages = 0;
    ULONG_PTR result = 0;
    if (RunInit(proc, reinterpret_cast<LPARAM>(&header), &pages, &result) <= 0) return ERR_CPSUI_GETLASTERROR;
    if (pages == 0) return ERR_CPSUI_NO_PROPSHEETPAGE;
    return result == CPSUI_CANCEL ? IDCANCEL : IDOK;
}

// Wine 8 has only a stub here; this is what Windows does: the device
// property sheet through DrvDevicePropertySheets. TRUE when the driver's
// INIT answered > 0.
BOOL WINAPI PrinterProperties(HWND hWnd, HANDLE hPrinter)
{
    (void)hWnd;
    if (hostwin::FaultHits("PrinterProperties", "spooler")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    hostwin::PrinterInfo printer;
    if (!hPrinter || !hostwin::PrinterFromHandle(hPrinter, &printer)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    PropertySheetsProc proc = DriverEntry(printer, "DrvDevicePropertySheets");
    if (!proc) return FALSE;
    std::u16string name = printer.name;
    DEVICEPROPERTYHEADER header;
    header.cbSize = sizeof(header);
    header.Flags = 0;
    header.hPrinter = hPrinter;
    header.pszPrinterName = &name[0];
    int pages = 0;
    ULONG_PTR result = 0;
    return RunInit(proc, reinterpret_cast<LPARAM>(&header), &pages, &result) > 0 ? TRUE : FALSE;
}
