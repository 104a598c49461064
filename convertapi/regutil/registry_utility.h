// RegistryUtility: the registry branch of the utility family; adds nothing of
// its own but the place in the hierarchy.
#pragma once

#include "convertapi/regutil/utility.h"

namespace convertapi {

class RegistryUtility : public Utility {
public:
    RegistryUtility() {}
    ~RegistryUtility() override;
};

}  // namespace convertapi
