// A DEVMODEW in readable form: the public fields by name with what their
// values mean, the tag blocks that the library stamps and their slots, and
// the driver's private settings where the private part is the stand-in
// driver's. Printed as text or as JSON.
#pragma once

#include "convertapi/common/platform.h"

#include <ostream>
#include <string>
#include <vector>

namespace convertapi_cli {

struct DevmodeFieldView {
    const char *name;     // "dmOrientation"
    long value;
    std::string meaning;  // "landscape (DMORIENT_LANDSCAPE)", or empty
    DWORD bit;            // the field's dmFields bit, 0 for none
    bool display;         // a display-only field: text output shows it only when it is not zero
};

struct DevmodeTagView {
    DWORD offset;  // of the block from the start of the DEVMODEW
    bool free;     // the instance slot is all zero
    GUID slot;
};

struct DevmodeSettingView {
    std::string name;
    std::string value;
};

struct DevmodePrivateView {
    DWORD bytes = 0;         // dmDriverExtra
    bool standin = false;    // the stand-in driver's layout (size and magic)
    WORD version = 0;
    DWORD dropped = 0;       // features the last import could not keep
    bool settingsValid = false;
    std::vector<DevmodeSettingView> settings;
};

struct DevmodeView {
    DWORD size = 0;  // dmSize + dmDriverExtra
    std::string deviceName;
    WORD specVersion = 0;
    WORD driverVersion = 0;
    WORD dmSize = 0;
    WORD dmDriverExtra = 0;
    DWORD dmFields = 0;
    std::vector<std::string> fieldNames;  // the dmFields bits that are set, "DM_ORIENTATION", ...
    std::vector<DevmodeFieldView> fields;  // the fields within dmSize
    std::string formName;
    bool hasFormName = false;
    std::vector<DevmodeTagView> tags;
    DevmodePrivateView priv;
};

// `bytes` holds at least `size` bytes, `size` = dmSize + dmDriverExtra.
DevmodeView DescribeDevmode(const BYTE *bytes, DWORD size);

void PrintDevmodeText(const DevmodeView &view, std::ostream &out);
void PrintDevmodeJson(const DevmodeView &view, std::ostream &out);

}  // namespace convertapi_cli
