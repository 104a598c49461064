// The export: a DEVMODEW's settings and the printer's device settings as a
// ticket file in the format of docs/ticket-format.md.
#pragma once

#include "devmode_image.h"
#include "driver_platform.h"
#include "pair_list.h"

namespace standin_driver {

// Printing section: the public features whose dmFields bit is set, then the
// private settings; Physical section: the device settings. Every feature
// once, flat. Returns 1 when the whole file was written.
int WriteTicket(const WCHAR *path, const DevmodeImage &image, const PairList &physical);

}  // namespace standin_driver
