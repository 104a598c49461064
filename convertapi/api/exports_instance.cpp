// The exports that need no conversion: binding an instance and the version.
#include "convertapi.h"
#include "convertapi/api/global_converter.h"
#include "convertapi/api/version_override.h"
#include "convertapi/common/constants.h"

#include <cstring>

using convertapi::GlobalConverter;

namespace {

bool IsNullGuid(const GUID &guid) { return std::memcmp(&guid, &convertapi::kNullGuid, sizeof(GUID)) == 0; }

}  // namespace

extern "C" CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL InitializeConvertAPI(const WCHAR *printerName,
                                                                        const WCHAR *ticketManager,
                                                                        GUID *instanceGuidOut)
{
    if (instanceGuidOut == nullptr) return ConvertAPINoGuidPointer;

    GUID guid = convertapi::kNullGuid;
    CoCreateGuid(&guid);  // only the GUID itself tells whether one was made
    if (IsNullGuid(guid)) return ConvertAPIGuidNotCreated;
    // The caller holds the GUID even when the binding below fails.
    *instanceGuidOut = guid;

    if (!GlobalConverter().Open(printerName, ticketManager)) return ConvertAPINotOpened;
    GlobalConverter().SetExportMode(0);
    return ConvertAPISuccess;
}

extern "C" CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersion(DWORD *versionOut)
{
    if (versionOut == nullptr) return ConvertAPINoVersionPointer;
    *versionOut = convertapi::kInterfaceVersion;
    return ConvertAPISuccess;
}

extern "C" CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersionEx(DWORD *versionOut, const WCHAR *printerName)
{
    return convertapi::QueryInterfaceVersion(printerName, versionOut);
}
