// A registry key read whole: its values and, depth first, its subkeys, in
// the registry's order. Used to list what requests left behind and to read
// the driver data that the library writes for a ticket.
#pragma once

#include "text.h"

#include <string>
#include <vector>

namespace convertapi_cli {

struct RegistryValue {
    WString name;
    DWORD type;
    std::vector<BYTE> data;
};

struct RegistryKey {
    WString name;  // the last component of the path
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> subkeys;
};

// Reads the key at `path` below `root`. Returns 1, or 0 when it cannot be
// opened. Subkeys that cannot be opened are left out.
int ReadRegistryKey(HKEY root, const WString &path, RegistryKey *key);

// "REG_SZ", "REG_DWORD", ... or "type N".
std::string RegistryTypeName(DWORD type);
// The data as text: a string without its terminating zero, a DWORD in
// decimal, anything else as hexadecimal bytes.
std::string RegistryDataText(DWORD type, const std::vector<BYTE> &data);
// A REG_SZ value's text; empty for another type.
std::string RegistryString(const RegistryValue &value);

}  // namespace convertapi_cli
