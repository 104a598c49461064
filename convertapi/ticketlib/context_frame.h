// One saved walk state on the TicketLibrary's context stack.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

struct ContextFrame {
    WCHAR *path;         // owned; the context path saved by PushContext, or null
    WCHAR *featureList;  // owned list buffer of kFeatureListCapacity characters, or null
};

}  // namespace convertapi
