// InitializeConvertAPI's work on a given Converter: hand out a fresh
// instance GUID, then bind the Converter. The export passes the process-wide
// Converter; tests pass one of their own.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

class Converter;

// Returns the export's result code: 0, 2 (no out-pointer), 4 (no GUID but
// GUID_NULL could be had) or 22 (the binding failed; the GUID is already out).
DWORD BindInstance(Converter &converter, const WCHAR *printerName, const WCHAR *ticketManager, GUID *instanceGuidOut);

}  // namespace convertapi
