// Fills two gaps of Wine 8.0's spooler for the modules of a test process,
// without touching the library: winspool.drv does not export
// DeletePrinterDataW (a module that imports it loads, but the call ends the
// process), and its PrinterProperties is a stub that never calls the driver.
// The patch points a loaded module's import slots for these two functions at
// the harness's own implementations below.
#pragma once

#include <windows.h>

namespace scenario {

// Deletes the value where Wine's SetPrinterDataW stores it:
// HKLM\System\CurrentControlSet\Control\Print\Printers\<name>\PrinterDriverData.
DWORD WINAPI HarnessDeletePrinterDataW(HANDLE printer, LPWSTR valueName);

// Calls the printer's DrvDevicePropertySheets through the property-sheet
// path, as the platform does: PROPSHEETUI_INFO with Reason
// PROPSHEETUI_REASON_INIT and lParamInit pointing to a DEVICEPROPERTYHEADER.
// TRUE when the driver answers more than 0.
BOOL WINAPI HarnessPrinterProperties(HWND window, HANDLE printer);

// The slot through which `module` calls `dll`!`function` (imported by name),
// or null when it does not import it.
void **FindImportSlot(HMODULE module, const char *dll, const char *function);

// Points `module`'s import of winspool.drv!`function` at `replacement`.
// False when the module does not import the function by name.
bool PatchImport(HMODULE module, const char *function, void *replacement);

// Both patches on `module` (a null module does nothing). Returns the number
// of import slots patched.
int PatchWinspoolGaps(HMODULE module);

}  // namespace scenario
