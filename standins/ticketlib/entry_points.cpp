// The eight entry points that the library's client calls.
#include "standins/ticketlib/control.h"
#include "standins/ticketlib/standin_ticketlib.h"

STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllRegisterServer(void) { return S_OK; }
STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllUnregisterServer(void) { return S_OK; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELStartConfig(const WCHAR *, LONG, const WCHAR *, LONG) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEndConfig(void) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELSetContext(const WCHAR *) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumFeatures(const void *, WCHAR *) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumListToken(WCHAR *, WCHAR *) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELGet(const WCHAR *, WCHAR *) { return 0; }
STANDIN_TICKETLIB_EXPORT LONG WINAPI StandinTicketLibCallCount(const char *) { return 0; }
STANDIN_TICKETLIB_EXPORT void WINAPI StandinTicketLibResetCallCounts(void) {}
