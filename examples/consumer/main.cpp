// A caller of convertapi: the interface version, and with a printer, a ticket
// library and a ticket on the command line, the ticket applied to the
// printer's default DEVMODEW through an instance:
//   InitializeConvertAPI, ReadTicket, ConvertTicketEx, KillConvertAPI.
// usage: consumer [PRINTER TICKET-LIBRARY TICKET]
#include "convertapi.h"

#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
extern "C" int ConsumerFromC(void);
#endif

namespace {

// Command-line text to UTF-16: the ANSI code page on Windows, UTF-8 elsewhere.
std::basic_string<WCHAR> Wide(const char *text)
{
#ifdef _WIN32
    const UINT codePage = CP_ACP;
#else
    const UINT codePage = CP_UTF8;
#endif
    int chars = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    std::basic_string<WCHAR> wide(chars > 0 ? chars : 1, 0);
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], chars);
    wide.resize(chars > 0 ? chars - 1 : 0);
    return wide;
}

int ApplyTicket(const char *printerArg, const char *libraryArg, const char *ticketArg)
{
    std::basic_string<WCHAR> printer = Wide(printerArg), library = Wide(libraryArg), ticket = Wide(ticketArg);

    // The printer driver's default DEVMODEW, with its private part.
    HANDLE handle = nullptr;
    if (!OpenPrinterW(&printer[0], &handle, nullptr)) {
        std::fprintf(stderr, "cannot open the printer %s\n", printerArg);
        return 1;
    }
    LONG size = DocumentPropertiesW(nullptr, handle, &printer[0], nullptr, nullptr, 0);
    std::vector<BYTE> buffer(size > 0 ? static_cast<size_t>(size) : sizeof(DEVMODEW));
    DEVMODEW *devmode = reinterpret_cast<DEVMODEW *>(buffer.data());
    LONG answer = DocumentPropertiesW(nullptr, handle, &printer[0], devmode, nullptr, DM_OUT_BUFFER);
    ClosePrinter(handle);
    if (size <= 0 || answer != IDOK) {
        std::fprintf(stderr, "the printer's driver gives no DEVMODEW\n");
        return 1;
    }

    GUID instance = {};
    DWORD result = InitializeConvertAPI(printer.c_str(), library.c_str(), &instance);
    // The GUID is handed out also when the binding fails (22).
    const bool started = result == ConvertAPISuccess || result == ConvertAPINotOpened;
    if (result == ConvertAPISuccess) result = ReadTicket(0, ticket.c_str(), instance);
    if (result == ConvertAPISuccess) result = ConvertTicketEx(devmode, instance, FlagFromDriverData);
    // Always, also after a failure: else the request stays in the registry.
    if (started) KillConvertAPI(instance);
    std::printf("ticket applied: result %lu, dmDuplex %d, dmPrintQuality %d\n", static_cast<unsigned long>(result),
                devmode->dmDuplex, devmode->dmPrintQuality);
    return result == ConvertAPISuccess ? 0 : static_cast<int>(result);
}

}  // namespace

int main(int argc, char **argv)
{
    // The declarations and the pointer types for GetProcAddress agree.
    ConvertTicketProc convertTicket = &ConvertTicket;
    ConvertDevModeExProc convertDevModeEx = &ConvertDevModeEx;
    (void)convertTicket;
    (void)convertDevModeEx;

    DWORD version = 0;
    const DWORD result = GetConvertAPIVersion(&version);
    std::printf("convertapi interface version %lu (result %lu)\n", static_cast<unsigned long>(version),
                static_cast<unsigned long>(result));
    if (result != ConvertAPISuccess || version != ConvertAPIVersion) return 1;
#ifdef _WIN32
    if (!ConsumerFromC()) return 1;
#endif
    if (argc == 4) return ApplyTicket(argv[1], argv[2], argv[3]);
    return 0;
}
