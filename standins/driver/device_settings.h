// The printer's device settings: what an import's Physical section set,
// kept per printer in its printer data "StandinDeviceSettings" (REG_BINARY,
// the pair layout of standin_devmode.h), so that they outlive the process.
#pragma once

#include "driver_platform.h"
#include "pair_list.h"
#include "printer_data.h"

namespace standin_driver {

inline const WCHAR kDeviceSettingsValue[] = TEXT("StandinDeviceSettings");
constexpr DWORD kDeviceSettingsChars = 4096;

class DeviceSettings {
public:
    DeviceSettings();
    DeviceSettings(const DeviceSettings &) = delete;
    DeviceSettings &operator=(const DeviceSettings &) = delete;

    // Reads the printer's settings; a printer without any (or with a value
    // that is not a settings list) has none. Returns 0 only when the value
    // exists but cannot be read.
    int Load(const Printer &printer);
    int Save(const Printer &printer) const;

    PairList &List() { return list_; }
    const PairList &List() const { return list_; }

private:
    WCHAR area_[kDeviceSettingsChars];
    PairList list_;
};

}  // namespace standin_driver
