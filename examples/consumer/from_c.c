/* The same header from C: the exports and their pointer types agree. */
#include "convertapi.h"

int ConsumerFromC(void)
{
    GetConvertAPIVersionProc version = &GetConvertAPIVersion;
    KillConvertAPIProc kill = &KillConvertAPI;
    DWORD number = 0;
    (void)kill;
    return version(&number) == ConvertAPISuccess && number == ConvertAPIVersion;
}
