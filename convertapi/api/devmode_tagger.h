// DevmodeTagger: finds, stamps and clears the 64-byte tag block that carries
// an instance GUID inside a DEVMODEW, so that the printer driver can tell
// which instance a call belongs to.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

class DevmodeTagger {
public:
    // Returns the instance slot (16 bytes) of the first matching block, or null.
    BYTE *FindDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const;
    int StampDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const;
    int ClearDevmodeTag(BYTE *buffer, DWORD size, GUID guid) const;
};

}  // namespace convertapi
