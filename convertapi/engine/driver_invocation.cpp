// Handing the bound printer to its driver: the printer's property sheet and
// the document-properties call on the caller's DEVMODEW.
#include "convertapi/engine/converter.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"

namespace convertapi {
namespace {

// DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER: the driver takes the DEVMODEW
// in, does its work while "prompting" and hands it back in place.
constexpr DWORD kDocumentPropertiesMode = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER;
static_assert(kDocumentPropertiesMode == 14, "the driver expects mode 14");

}  // namespace

int Converter::InvokeDriver(DEVMODEW *devmode, DWORD flags, int wrap, GUID guid)
{
    if (printer == nullptr || ticketLibrary == nullptr) return 0;

    int sheet = (flags & kFlagPrinterProperties) != 0;
    int document = (flags & kFlagDocumentProperties) != 0;
    if (flags & kFlagFromDriverData) {
        sheet = HasPhysicalData(guid);
        document = HasPrintingData(guid);
    }

    // One reading for both halves of the bracket, so that they always pair up.
    const int bracket = !IsExportMode() && wrap != 0;
    int result = 0;

    if (sheet) {
        // The property sheet finds its request through the process id.
        if (bracket) PublishRequest(kNullGuid);
        if (PrinterProperties(nullptr, printer)) result = 1;
        if (bracket) WithdrawRequest(kNullGuid);
    }
    if (document) {
        LONG answer = DocumentPropertiesW(nullptr, printer, printerName, devmode, devmode, kDocumentPropertiesMode);
        result = answer == IDOK ? 1 : 0;
    }
    return result;
}

int Converter::HasPhysicalData(GUID guid) { return HasDriverDataKey(guid, kDriverDataPhysical); }

int Converter::HasPrintingData(GUID guid) { return HasDriverDataKey(guid, kDriverDataPrinting); }

int Converter::HasDriverDataKey(GUID guid, const WCHAR *subkey)
{
    if (ticketManager == nullptr || printerName == nullptr || ticketPath == nullptr) return 0;

    WCHAR *processKey = nullptr;
    if (!BuildProcessKeyPath(guid, &processKey)) return 0;

    // A path that does not fit is treated as absent, never cut short.
    WCHAR path[kKeyPathCapacity];
    WCHAR tail[kKeyPathCapacity];
    bool built = SUCCEEDED(BoundedCopy(path, kKeyPathCapacity, processKey)) &&
                 SUCCEEDED(BoundedCopy(tail, kKeyPathCapacity, subkey)) &&
                 SUCCEEDED(BoundedCat(path, kKeyPathCapacity, TEXT("\\"))) &&
                 SUCCEEDED(BoundedCat(path, kKeyPathCapacity, tail));
    delete[] processKey;
    return built ? KeyExists(path) : 0;
}

int Converter::KeyExists(const WCHAR *subKeyPath)
{
    // A null path would open HKEY_CURRENT_USER itself.
    if (subKeyPath == nullptr) return 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    RegCloseKey(key);
    return 1;
}

}  // namespace convertapi
