// What the tool needs to know about the spooler it runs on. Wine 8's
// winspool.drv does not export DeletePrinterDataW: a module that imports it
// loads, but calling it ends the process. The library calls it to withdraw an
// export's request, so the tool refuses an export there rather than die.
#pragma once

#include "convertapi/common/platform.h"

#include <ostream>

namespace convertapi_cli {

typedef DWORD(WINAPI *DeletePrinterDataProc)(HANDLE printer, LPWSTR valueName);

// The spooler's DeletePrinterDataW, or null where it lacks one.
DeletePrinterDataProc SpoolerDeletePrinterData();

// True where the library can withdraw an export's printer data; otherwise
// says why `whose` export is refused ("the", "an") and returns false.
bool SpoolerCanWithdrawExport(const char *whose, std::ostream &err);

}  // namespace convertapi_cli
