// The process-wide Converter: built with every field zero when the library is
// loaded, closed when it is unloaded.
#pragma once

#include "convertapi/engine/converter.h"

namespace convertapi {

Converter &GlobalConverter();

}  // namespace convertapi
