// The exports that need no conversion: binding an instance and the version.
#include "convertapi.h"
#include "convertapi/api/global_converter.h"
#include "convertapi/api/instance_binding.h"
#include "convertapi/api/version_override.h"
#include "convertapi/common/constants.h"

extern "C" CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL InitializeConvertAPI(const WCHAR *printerName,
                                                                        const WCHAR *ticketManager,
                                                                        GUID *instanceGuidOut)
{
    return convertapi::BindInstance(convertapi::GlobalConverter(), printerName, ticketManager, instanceGuidOut);
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
