#include "convertapi/regutil/registry_utility.h"

namespace convertapi {

RegistryUtility::~RegistryUtility() {}

}  // namespace convertapi
