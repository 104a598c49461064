// GetCurrentProcessId.
#include "internal.h"

#include <unistd.h>

DWORD WINAPI GetCurrentProcessId(void) { return static_cast<DWORD>(getpid()); }
