#include "ticket_features.h"

#include "convertapi.h"
#include "convertapi/common/constants.h"
#include "registry_tree.h"

namespace convertapi_cli {
namespace {

struct DriverDataKey {
    const WCHAR *subkey;
    const char *section;
};

// In the order in which the table shows them: Printing, then Physical.
const DriverDataKey kDriverDataKeys[] = {
    {convertapi::kDriverDataDevModeItems, "Printing"},
    {convertapi::kDriverDataOptItems, "Printing"},
    {convertapi::kDriverDataPhysical, "Physical"},
};

void CopyDriverData(const GUID &instance, std::vector<TicketFeature> *features)
{
    const WString processKey = WString(convertapi::kVendorKeyPath) + convertapi::kProcessKeyPrefix +
                               Widen(GuidText(instance));
    for (const DriverDataKey &data : kDriverDataKeys) {
        RegistryKey key;
        if (!ReadRegistryKey(HKEY_CURRENT_USER, processKey + TEXT("\\") + data.subkey, &key)) continue;
        for (const RegistryValue &value : key.values)
            features->push_back({data.section, Narrow(value.name), RegistryString(value)});
    }
}

}  // namespace

TicketReading ReadTicketFeatures(const Target &target, const WString &ticketPath, DWORD ticketType)
{
    TicketReading reading;
    GUID instance = {};
    reading.result = InitializeConvertAPI(target.printer.c_str(), target.library.c_str(), &instance);
    if (reading.result != ConvertAPISuccess) {
        reading.failedExport = "InitializeConvertAPI";
        // A GUID handed out before the binding failed still ends the instance.
        if (reading.result == ConvertAPINotOpened) KillConvertAPI(instance);
        return reading;
    }
    reading.result = ReadTicket(ticketType, ticketPath.c_str(), instance);
    if (reading.result != ConvertAPISuccess)
        reading.failedExport = "ReadTicket";
    else
        CopyDriverData(instance, &reading.features);
    KillConvertAPI(instance);
    return reading;
}

}  // namespace convertapi_cli
