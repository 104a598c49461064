#include "printer_data.h"

#include "convertapi/common/constants.h"

namespace standin_driver {

Printer::~Printer()
{
    if (owned_ && handle_) ClosePrinter(handle_);
}

int Printer::Use(HANDLE given, const WCHAR *name)
{
    if (given) {
        handle_ = given;
        return 1;
    }
    if (!name) return 0;
    // Writing the device settings needs full access; reading does with less.
    PRINTER_DEFAULTSW full = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<WCHAR *>(name), &handle_, &full)) {
        handle_ = nullptr;
        if (!OpenPrinterW(const_cast<WCHAR *>(name), &handle_, nullptr)) {
            handle_ = nullptr;
            return 0;
        }
    }
    owned_ = true;
    return 1;
}

int Printer::Read(const WCHAR *name, DWORD *type, BYTE *data, DWORD capacity, DWORD *size) const
{
    if (!handle_) return 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataW(handle_, const_cast<WCHAR *>(name), type, data, capacity, &needed);
    if (status != ERROR_SUCCESS || needed > capacity) return 0;
    *size = needed;
    return 1;
}

int Printer::Write(const WCHAR *name, DWORD type, const BYTE *data, DWORD size) const
{
    if (!handle_) return 0;
    return SetPrinterDataW(handle_, const_cast<WCHAR *>(name), type, const_cast<BYTE *>(data), size) == ERROR_SUCCESS
               ? 1
               : 0;
}

int ReadExportLocation(const Printer &printer, WCHAR *path, DWORD capacity)
{
    char bytes[1024];
    DWORD type = 0;
    DWORD size = 0;
    if (capacity < 2 || !printer.Read(convertapi::kPrinterDataExportTicketLocation, &type, reinterpret_cast<BYTE *>(bytes),
                                      sizeof(bytes), &size))
        return 0;
    // Written without a terminating zero; tolerate one all the same.
    while (size > 0 && bytes[size - 1] == 0) --size;
    if (size == 0) return 0;
    int chars = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(size), path, static_cast<int>(capacity - 1));
    if (chars <= 0) return 0;
    path[chars] = 0;
    return 1;
}

}  // namespace standin_driver
