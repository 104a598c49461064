// Text for the tool: UTF-8 on the command line and in the output, UTF-16
// (WCHAR) towards the library, the registry and the spooler.
#pragma once

#include "convertapi/common/platform.h"

#include <string>

namespace convertapi_cli {

using WString = std::basic_string<WCHAR>;

// UTF-8 to UTF-16 and back; an invalid sequence becomes U+FFFD.
WString Widen(const std::string &utf8);
std::string Narrow(const WCHAR *text, size_t length);
std::string Narrow(const WString &text);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", as the registry names a process key.
std::string GuidText(const GUID &guid);

// The name of a result code ("ConvertAPISuccess", ...), or "unknown".
const char *ResultCodeName(DWORD code);
// "0 (ConvertAPISuccess)".
std::string ResultText(DWORD code);

// Equal ignoring the case of A to Z, as the registry compares names.
bool EqualNoCase(const std::string &a, const std::string &b);

// Text quoted for JSON, quotes included.
std::string JsonString(const std::string &utf8);

}  // namespace convertapi_cli
