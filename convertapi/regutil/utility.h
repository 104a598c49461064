// Utility: the base of the registry utility family; converts wide text to a
// narrow code page.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

class Utility {
public:
    Utility() {}
    virtual ~Utility();
    // On success *narrowOut is a LocalAlloc block the caller frees with LocalFree.
    int WideToNarrow(const WCHAR *text, char **narrowOut, UINT codePage) const;
};

}  // namespace convertapi
