// The version override over arbitrary bytes: the parser on its own, and
// GetConvertAPIVersionEx's work reading the same bytes as a printer's data
// through hostwin's spooler.
#include "convertapi.h"
#include "convertapi/api/version_override.h"
#include "hostwin/control.h"

#include <cstdlib>

namespace {

const WCHAR kPrinter[] = TEXT("Fuzz Printer");

void Check(bool condition)
{
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    HostWinAddPrinter(kPrinter, nullptr, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DWORD parsed = convertapi::ParseVersionOverride(data, size);
    // An odd last byte is no character.
    Check(convertapi::ParseVersionOverride(data, size & ~static_cast<size_t>(1)) == parsed);

    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    Check(OpenPrinterW(const_cast<WCHAR *>(kPrinter), &printer, &defaults));
    Check(SetPrinterDataW(printer, const_cast<WCHAR *>(TEXT("QXConvertAPIVersionOverride")), REG_BINARY,
                          const_cast<BYTE *>(data), static_cast<DWORD>(size)) == ERROR_SUCCESS);
    ClosePrinter(printer);

    const long handles = HostWinOpenHandleCount(nullptr);
    DWORD version = 0xDEADBEEF;
    const DWORD result = convertapi::QueryInterfaceVersion(kPrinter, &version);
    // A value of no bytes answers the size query at once: not sized.
    if (size == 0) {
        Check(result == ConvertAPIOverrideNotSized && version == 0xDEADBEEF);
    } else {
        Check(result == ConvertAPISuccess && version == parsed);
    }
    Check(HostWinOpenHandleCount(nullptr) == handles);
    return 0;
}
