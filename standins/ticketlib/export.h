// How the stand-in ticket library marks its entry points. On Windows the .def
// file names the exports (undecorated also for 32-bit __stdcall); elsewhere
// the module is built with hidden visibility and only these are exported.
#pragma once

#include "convertapi/common/platform.h"

#ifdef _WIN32
#define STANDIN_TICKETLIB_EXPORT extern "C"
#else
#define STANDIN_TICKETLIB_EXPORT extern "C" __attribute__((visibility("default")))
#endif
