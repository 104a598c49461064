// What the driver does when the spooler calls it: find the request, then
// import the driver data or export a ticket, on a DEVMODEW (document call)
// or on the printer's device settings (device call).
#pragma once

#include "driver_platform.h"
#include "printer_data.h"
#include "standin_driver_api.h"

namespace standin_driver {

enum WorkResult {
    WorkOk,
    WorkCancelled,  // the answer switch said cancel: nothing was changed
    WorkFailed,     // an error: nothing was changed, or the export was not written
};

// The document call, for both the property-sheet path and the one without
// a sheet. Fills the call's tag, request and drop fields.
WorkResult DocumentWork(const DOCUMENTPROPERTYHEADER &header, const Printer &printer, StandinDriverCall *call);

// The device call (the printer's property sheet): applies the Physical
// driver data to the printer's device settings.
WorkResult DeviceWork(const Printer &printer, StandinDriverCall *call);

}  // namespace standin_driver
