// What stands in the registry below one key, read through Win32 alone, so
// that a test can say exactly what a conversion left behind.
#pragma once

#include "convertapi/common/platform.h"

#include <map>
#include <string>

namespace faults {

using WString = std::basic_string<WCHAR>;

// Value name -> data (REG_SZ as its text, REG_DWORD in decimal, other types
// as hexadecimal bytes).
using KeyValues = std::map<WString, WString>;
// Key path relative to the snapshot's root -> its values. Every key below the
// root is listed, also one without values.
using RegistrySnapshot = std::map<WString, KeyValues>;

// Everything below HKEY_CURRENT_USER\`root` (the root itself not included).
RegistrySnapshot SnapshotBelow(const WString &root);

// Printable form, for messages.
std::string Describe(const RegistrySnapshot &snapshot);
std::string Narrow(const WString &text);
WString Widen(const std::string &text);

}  // namespace faults
