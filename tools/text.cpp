#include "text.h"

#include "convertapi.h"

#include <cstdio>
#include <vector>

namespace convertapi_cli {

WString Widen(const std::string &utf8)
{
    if (utf8.empty()) return WString();
    const int length = static_cast<int>(utf8.size());
    int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return WString();
    WString wide(static_cast<size_t>(needed), WCHAR(0));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, &wide[0], needed);
    return wide;
}

std::string Narrow(const WCHAR *text, size_t length)
{
    if (text == nullptr || length == 0) return std::string();
    const int count = static_cast<int>(length);
    int needed = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string narrow(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, count, &narrow[0], needed, nullptr, nullptr);
    return narrow;
}

std::string Narrow(const WString &text) { return Narrow(text.data(), text.size()); }

std::string GuidText(const GUID &guid)
{
    char text[40];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

const char *ResultCodeName(DWORD code)
{
    switch (code) {
    case ConvertAPISuccess: return "ConvertAPISuccess";
    case ConvertAPINoGuidPointer: return "ConvertAPINoGuidPointer";
    case ConvertAPIGuidNotCreated: return "ConvertAPIGuidNotCreated";
    case ConvertAPINullGuid: return "ConvertAPINullGuid";
    case ConvertAPINoDevmode: return "ConvertAPINoDevmode";
    case ConvertAPITagNotStamped: return "ConvertAPITagNotStamped";
    case ConvertAPITagNotCleared: return "ConvertAPITagNotCleared";
    case ConvertAPIDriverFailed: return "ConvertAPIDriverFailed";
    case ConvertAPINoVersionPointer: return "ConvertAPINoVersionPointer";
    case ConvertAPITicketNotRead: return "ConvertAPITicketNotRead";
    case ConvertAPIOverrideNotSized: return "ConvertAPIOverrideNotSized";
    case ConvertAPIOverrideNotRead: return "ConvertAPIOverrideNotRead";
    case ConvertAPIOverrideNoMemory: return "ConvertAPIOverrideNoMemory";
    case ConvertAPINotOpened: return "ConvertAPINotOpened";
    default: return "unknown";
    }
}

std::string ResultText(DWORD code)
{
    return std::to_string(static_cast<unsigned long>(code)) + " (" + ResultCodeName(code) + ")";
}

bool EqualNoCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string JsonString(const std::string &utf8)
{
    std::string quoted = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': quoted += "\\\""; break;
        case '\\': quoted += "\\\\"; break;
        case '\n': quoted += "\\n"; break;
        case '\r': quoted += "\\r"; break;
        case '\t': quoted += "\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof(escape), "\\u%04x", c);
                quoted += escape;
            } else {
                quoted += static_cast<char>(c);
            }
        }
    }
    return quoted + "\"";
}

}  // namespace convertapi_cli
