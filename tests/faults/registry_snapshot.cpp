#include "tests/faults/registry_snapshot.h"

#include <cstdio>
#include <vector>

namespace faults {
namespace {

WString DataText(DWORD type, const BYTE *data, DWORD size)
{
    if (type == REG_SZ) {
        WString text(reinterpret_cast<const WCHAR *>(data), size / sizeof(WCHAR));
        while (!text.empty() && text.back() == 0) text.pop_back();
        return text;
    }
    if (type == REG_DWORD && size == 4) {
        DWORD value = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                      static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
        return Widen(std::to_string(value));
    }
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        char byte[3];
        std::snprintf(byte, sizeof(byte), "%02X", data[i]);
        hex += byte;
    }
    return Widen(hex);
}

void Collect(const WString &absolute, const WString &relative, RegistrySnapshot *snapshot)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, absolute.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    if (!relative.empty()) {
        KeyValues &values = (*snapshot)[relative];
        std::vector<BYTE> data(1 << 20);
        for (DWORD index = 0;; ++index) {
            WCHAR name[16384];
            DWORD nameChars = 16384;
            DWORD type = 0;
            DWORD size = static_cast<DWORD>(data.size());
            if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
                break;
            values[WString(name, nameChars)] = DataText(type, data.data(), size);
        }
    }
    std::vector<WString> children;
    for (DWORD index = 0;; ++index) {
        WCHAR name[512];
        DWORD nameChars = 512;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.emplace_back(name, nameChars);
    }
    RegCloseKey(key);
    for (const WString &child : children)
        Collect(absolute + TEXT("\\") + child, relative.empty() ? child : relative + TEXT("\\") + child, snapshot);
}

}  // namespace

RegistrySnapshot SnapshotBelow(const WString &root)
{
    RegistrySnapshot snapshot;
    Collect(root, WString(), &snapshot);
    return snapshot;
}

std::string Describe(const RegistrySnapshot &snapshot)
{
    if (snapshot.empty()) return "(nothing)";
    std::string text;
    for (const auto &key : snapshot) {
        text += "[" + Narrow(key.first) + "]";
        for (const auto &value : key.second) text += " " + Narrow(value.first) + "=" + Narrow(value.second);
        text += "; ";
    }
    return text;
}

std::string Narrow(const WString &text)
{
    std::string narrow;
    for (WCHAR c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return narrow;
}

WString Widen(const std::string &text)
{
    WString wide;
    for (unsigned char c : text) wide.push_back(static_cast<WCHAR>(c));
    return wide;
}

}  // namespace faults
