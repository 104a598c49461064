// A caller that never calls KillConvertAPI: InitializeConvertAPI and
// ReadTicket, then the process ends, and its request with the ticket's driver
// data stays in the registry. Prints the instance's GUID as the registry
// names the key. usage: leave_instance.exe PRINTER TICKET-LIBRARY TICKET
#include "convertapi.h"

#include <cstdio>

int wmain(int argc, WCHAR **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: leave_instance.exe PRINTER TICKET-LIBRARY TICKET\n");
        return 2;
    }
    GUID instance = {};
    DWORD result = InitializeConvertAPI(argv[1], argv[2], &instance);
    if (result != ConvertAPISuccess) {
        std::fprintf(stderr, "InitializeConvertAPI: %lu\n", result);
        return 1;
    }
    result = ReadTicket(0, argv[3], instance);
    if (result != ConvertAPISuccess) {
        std::fprintf(stderr, "ReadTicket: %lu\n", result);
        return 1;
    }
    std::printf("{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}\n", instance.Data1, instance.Data2,
                instance.Data3, instance.Data4[0], instance.Data4[1], instance.Data4[2], instance.Data4[3],
                instance.Data4[4], instance.Data4[5], instance.Data4[6], instance.Data4[7]);
    return 0;
}
