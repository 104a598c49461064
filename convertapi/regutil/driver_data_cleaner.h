// DriverDataCleaner: removes the driver-data keys below one process key,
// children first, together with their values.
#pragma once

#include "convertapi/regutil/registry_utility.h"

namespace convertapi {

class DriverDataCleaner : public RegistryUtility {
public:
    DriverDataCleaner() {}
    ~DriverDataCleaner() override;
    void DeleteDriverDataKeys(const WCHAR *processKeyPath);
    void DeleteValuesAndKey(const WCHAR *subkey, const WCHAR *processKeyPath);
    void DeleteKeyOnly(const WCHAR *subkey, const WCHAR *processKeyPath);
};

}  // namespace convertapi
