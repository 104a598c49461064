#include "registry_tree.h"

#include <cstdio>
#include <cstring>

namespace convertapi_cli {
namespace {

// Key names have at most 255 characters, value names at most 16383.
constexpr DWORD kKeyNameChars = 256;
constexpr DWORD kValueNameChars = 16384;
// Nothing that the library or a driver writes comes near these.
constexpr DWORD kMaxValueBytes = 1u << 20;
constexpr int kMaxDepth = 32;

// Every value of the open key, in its order.
void ReadValues(HKEY key, std::vector<RegistryValue> *values)
{
    std::vector<WCHAR> name(kValueNameChars);
    std::vector<BYTE> data(4096);
    for (DWORD index = 0;;) {
        DWORD nameChars = kValueNameChars;
        DWORD dataBytes = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG status = RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type, data.data(), &dataBytes);
        if (status == ERROR_MORE_DATA && data.size() < kMaxValueBytes) {
            data.resize(data.size() * 4);
            continue;  // the same index again, with more room
        }
        if (status != ERROR_SUCCESS) break;
        RegistryValue value;
        value.name.assign(name.data(), nameChars);
        value.type = type;
        value.data.assign(data.begin(), data.begin() + dataBytes);
        values->push_back(value);
        ++index;
    }
}

int ReadKey(HKEY root, const WString &path, const WString &name, int depth, RegistryKey *out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    out->name = name;
    ReadValues(key, &out->values);
    std::vector<WString> names;
    WCHAR subkey[kKeyNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD chars = kKeyNameChars;
        if (RegEnumKeyExW(key, index, subkey, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(subkey, chars);
    }
    RegCloseKey(key);
    if (depth >= kMaxDepth) return 1;
    for (const WString &child : names) {
        RegistryKey sub;
        if (ReadKey(root, path + TEXT("\\") + child, child, depth + 1, &sub)) out->subkeys.push_back(sub);
    }
    return 1;
}

}  // namespace

int ReadRegistryKey(HKEY root, const WString &path, RegistryKey *key)
{
    const size_t slash = path.find_last_of(TEXT('\\'));
    return ReadKey(root, path, slash == WString::npos ? path : path.substr(slash + 1), 0, key);
}

std::string RegistryTypeName(DWORD type)
{
    switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return "type " + std::to_string(static_cast<unsigned long>(type));
    }
}

std::string RegistryDataText(DWORD type, const std::vector<BYTE> &data)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        WString text;
        for (size_t i = 0; i + 1 < data.size(); i += 2) {
            const WCHAR c = static_cast<WCHAR>(data[i] | (data[i + 1] << 8));
            if (c == 0) break;
            text.push_back(c);
        }
        return Narrow(text);
    }
    if (type == REG_DWORD && data.size() == 4) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), 4);
        return std::to_string(static_cast<unsigned long>(value));
    }
    std::string hex;
    char byte[4];
    for (size_t i = 0; i < data.size(); ++i) {
        std::snprintf(byte, sizeof(byte), "%s%02X", i ? " " : "", data[i]);
        hex += byte;
    }
    return hex;
}

std::string RegistryString(const RegistryValue &value)
{
    return value.type == REG_SZ ? RegistryDataText(value.type, value.data) : std::string();
}

}  // namespace convertapi_cli
