// The one property page the driver adds to the sheet: a sheet with a page is
// what makes the spooler report the driver's answer.
#pragma once

#include "driver_platform.h"

namespace standin_driver {

// Adds the page through the sheet's callback. `cancel` makes the page close
// the sheet with Cancel where a page procedure runs at all (Windows with a
// desktop); headless, the page is never shown. Returns 1 when it was added.
int AddPropertyPage(PROPSHEETUI_INFO *info, bool cancel);

}  // namespace standin_driver
