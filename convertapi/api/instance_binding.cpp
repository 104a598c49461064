#include "convertapi/api/instance_binding.h"

#include "convertapi.h"
#include "convertapi/common/constants.h"
#include "convertapi/engine/converter.h"

#include <cstring>

namespace convertapi {

DWORD BindInstance(Converter &converter, const WCHAR *printerName, const WCHAR *ticketManager, GUID *instanceGuidOut)
{
    if (instanceGuidOut == nullptr) return ConvertAPINoGuidPointer;

    GUID guid = kNullGuid;
    CoCreateGuid(&guid);  // only the GUID itself tells whether one was made
    if (std::memcmp(&guid, &kNullGuid, sizeof(GUID)) == 0) return ConvertAPIGuidNotCreated;
    // The caller holds the GUID even when the binding below fails.
    *instanceGuidOut = guid;

    if (!converter.Open(printerName, ticketManager)) return ConvertAPINotOpened;
    converter.SetExportMode(0);
    return ConvertAPISuccess;
}

}  // namespace convertapi
