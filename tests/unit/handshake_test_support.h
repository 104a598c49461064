// Registry and spooler probes shared by the handshake, driver-call and
// transfer tests: they read what the library left behind independently of it.
#pragma once

#include "convertapi/common/platform.h"
#include "hostwin/control.h"

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace handshake_test {

using WString = std::u16string;

inline WString Widen(const std::string &text)
{
    WString wide;
    for (unsigned char c : text) wide.push_back(static_cast<WCHAR>(c));
    return wide;
}

inline std::string Narrow(const WString &text)
{
    std::string narrow;
    for (WCHAR c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

inline const GUID kInstance = {0x0123ABCD, 0x4567, 0x89EF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
inline const GUID kNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

inline WString ProcessIdText() { return Widen(std::to_string(GetCurrentProcessId())); }

// The process key as the driver expects it, spelled out here rather than
// taken from the library.
inline WString ProcessKey(const GUID &guid)
{
    WString path = TEXT("Software\\Varnholt\\QXProcID");
    if (guid == kNull) return path + ProcessIdText();
    char text[64];
    std::snprintf(text, sizeof(text), "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return path + Widen(text);
}

inline const WString kFallbackKey = TEXT("Software\\Varnholt\\QXProcIDFallback");

inline bool KeyExists(const WString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline bool CreateKey(const WString &path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline bool SetValue(const WString &path, const WString &name, DWORD type, const void *data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

inline bool SetString(const WString &path, const WString &name, const WString &text)
{
    return SetValue(path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR)));
}

struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Value &other) const { return type == other.type && data == other.data; }
};

inline Value StringValue(const WString &text)
{
    Value value;
    value.type = REG_SZ;
    for (WCHAR c : text) {
        value.data.push_back(static_cast<BYTE>(c));
        value.data.push_back(static_cast<BYTE>(c >> 8));
    }
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

inline Value DwordValue(DWORD number)
{
    Value value;
    value.type = REG_DWORD;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<BYTE>(number >> (8 * i)));
    return value;
}

struct NamedValue {
    WString name;
    Value value;
    bool operator==(const NamedValue &other) const { return name == other.name && value == other.value; }
};

// Every value of a key in registry order; empty when the key is missing.
inline std::vector<NamedValue> Values(const WString &path)
{
    std::vector<NamedValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD index = 0;; ++index) {
        WCHAR name[16384];
        BYTE data[8192];
        DWORD nameChars = 16384;
        DWORD dataBytes = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, data, &dataBytes) != ERROR_SUCCESS) break;
        NamedValue value;
        value.name.assign(name, nameChars);
        value.value.type = type;
        value.value.data.assign(data, data + dataBytes);
        values.push_back(value);
    }
    RegCloseKey(key);
    return values;
}

inline void PrintTo(const NamedValue &value, std::ostream *out)
{
    *out << Narrow(value.name) << " type " << value.value.type << " (" << value.value.data.size() << " bytes)";
}

// A printer's data value; type 0 and no bytes when it is missing.
inline Value PrinterData(const WCHAR *printerName, const WCHAR *name, bool *found = nullptr)
{
    Value value;
    if (found) *found = false;
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW defaults = {nullptr, nullptr, 0};
    if (!OpenPrinterW(const_cast<LPWSTR>(printerName), &printer, &defaults)) return value;
    DWORD needed = 0;
    DWORD type = 0;
    DWORD status = GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, nullptr, 0, &needed);
    if (status == ERROR_MORE_DATA || status == ERROR_SUCCESS) {
        value.data.resize(needed);
        DWORD got = 0;
        if (GetPrinterDataW(printer, const_cast<LPWSTR>(name), &type, value.data.data(), needed, &got) ==
            ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(got);
            if (found) *found = true;
        } else {
            value.data.clear();
        }
    }
    ClosePrinter(printer);
    return value;
}

inline std::vector<WString> DebugLines()
{
    std::vector<WString> lines;
    for (const std::u16string &line : HostWinDebugOutput()) lines.push_back(line);
    return lines;
}

}  // namespace handshake_test
