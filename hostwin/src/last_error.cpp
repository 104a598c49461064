// GetLastError / SetLastError: one value per thread, as on Windows.
#include "internal.h"

namespace {
thread_local DWORD t_lastError = 0;
}

DWORD WINAPI GetLastError(void) { return t_lastError; }
void WINAPI SetLastError(DWORD dwErrCode) { t_lastError = dwErrCode; }
