// What the driver saw when a call came in, as text for the call record: the
// registry below HKEY_CURRENT_USER\Software\Varnholt and the request's
// printer data (formats in standin_driver_api.h).
#pragma once

#include "driver_platform.h"
#include "printer_data.h"

namespace standin_driver {

// Returns 1 when every value fitted into `capacity` characters; otherwise
// the text ends after the last whole line that did.
int SnapshotRegistry(WCHAR *text, size_t capacity);
void SnapshotPrinterData(const Printer &printer, WCHAR *text, size_t capacity);

}  // namespace standin_driver
