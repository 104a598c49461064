// Publishing and withdrawing a request: the registry values and printer data
// through which the printer driver learns what is asked of it.
#include "convertapi/engine/converter.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"
#include "convertapi/common/null_guid.h"
#include "convertapi/regutil/driver_data_cleaner.h"
#include "convertapi/regutil/utility.h"

#include <cstring>

namespace convertapi {
namespace {

constexpr size_t kTicketTypeCapacity = 10;  // nine digits and the zero

// Releases an owned key path on every way out of a function.
struct OwnedPath {
    WCHAR *text = nullptr;
    ~OwnedPath() { delete[] text; }
};

// A printer opened by name for its printer data, closed on every way out.
struct PrinterForData {
    HANDLE handle = nullptr;
    explicit PrinterForData(const WCHAR *printerName)
    {
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (!OpenPrinterW(const_cast<LPWSTR>(printerName), &handle, &defaults)) handle = nullptr;
    }
    ~PrinterForData()
    {
        if (handle != nullptr) ClosePrinter(handle);
    }
};

// Opens a key with full access, creating it (and every key above it) when
// missing. Null when neither works.
HKEY OpenOrCreateKey(const WCHAR *keyPath)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) return key;
    key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

int WriteValue(const WCHAR *keyPath, const WCHAR *valueName, DWORD type, const BYTE *data, DWORD size)
{
    // A null path would name HKEY_CURRENT_USER itself and a null name its
    // default value: neither is ever meant.
    if (keyPath == nullptr || valueName == nullptr) return 0;
    HKEY key = OpenOrCreateKey(keyPath);
    if (key == nullptr) return 0;
    int result = RegSetValueExW(key, valueName, 0, type, data, size) == ERROR_SUCCESS ? 1 : 0;
    RegCloseKey(key);
    return result;
}

// The process key path for `guid` in a caller's buffer: the id is the
// process id for GUID_NULL and the braced GUID text otherwise.
int FormatProcessKeyPath(GUID guid, WCHAR (&path)[kKeyPathCapacity])
{
    WCHAR id[kKeyPathCapacity];
    if (IsNullGuid(guid)) {
        if (FAILED(BoundedFormat(id, kKeyPathCapacity, kFormatUnsigned,
                                 static_cast<unsigned long>(GetCurrentProcessId()))))
            return 0;
    } else {
        WCHAR text[kKeyPathCapacity];
        int count = StringFromGUID2(guid, text, static_cast<int>(kKeyPathCapacity));
        if (count <= 0 || FAILED(BoundedCopy(id, static_cast<size_t>(count), text))) return 0;
    }
    if (FAILED(BoundedCopy(path, kKeyPathCapacity, kVendorKeyPath))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, kProcessKeyPrefix))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, id))) return 0;
    return 1;
}

int FormatFallbackKeyPath(WCHAR (&path)[kKeyPathCapacity])
{
    if (FAILED(BoundedCopy(path, kKeyPathCapacity, kVendorKeyPath))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, kFallbackKeyName))) return 0;
    return 1;
}

}  // namespace

int Converter::BuildProcessKeyPath(GUID guid, WCHAR **pathOut)
{
    if (pathOut == nullptr) return 0;
    WCHAR path[kKeyPathCapacity];
    if (!FormatProcessKeyPath(guid, path)) return 0;
    return DuplicateString(path, pathOut);
}

int Converter::BuildFallbackKeyPath(WCHAR **pathOut)
{
    if (pathOut == nullptr) return 0;
    WCHAR path[kKeyPathCapacity];
    if (!FormatFallbackKeyPath(path)) return 0;
    return DuplicateString(path, pathOut);
}

int Converter::WriteStringValue(const WCHAR *keyPath, const WCHAR *valueName, const WCHAR *text)
{
    if (text == nullptr) return 0;
    size_t length = 0;
    // The stored size, 2 * length + 2 bytes, must fit a DWORD.
    if (FAILED(BoundedLength(text, 0x7FFFFFFF, &length))) return 0;
    DWORD size = static_cast<DWORD>(2 * length + 2);
    return WriteValue(keyPath, valueName, REG_SZ, reinterpret_cast<const BYTE *>(text), size);
}

int Converter::WriteDwordValue(const WCHAR *keyPath, const WCHAR *valueName, DWORD value)
{
    BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                    static_cast<BYTE>(value >> 24)};
    return WriteValue(keyPath, valueName, REG_DWORD, data, sizeof(data));
}

void Converter::PublishRequest(GUID guid)
{
    if (ticketManager == nullptr || printerName == nullptr || ticketPath == nullptr) return;

    OwnedPath processKey;
    OwnedPath fallbackKey;
    if (!BuildProcessKeyPath(guid, &processKey.text)) return;
    if (!BuildFallbackKeyPath(&fallbackKey.text)) return;

    WCHAR ticketTypeText[kTicketTypeCapacity];
    if (FAILED(BoundedFormat(ticketTypeText, kTicketTypeCapacity, kFormatUnsigned,
                             static_cast<unsigned long>(ticketType))))
        return;

    // No write's result stops the others: the driver makes what it can of
    // whatever request stands.
    if (IsExportMode()) {
        {
            PrinterForData printer(printerName);
            if (printer.handle != nullptr) {
                BYTE always[4] = {1, 0, 0, 0};
                if (SetPrinterDataW(printer.handle, const_cast<LPWSTR>(kPrinterDataAlwaysExport), REG_DWORD,
                                    always, sizeof(always)) != ERROR_SUCCESS)
                    OutputDebugStringW(kDebugSetAlwaysExportFailed);

                Utility utility;
                char *narrow = nullptr;
                if (utility.WideToNarrow(ticketPath, &narrow, CP_ACP)) {
                    // The driver reads the location as ANSI bytes without a terminating zero.
                    DWORD size = static_cast<DWORD>(std::strlen(narrow));
                    if (SetPrinterDataW(printer.handle, const_cast<LPWSTR>(kPrinterDataExportTicketLocation),
                                        REG_BINARY, reinterpret_cast<LPBYTE>(narrow), size) != ERROR_SUCCESS)
                        OutputDebugStringW(kDebugSetExportLocationFailed);
                    LocalFree(narrow);
                }
            }
        }
        WriteStringValue(processKey.text, kValueProcessingConvertDevmode, kValueTrue);
    } else {
        WriteDwordValue(processKey.text, kValueDisableDPSExtension, 1);
        WriteStringValue(processKey.text, kValueTicketManager, ticketManager);
        WriteStringValue(processKey.text, kValueTicketType, ticketTypeText);
        WriteStringValue(processKey.text, kValuePrinterName, printerName);
        WriteStringValue(processKey.text, kValueTicketPath, ticketPath);
    }
    WriteStringValue(processKey.text, kValueProcessingCalvex, kValueTrue);
    WriteDwordValue(fallbackKey.text, kValueProcessId, GetCurrentProcessId());
}

void Converter::WithdrawRequest(GUID guid)
{
    DriverDataCleaner cleaner;

    // The paths stay on the stack: a withdrawal that failed for want of a few
    // bytes of heap would leave the whole request behind while the export
    // reported success, and the driver could later take it for a live one.
    WCHAR processKey[kKeyPathCapacity];
    WCHAR fallbackKey[kKeyPathCapacity];
    if (!FormatProcessKeyPath(guid, processKey)) return;
    if (!FormatFallbackKeyPath(fallbackKey)) return;

    HKEY process = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, processKey, 0, KEY_ALL_ACCESS, &process) != ERROR_SUCCESS)
        process = nullptr;

    if (IsExportMode()) {
        if (printerName != nullptr) {
            PrinterForData printer(printerName);
            if (printer.handle != nullptr) {
                if (DeletePrinterDataW(printer.handle, const_cast<LPWSTR>(kPrinterDataAlwaysExport)) !=
                    ERROR_SUCCESS)
                    OutputDebugStringW(kDebugDeleteAlwaysExportFailed);
                if (DeletePrinterDataW(printer.handle, const_cast<LPWSTR>(kPrinterDataExportTicketLocation)) !=
                    ERROR_SUCCESS)
                    OutputDebugStringW(kDebugDeleteExportLocationFailed);
            }
        }
        if (process != nullptr) RegDeleteValueW(process, kValueProcessingConvertDevmode);
    } else if (process != nullptr) {
        RegDeleteValueW(process, kValueTicketManager);
        RegDeleteValueW(process, kValueTicketPath);
        RegDeleteValueW(process, kValuePrinterName);
        RegDeleteValueW(process, kValueTicketType);
        RegDeleteValueW(process, kValueDisableDPSExtension);
    }

    cleaner.DeleteDriverDataKeys(processKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, processKey);

    // The handle outlives its key: when the key could not be deleted (it
    // still has subkeys), this removes the marker from the key that survived.
    if (process != nullptr) {
        RegDeleteValueW(process, kValueProcessingCalvex);
        RegCloseKey(process);
    }

    HKEY fallback = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, fallbackKey, 0, KEY_ALL_ACCESS, &fallback) != ERROR_SUCCESS)
        fallback = nullptr;
    RegDeleteKeyW(HKEY_CURRENT_USER, fallbackKey);
    if (fallback != nullptr) {
        RegDeleteValueW(fallback, kValueProcessId);
        RegCloseKey(fallback);
    }
}

}  // namespace convertapi
