#include "requests.h"

#include "convertapi/common/constants.h"
#include "spooler_support.h"

namespace convertapi_cli {
namespace {

const WCHAR kVendorKey[] = TEXT("Software\\Varnholt");
const char *const kPrinterDataNames[] = {"AlwaysExport", "ExportTicketLocation"};

bool StartsWith(const std::string &text, const std::string &prefix)
{
    return text.size() >= prefix.size() && EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool AllDigits(const std::string &text)
{
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

RequestKeyKind Classify(const std::string &name, std::string *id)
{
    const std::string prefix = Narrow(WString(convertapi::kProcessKeyPrefix));
    if (EqualNoCase(name, Narrow(WString(convertapi::kFallbackKeyName)))) return RequestKeyKind::FallbackKey;
    if (!StartsWith(name, prefix)) return RequestKeyKind::OtherKey;
    *id = name.substr(prefix.size());
    if (id->size() == 38 && (*id)[0] == '{' && (*id)[37] == '}') return RequestKeyKind::InstanceProcessKey;
    if (AllDigits(*id)) return RequestKeyKind::ProcessIdKey;
    id->clear();
    return RequestKeyKind::OtherKey;
}

// Printer data calls through a handle opened for the purpose.
class PrinterHandle {
public:
    PrinterHandle(const WString &name, DWORD access)
    {
        WString copy = name;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        if (!OpenPrinterW(&copy[0], &handle_, &defaults)) handle_ = nullptr;
    }
    ~PrinterHandle()
    {
        if (handle_) ClosePrinter(handle_);
    }
    PrinterHandle(const PrinterHandle &) = delete;
    PrinterHandle &operator=(const PrinterHandle &) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace

const char kVendorKeyText[] = "HKEY_CURRENT_USER\\Software\\Varnholt";

bool Leftovers::Any() const
{
    for (const RequestKey &key : keys)
        if (key.kind != RequestKeyKind::OtherKey) return true;
    return !printerData.empty();
}

Leftovers FindLeftovers(const WString *printer)
{
    Leftovers found;
    RegistryKey vendor;
    if (ReadRegistryKey(HKEY_CURRENT_USER, kVendorKey, &vendor)) {
        for (RegistryKey &key : vendor.subkeys) {
            RequestKey request;
            request.kind = Classify(Narrow(key.name), &request.id);
            request.key = key;
            found.keys.push_back(request);
        }
    }
    if (printer == nullptr) return found;
    PrinterHandle handle(*printer, PRINTER_ACCESS_USE);
    found.printerOpened = handle.Get() != nullptr;
    if (!found.printerOpened) return found;
    for (const char *name : kPrinterDataNames) {
        WString wideName = Widen(name);
        DWORD type = 0;
        DWORD needed = 0;
        DWORD status = GetPrinterDataW(handle.Get(), &wideName[0], &type, nullptr, 0, &needed);
        if (status != ERROR_MORE_DATA && status != ERROR_SUCCESS) continue;
        PrinterDataValue value = {name, type, std::vector<BYTE>(needed)};
        DWORD got = 0;
        if (needed > 0 &&
            GetPrinterDataW(handle.Get(), &wideName[0], &type, value.data.data(), needed, &got) != ERROR_SUCCESS)
            continue;
        value.data.resize(got);
        value.type = type;
        found.printerData.push_back(value);
    }
    return found;
}

CleanReport CleanLeftovers(const Leftovers &found, const WString *printer)
{
    CleanReport report;
    for (const RequestKey &request : found.keys) {
        if (request.kind == RequestKeyKind::OtherKey) continue;
        const WString path = WString(kVendorKey) + TEXT("\\") + request.key.name;
        const std::string shown = std::string(kVendorKeyText) + "\\" + Narrow(request.key.name);
        // The whole tree: the driver-data keys, and whatever else a driver
        // may have put below the request.
        LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
            report.deleted.push_back(shown);
        else
            report.failed.push_back(shown + ": error " + std::to_string(static_cast<long>(status)));
    }
    if (printer == nullptr || found.printerData.empty()) return report;
    const std::string printerText = "printer \"" + Narrow(*printer) + "\"";
    DeletePrinterDataProc deleteData = SpoolerDeletePrinterData();
    if (deleteData == nullptr) {
        report.failed.push_back(printerText +
                                ": this spooler has no DeletePrinterDataW (Wine 8 lacks it); the printer data stays");
        return report;
    }
    PrinterHandle handle(*printer, PRINTER_ALL_ACCESS);
    if (handle.Get() == nullptr) {
        report.failed.push_back(printerText + ": cannot be opened with full access to delete its printer data");
        return report;
    }
    for (const PrinterDataValue &value : found.printerData) {
        WString name = Widen(value.name);
        DWORD status = deleteData(handle.Get(), &name[0]);
        if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
            report.deleted.push_back(printerText + " data " + value.name);
        else
            report.failed.push_back(printerText + " data " + value.name + ": error " +
                                    std::to_string(static_cast<unsigned long>(status)));
    }
    return report;
}

}  // namespace convertapi_cli
