// The machine the benchmarks run on: the stand-in printer, the stand-in ticket
// library and the counters that show which calls were made. The host variant
// sets it up in hostwin; the Windows variant uses the Wine prefix that
// scripts/wine-prefix.sh prepares.
#pragma once

#include "bench/bench_text.h"

namespace bench {

// Sets up printers and modules; false (after a message) when the machine is
// not ready for the conversion benchmarks.
bool PrepareEnvironment();

const WCHAR *PrinterName();
const WCHAR *TicketLibraryPath();
// A writable file path of this run, as fopen takes it and as the library
// takes it (ASCII only).
std::string TempFilePath(const char *name);
WString TempFilePathWide(const char *name);

// PrinterProperties as the library reaches it: Wine 8's is a stub that never
// calls the driver, so under Wine the library's import is pointed at a
// replacement that does, and the floor calls the same one.
typedef BOOL(WINAPI *PrinterPropertiesProc)(HWND, HANDLE);
PrinterPropertiesProc PrinterPropertiesEntry();

// Calls of a Win32 function made so far in this process, or -1 where the
// platform does not count them (Windows).
long PlatformCallCount(const char *function);

// Calls of one of the ticket library's eight called entry points, from the
// stand-in's own counters (-1 when they cannot be read).
long TicketLibraryCallCount(const char *entryPoint);
// Calls of the stand-in driver's property-sheet entry points (-1 when unknown).
long DriverCallCount();

}  // namespace bench
