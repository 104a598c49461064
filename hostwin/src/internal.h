// What hostwin's files share among themselves. Nothing here is exported.
//
// hostwin allocates with the ordinary operator new (containers, strings),
// never with new (std::nothrow): a test's allocation hook fails only the
// nothrow form, which must stay the library's own.
#pragma once

#include "hostwin/control.h"

#include <string>
#include <vector>

namespace hostwin {

// --- faults.cpp ---------------------------------------------------------
// Counts one call of `function` (may be null) in `category` and answers
// whether an injected fault fails it.
bool FaultHits(const char *function, const char *category);
// Counts the call but fails it only for a fault injected under its own name:
// closing a handle never fails for a whole category, so that a fault run
// does not leak by itself.
bool FaultHitsByNameOnly(const char *function, const char *category);
void FaultsReset();

// --- handles.cpp --------------------------------------------------------
enum HandleKind { kHandleRegistry, kHandlePrinter, kHandleModule, kHandleLocal, kHandleKinds };
// A handle value never given out before, of no kind in particular: closed
// handles are never reused, so a stale one is always recognised.
uintptr_t NewHandleValue();
void HandleOpened(HandleKind kind);
void HandleClosed(HandleKind kind);

// --- text.cpp -----------------------------------------------------------
// The upper case of one UTF-16 unit as the registry and the spooler compare
// names (ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic).
char16_t UpperCase(char16_t c);
int CompareNoCase(const std::u16string &a, const std::u16string &b);
bool EqualNoCase(const std::u16string &a, const std::u16string &b);
std::u16string FromWide(LPCWSTR text); // null gives ""
std::string ToUtf8(const std::u16string &text);

// --- registry.cpp: direct access for the spooler (no counts, no faults) --
LONG RegistryCreatePath(HKEY root, const std::u16string &path);
LONG RegistrySetValue(HKEY root, const std::u16string &path, const std::u16string &name, DWORD type,
                      const BYTE *data, DWORD size);
LONG RegistryGetValue(HKEY root, const std::u16string &path, const std::u16string &name, DWORD *type,
                      std::vector<BYTE> *data);
LONG RegistryDeleteValue(HKEY root, const std::u16string &path, const std::u16string &name);
LONG RegistryDeleteTree(HKEY root, const std::u16string &path);
void RegistryReset();

// --- spooler.cpp ----------------------------------------------------------
struct PrinterInfo {
    std::u16string name;
    std::string driverModule; // empty: no driver
};
// The printer behind an open handle; false when the handle is not an open
// printer handle or its printer was removed.
bool PrinterFromHandle(HANDLE handle, PrinterInfo *info);
bool PrinterFromName(const std::u16string &name, PrinterInfo *info);
void SpoolerReset();

// --- driver_host.cpp ----------------------------------------------------
void DriverUnload(const std::u16string &printerName);
void DriverUnloadAll();

// --- debug_output.cpp ---------------------------------------------------
void DebugOutputReset();

} // namespace hostwin
