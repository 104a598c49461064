// hostwin's test controls: what a test on the host needs beyond Win32 itself:
// setting up printers, injecting faults, counting open handles and reading
// the debug output. Nothing here exists on Windows; the library never calls it.
#pragma once

#include "hostwin/win32.h"

#include <string>
#include <vector>

// Printer set-up. `driverModule` is the file path of the driver module that
// DocumentPropertiesW and PrinterProperties load and call (null: a printer
// without a driver, whose property calls fail as on Windows).
#define HOSTWIN_PRINTER_DENY_ALL_ACCESS 0x1 // OpenPrinterW with PRINTER_ALL_ACCESS is refused
HOSTWIN_API BOOL HostWinAddPrinter(LPCWSTR name, const char *driverModule, DWORD flags);
HOSTWIN_API BOOL HostWinRemovePrinter(LPCWSTR name);

// Back to a fresh machine: empty registry, no printers, no faults, no debug
// output, counters at zero. Handles still open stay valid but find nothing.
HOSTWIN_API void HostWinReset(void);

// Fault injection. `target` is either one Win32 function name
// ("RegSetValueExW", "OpenPrinterW", ...) or a category:
//   "alloc"    LocalAlloc and the test's allocation hook (operator new)
//   "registry" every Reg* function
//   "spooler"  every printer function
//   "guid"     CoCreateGuid (fails by leaving GUID_NULL and returning an error)
// `nth` = 1 fails the next call, 2 the one after, ...; -1 fails every call;
// 0 removes the fault. Each call that matches counts, whether it fails or not.
HOSTWIN_API void HostWinInjectFault(const char *target, long nth);
HOSTWIN_API void HostWinClearFaults(void);
// Calls made since the last reset that match `target` (same names as above).
HOSTWIN_API long HostWinCallCount(const char *target);
// Asks whether an allocation should fail now (counts as an "alloc" call).
HOSTWIN_API BOOL HostWinAllocationShouldFail(void);

// Handles open right now: registry keys, printers, loaded modules and local
// memory blocks ("registry", "printer", "module", "local", or null for all).
HOSTWIN_API long HostWinOpenHandleCount(const char *kind);

// Every OutputDebugStringW text since the last reset, in order.
std::vector<std::u16string> HostWinDebugOutput();
HOSTWIN_API void HostWinClearDebugOutput(void);
