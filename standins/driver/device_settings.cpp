#include "device_settings.h"

#include <cstring>

namespace standin_driver {

DeviceSettings::DeviceSettings() { list_.Reset(area_, kDeviceSettingsChars); }

int DeviceSettings::Load(const Printer &printer)
{
    std::memset(area_, 0, sizeof(area_));
    list_.Reset(area_, kDeviceSettingsChars);
    DWORD type = 0;
    DWORD size = 0;
    DWORD needed = 0;
    DWORD status = GetPrinterDataW(printer.Get(), const_cast<WCHAR *>(kDeviceSettingsValue), &type, nullptr, 0, &needed);
    if (status == ERROR_FILE_NOT_FOUND) return 1;
    if (!printer.Read(kDeviceSettingsValue, &type, reinterpret_cast<BYTE *>(area_), sizeof(area_) - sizeof(WCHAR),
                      &size))
        return 0;
    if (type != REG_BINARY || size % sizeof(WCHAR) != 0) {
        list_.Reset(area_, kDeviceSettingsChars);
        return 1;
    }
    // The zeros after the data end a list that was cut short.
    list_.Attach(area_, kDeviceSettingsChars);
    return 1;
}

int DeviceSettings::Save(const Printer &printer) const
{
    return printer.Write(kDeviceSettingsValue, REG_BINARY, reinterpret_cast<const BYTE *>(area_),
                         list_.UsedChars() * sizeof(WCHAR));
}

}  // namespace standin_driver
