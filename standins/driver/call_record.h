// The record of the calls the spooler made into the driver (the last
// STANDIN_DRIVER_MAX_CALLS of them) and the answer switch, behind the test
// exports of standin_driver_api.h.
#pragma once

#include "driver_platform.h"
#include "printer_data.h"
#include "standin_driver_api.h"

namespace standin_driver {

// Starts the record of a call: kind, mode and what the registry and the
// printer data held as it came in. Never null.
StandinDriverCall *BeginCall(LONG kind, DWORD mode, const Printer &printer);

LONG CallCount();
// The call `index` (0 = the first since the last reset), while it is among
// the last STANDIN_DRIVER_MAX_CALLS; else null.
const StandinDriverCall *CallAt(LONG index);
void ResetCalls();

LONG Answer();
void SetAnswer(LONG answer);

}  // namespace standin_driver
