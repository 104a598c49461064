#include "convertapi/api/version_override.h"

#include "convertapi.h"
#include "convertapi/common/constants.h"

#include <cstdint>

namespace convertapi {
namespace {

// Zero of each decimal digit block beyond ASCII; each is followed by the
// digits one to nine.
constexpr WCHAR kDigitZeros[] = {
    0x0660,  // Arabic-Indic
    0x06F0,  // Extended Arabic-Indic
    0x0966,  // Devanagari
    0x09E6,  // Bengali
    0x0A66,  // Gurmukhi
    0x0AE6,  // Gujarati
    0x0B66,  // Oriya
    0x0C66,  // Telugu
    0x0CE6,  // Kannada
    0x0D66,  // Malayalam
    0x0E50,  // Thai
    0x0ED0,  // Lao
    0x0F20,  // Tibetan
    0x1040,  // Myanmar
    0x17E0,  // Khmer
    0x1810,  // Mongolian
    0xFF10,  // Fullwidth
};

class PrinterHandle {
public:
    ~PrinterHandle()
    {
        if (handle != nullptr) ClosePrinter(handle);
    }
    HANDLE handle = nullptr;
};

class LocalBuffer {
public:
    ~LocalBuffer()
    {
        if (block != nullptr) LocalFree(block);
    }
    HLOCAL block = nullptr;
};

}  // namespace

bool IsOverrideSpace(WCHAR c)
{
    unsigned code = static_cast<unsigned>(c);
    if (code >= 0x0009 && code <= 0x000D) return true;  // tab, line feed, vertical tab, form feed, carriage return
    if (code >= 0x2000 && code <= 0x200A) return true;  // en quad to hair space
    switch (code) {
    case 0x0020:  // space
    case 0x00A0:  // no-break space
    case 0x1680:  // Ogham space mark
    case 0x2028:  // line separator
    case 0x2029:  // paragraph separator
    case 0x202F:  // narrow no-break space
    case 0x205F:  // medium mathematical space
    case 0x3000:  // ideographic space
        return true;
    default:
        return false;
    }
}

int OverrideDigitValue(WCHAR c)
{
    unsigned code = static_cast<unsigned>(c);
    if (code >= 0x0030 && code <= 0x0039) return static_cast<int>(code - 0x0030);
    for (WCHAR zero : kDigitZeros) {
        unsigned base = static_cast<unsigned>(zero);
        if (code >= base && code <= base + 9) return static_cast<int>(code - base);
    }
    return -1;
}

DWORD ParseVersionOverride(const BYTE *data, size_t byteCount)
{
    if (data == nullptr) return 0;
    const size_t count = byteCount / 2;  // an odd last byte makes no character
    // Byte-wise, so that neither alignment nor the host's byte order matters.
    auto at = [data](size_t i) -> WCHAR {
        return static_cast<WCHAR>(data[2 * i] | (static_cast<unsigned>(data[2 * i + 1]) << 8));
    };

    size_t i = 0;
    while (i < count && IsOverrideSpace(at(i))) ++i;
    bool negative = false;
    if (i < count && (at(i) == TEXT('-') || at(i) == TEXT('+'))) {
        negative = at(i) == TEXT('-');
        ++i;
    }
    uint32_t value = 0;
    for (; i < count; ++i) {
        int digit = OverrideDigitValue(at(i));
        if (digit < 0) break;
        value = value * 10u + static_cast<uint32_t>(digit);  // wraps; no overflow test by design
    }
    if (negative) value = 0u - value;
    return value;
}

DWORD QueryInterfaceVersion(const WCHAR *printerName, DWORD *versionOut)
{
    if (versionOut == nullptr) return ConvertAPINoVersionPointer;
    if (printerName == nullptr) {
        *versionOut = kInterfaceVersion;
        return ConvertAPISuccess;
    }

    PrinterHandle printer;
    PRINTER_DEFAULTSW defaults = {};
    defaults.pDatatype = nullptr;
    defaults.pDevMode = nullptr;
    defaults.DesiredAccess = PRINTER_ALL_ACCESS;
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName), &printer.handle, &defaults)) {
        printer.handle = nullptr;
        *versionOut = kInterfaceVersion;
        return ConvertAPISuccess;
    }

    LPWSTR valueName = const_cast<LPWSTR>(kPrinterDataVersionOverride);
    DWORD type = 0;
    DWORD needed = 0;
    DWORD answer = GetPrinterDataW(printer.handle, valueName, &type, nullptr, 0, &needed);
    if (answer == static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) {
        *versionOut = kInterfaceVersion;
        return ConvertAPISuccess;
    }
    if (answer != static_cast<DWORD>(ERROR_MORE_DATA) || needed == 0) return ConvertAPIOverrideNotSized;

    LocalBuffer buffer;
    buffer.block = LocalAlloc(LPTR, needed);
    if (buffer.block == nullptr) return ConvertAPIOverrideNoMemory;
    DWORD read = 0;
    answer = GetPrinterDataW(printer.handle, valueName, &type, static_cast<LPBYTE>(buffer.block), needed, &read);
    if (answer != static_cast<DWORD>(ERROR_SUCCESS) || read != needed) return ConvertAPIOverrideNotRead;

    *versionOut = ParseVersionOverride(static_cast<const BYTE *>(buffer.block), read);
    return ConvertAPISuccess;
}

}  // namespace convertapi
