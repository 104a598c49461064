// Temporary: every hostwin entry point, so dependants link while the real
// implementation lands file by file.
#include "hostwin/control.h"

const GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

LONG WINAPI RegOpenKeyExW(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegCreateKeyExW(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, const LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegSetValueExW(HKEY, LPCWSTR, DWORD, DWORD, const BYTE *, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegQueryValueExW(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegEnumValueW(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegEnumKeyExW(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, void *) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegDeleteValueW(HKEY, LPCWSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegDeleteKeyW(HKEY, LPCWSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegDeleteTreeW(HKEY, LPCWSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LONG WINAPI RegCloseKey(HKEY) { return ERROR_CALL_NOT_IMPLEMENTED; }

BOOL WINAPI OpenPrinterW(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW) { return FALSE; }
BOOL WINAPI ClosePrinter(HANDLE) { return FALSE; }
DWORD WINAPI GetPrinterDataW(HANDLE, LPWSTR, LPDWORD, LPBYTE, DWORD, LPDWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI SetPrinterDataW(HANDLE, LPWSTR, DWORD, LPBYTE, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
DWORD WINAPI DeletePrinterDataW(HANDLE, LPWSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
BOOL WINAPI PrinterProperties(HWND, HANDLE) { return FALSE; }
LONG WINAPI DocumentPropertiesW(HWND, HANDLE, LPWSTR, PDEVMODEW, PDEVMODEW, DWORD) { return -1; }

HRESULT WINAPI CoCreateGuid(GUID *) { return E_FAIL; }
int WINAPI StringFromGUID2(REFGUID, LPOLESTR, int) { return 0; }

HMODULE WINAPI LoadLibraryW(LPCWSTR) { return nullptr; }
FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) { return nullptr; }
BOOL WINAPI FreeLibrary(HMODULE) { return FALSE; }
HLOCAL WINAPI LocalAlloc(UINT, SIZE_T) { return nullptr; }
HLOCAL WINAPI LocalFree(HLOCAL h) { return h; }
int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL) { return 0; }
int WINAPI MultiByteToWideChar(UINT, DWORD, LPCSTR, int, LPWSTR, int) { return 0; }
DWORD WINAPI GetCurrentProcessId(void) { return 0; }
void WINAPI OutputDebugStringW(LPCWSTR) {}
DWORD WINAPI GetLastError(void) { return 0; }
void WINAPI SetLastError(DWORD) {}

BOOL HostWinAddPrinter(LPCWSTR, const char *, DWORD) { return FALSE; }
BOOL HostWinRemovePrinter(LPCWSTR) { return FALSE; }
void HostWinReset(void) {}
void HostWinInjectFault(const char *, long) {}
void HostWinClearFaults(void) {}
long HostWinCallCount(const char *) { return 0; }
BOOL HostWinAllocationShouldFail(void) { return FALSE; }
long HostWinOpenHandleCount(const char *) { return 0; }
std::vector<std::u16string> HostWinDebugOutput() { return {}; }
void HostWinClearDebugOutput(void) {}
