// The print spooler: printers set up by HostWinAddPrinter, printer handles,
// and printer data. Printer data lives in the registry where Windows and
// Wine keep it, so a test can look at it either way:
//   HKEY_LOCAL_MACHINE, System\CurrentControlSet\Control\Print\Printers\<name>\PrinterDriverData
//
// Access: a printer added with HOSTWIN_PRINTER_DENY_ALL_ACCESS refuses any
// open that asks for PRINTER_ACCESS_ADMINISTER. Printer data calls do not
// check the handle's access, as in Wine (Windows would want administer
// rights for SetPrinterDataW and DeletePrinterDataW).
#include "internal.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

struct Printer {
    std::u16string name;
    std::string driverModule;
    DWORD flags;
    bool removed = false;
};

struct OpenPrinter {
    std::shared_ptr<Printer> printer;
    DWORD access;
};

struct Spooler {
    std::mutex lock;
    std::vector<std::shared_ptr<Printer>> printers;
    std::unordered_map<uintptr_t, OpenPrinter> handles;
};

Spooler &State()
{
    static Spooler *spooler = new Spooler;
    return *spooler;
}

const char16_t kPrintersKey[] = u"System\\CurrentControlSet\\Control\\Print\\Printers\\";

// The registry key of a printer; a backslash in its name becomes a comma, as
// Windows stores printer names such as "\\server\share".
std::u16string PrinterKey(const std::u16string &name)
{
    std::u16string key(kPrintersKey);
    for (char16_t c : name) key += c == u'\\' ? u',' : c;
    return key;
}

std::u16string DriverDataKey(const std::u16string &name) { return PrinterKey(name) + u"\\PrinterDriverData"; }

std::shared_ptr<Printer> FindPrinter(Spooler &s, const std::u16string &name)
{
    for (auto &p : s.printers)
        if (hostwin::EqualNoCase(p->name, name)) return p;
    return nullptr;
}

// The printer name behind a handle, for the printer data calls.
DWORD NameFromHandle(HANDLE hPrinter, std::u16string *name)
{
    hostwin::PrinterInfo info;
    if (!hostwin::PrinterFromHandle(hPrinter, &info)) return ERROR_INVALID_HANDLE;
    *name = info.name;
    return ERROR_SUCCESS;
}

} // namespace

namespace hostwin {

bool PrinterFromHandle(HANDLE handle, PrinterInfo *info)
{
    Spooler &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.handles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == s.handles.end() || it->second.printer->removed) return false;
    info->name = it->second.printer->name;
    info->driverModule = it->second.printer->driverModule;
    return true;
}

bool PrinterFromName(const std::u16string &name, PrinterInfo *info)
{
    Spooler &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Printer> p = FindPrinter(s, name);
    if (!p) return false;
    info->name = p->name;
    info->driverModule = p->driverModule;
    return true;
}

void SpoolerReset()
{
    Spooler &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    for (auto &p : s.printers) p->removed = true;
    s.printers.clear();
}

} // namespace hostwin

BOOL HostWinAddPrinter(LPCWSTR name, const char *driverModule, DWORD flags)
{
    if (!name || !name[0]) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    auto printer = std::make_shared<Printer>();
    printer->name = name;
    printer->driverModule = driverModule ? driverModule : "";
    printer->flags = flags;
    {
        Spooler &s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        if (FindPrinter(s, printer->name)) {
            SetLastError(ERROR_PRINTER_ALREADY_EXISTS);
            return FALSE;
        }
        s.printers.push_back(printer);
    }
    hostwin::RegistryCreatePath(HKEY_LOCAL_MACHINE, DriverDataKey(printer->name));
    return TRUE;
}

BOOL HostWinRemovePrinter(LPCWSTR name)
{
    std::u16string removedName;
    {
        Spooler &s = State();
        std::lock_guard<std::mutex> guard(s.lock);
        std::shared_ptr<Printer> p = FindPrinter(s, hostwin::FromWide(name));
        if (!p) {
            SetLastError(ERROR_INVALID_PRINTER_NAME);
            return FALSE;
        }
        p->removed = true;
        s.printers.erase(std::find(s.printers.begin(), s.printers.end(), p));
        removedName = p->name;
    }
    hostwin::DriverUnload(removedName);
    hostwin::RegistryDeleteTree(HKEY_LOCAL_MACHINE, PrinterKey(removedName));
    return TRUE;
}

BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault)
{
    if (phPrinter) *phPrinter = nullptr;
    if (hostwin::FaultHits("OpenPrinterW", "spooler")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A null name opens the print server on Windows; nothing here needs that.
    if (!phPrinter || !pPrinterName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD access = pDefault ? pDefault->DesiredAccess : PRINTER_ACCESS_USE;
    if (access == 0) access = PRINTER_ACCESS_USE;
    Spooler &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    std::shared_ptr<Printer> p = FindPrinter(s, pPrinterName);
    if (!p) {
        SetLastError(ERROR_INVALID_PRINTER_NAME);
        return FALSE;
    }
    if ((p->flags & HOSTWIN_PRINTER_DENY_ALL_ACCESS) && (access & PRINTER_ACCESS_ADMINISTER)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    uintptr_t value = hostwin::NewHandleValue();
    s.handles[value] = OpenPrinter{p, access};
    hostwin::HandleOpened(hostwin::kHandlePrinter);
    *phPrinter = reinterpret_cast<HANDLE>(value);
    return TRUE;
}

// Closing works also after the printer was removed or the spooler reset.
BOOL WINAPI ClosePrinter(HANDLE hPrinter)
{
    if (hostwin::FaultHitsByNameOnly("ClosePrinter", "spooler")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    Spooler &s = State();
    std::lock_guard<std::mutex> guard(s.lock);
    auto it = s.handles.find(reinterpret_cast<uintptr_t>(hPrinter));
    if (it == s.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    s.handles.erase(it);
    hostwin::HandleClosed(hostwin::kHandlePrinter);
    return TRUE;
}

// ERROR_MORE_DATA with *pcbNeeded for a null or too small buffer, the type
// written whenever the value exists.
DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                             LPDWORD pcbNeeded)
{
    if (hostwin::FaultHits("GetPrinterDataW", "spooler")) return ERROR_ACCESS_DENIED;
    if (!pcbNeeded || !pValueName) return ERROR_INVALID_PARAMETER;
    std::u16string printer;
    DWORD rc = NameFromHandle(hPrinter, &printer);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD type = 0;
    std::vector<BYTE> data;
    rc = hostwin::RegistryGetValue(HKEY_LOCAL_MACHINE, DriverDataKey(printer), pValueName, &type, &data);
    if (rc != ERROR_SUCCESS) return ERROR_FILE_NOT_FOUND;
    if (pType) *pType = type;
    *pcbNeeded = static_cast<DWORD>(data.size());
    if (!pData || nSize < data.size()) return ERROR_MORE_DATA;
    if (!data.empty()) std::memcpy(pData, data.data(), data.size());
    return ERROR_SUCCESS;
}

DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData, DWORD cbData)
{
    if (hostwin::FaultHits("SetPrinterDataW", "spooler")) return ERROR_ACCESS_DENIED;
    if (!pValueName) return ERROR_INVALID_PARAMETER;
    if (!pData && cbData) return ERROR_INVALID_PARAMETER;
    std::u16string printer;
    DWORD rc = NameFromHandle(hPrinter, &printer);
    if (rc != ERROR_SUCCESS) return rc;
    return hostwin::RegistrySetValue(HKEY_LOCAL_MACHINE, DriverDataKey(printer), pValueName, Type, pData, cbData);
}

DWORD WINAPI DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName)
{
    if (hostwin::FaultHits("DeletePrinterDataW", "spooler")) return ERROR_ACCESS_DENIED;
    if (!pValueName) return ERROR_INVALID_PARAMETER;
    std::u16string printer;
    DWORD rc = NameFromHandle(hPrinter, &printer);
    if (rc != ERROR_SUCCESS) return rc;
    rc = hostwin::RegistryDeleteValue(HKEY_LOCAL_MACHINE, DriverDataKey(printer), pValueName);
    return rc == ERROR_SUCCESS ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}
