// Reading a ticket through the ticket library, for a request that names its
// ticket but carries no driver data (the library publishes such a request for
// the printer's property sheet). The driver loads the library named by the
// request and walks one section of the ticket on its own.
#pragma once

#include "driver_platform.h"
#include "feature_stage.h"

namespace standin_driver {

// Loads the ticket library at `libraryPath`, opens `ticketPath`, walks the
// section `section` depth first into `features` (every level, each feature
// by its bare name), closes the ticket and unloads the library. Returns 1
// when the whole section was read; on any failure 0, and `features` is empty.
int ReadTicketSection(const WCHAR *libraryPath, const WCHAR *ticketPath, const WCHAR *section,
                      FeatureStage *features);

}  // namespace standin_driver
