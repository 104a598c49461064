// Finding the library's request in the registry: the process key named by
// the tag block's GUID, or by the process id in the fallback key, and the
// driver-data values below it.
#pragma once

#include "driver_platform.h"

namespace standin_driver {

enum RequestSource {
    RequestNone = 0,
    RequestFromTag = 1,       // process key named by the tag block's GUID
    RequestFromFallback = 2,  // process key named by the fallback key's process id
};

struct Request {
    LONG source = RequestNone;
    WCHAR processKey[256] = {};  // the last process key looked at, relative to HKEY_CURRENT_USER
    bool exportMode = false;     // "ProcessingConvertDevmode" = "TRUE"
};

// Looks for a request: first under the key named by `tagSlot` (when it is not
// null and not zero), then under the key that the fallback key names. A key
// counts only while it holds "ProcessingCalvex" = "TRUE", so that what a
// half-finished withdraw left behind is not taken for a request.
void FindRequest(const GUID *tagSlot, Request *request);

// Longest driver-data name and value (terminating zero included) that an
// import hands on; longer ones are dropped, whichever way they came.
constexpr DWORD kDriverDataNameChars = 256;
constexpr DWORD kDriverDataValueChars = 2048;

// Whether the process key holds driver data: the Physical or the Printing
// key below it, the keys that the library's own probes look for.
bool HasDriverData(const WCHAR *processKey);

// The request's "TicketManager" and "TicketPath", both non-empty REG_SZ
// texts that fit `capacity` characters; 0 when either is missing.
int ReadTicketReference(const WCHAR *processKey, WCHAR *ticketManager, WCHAR *ticketPath, DWORD capacity);

// Calls `visit` for every string value of the key `processKey` + "\" +
// `subKey` and returns how many it took (`visit` answered 1). `notVisited`
// receives how many it did not take, or could not be handed on (not a string,
// a name or text too long for the limits above); a missing key has neither.
typedef int (*ValueVisitor)(void *context, const WCHAR *name, const WCHAR *value);
DWORD VisitDriverData(const WCHAR *processKey, const WCHAR *subKey, ValueVisitor visit, void *context,
                      DWORD *notVisited);

}  // namespace standin_driver
