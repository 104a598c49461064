// GUID_NULL stands for "no instance": the exports refuse it as an instance and
// the engine keys such a request by the process id instead.
#pragma once

#include "convertapi/common/constants.h"

#include <cstring>

namespace convertapi {

inline bool IsNullGuid(const GUID &guid) { return std::memcmp(&guid, &kNullGuid, sizeof(GUID)) == 0; }

}  // namespace convertapi
