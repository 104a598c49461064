#include "convertapi/regutil/driver_data_cleaner.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"

namespace convertapi {
namespace {

constexpr SIZE_T kEnumBlockBytes = 512;
constexpr DWORD kEnumNameChars = 256;
constexpr DWORD kEnumDataBytes = 256;

// processKeyPath + "\" + subkey; a path that does not fit is never used cut short.
int BuildSubkeyPath(WCHAR (&path)[kKeyPathCapacity], const WCHAR *processKeyPath, const WCHAR *subkey)
{
    path[0] = 0;
    if (processKeyPath == nullptr || subkey == nullptr) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, processKeyPath))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, TEXT("\\")))) return 0;
    if (FAILED(BoundedCat(path, kKeyPathCapacity, subkey))) return 0;
    return 1;
}

}  // namespace

DriverDataCleaner::~DriverDataCleaner() {}

void DriverDataCleaner::DeleteDriverDataKeys(const WCHAR *processKeyPath)
{
    // Children before parents: RegDeleteKeyW refuses a key with subkeys.
    DeleteValuesAndKey(kDriverDataPhysical, processKeyPath);
    DeleteValuesAndKey(kDriverDataOptItems, processKeyPath);
    DeleteValuesAndKey(kDriverDataDevModeItems, processKeyPath);
    DeleteKeyOnly(kDriverDataPrinting, processKeyPath);
    DeleteKeyOnly(kDriverDataRoot, processKeyPath);
}

void DriverDataCleaner::DeleteValuesAndKey(const WCHAR *subkey, const WCHAR *processKeyPath)
{
    WCHAR *name = static_cast<WCHAR *>(LocalAlloc(LMEM_ZEROINIT, kEnumBlockBytes));
    BYTE *data = static_cast<BYTE *>(LocalAlloc(LMEM_ZEROINIT, kEnumBlockBytes));

    WCHAR path[kKeyPathCapacity];
    if (!BuildSubkeyPath(path, processKeyPath, subkey)) {
        if (name != nullptr) LocalFree(name);
        if (data != nullptr) LocalFree(data);
        return;
    }

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) key = nullptr;

    if (key != nullptr && name != nullptr && data != nullptr) {
        // Always index 0: each deletion moves the next value to the front. A
        // value that cannot be read or deleted ends the loop, since it would
        // come back at index 0 for ever.
        for (;;) {
            DWORD nameChars = kEnumNameChars;
            DWORD dataBytes = kEnumDataBytes;
            DWORD type = 0;
            if (RegEnumValueW(key, 0, name, &nameChars, nullptr, &type, data, &dataBytes) != ERROR_SUCCESS) break;
            if (RegDeleteValueW(key, name) != ERROR_SUCCESS) break;
        }
    }

    if (name != nullptr) LocalFree(name);
    if (data != nullptr) LocalFree(data);

    // Deleting the key takes any values the loop could not remove with it.
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
    if (key != nullptr) RegCloseKey(key);
}

void DriverDataCleaner::DeleteKeyOnly(const WCHAR *subkey, const WCHAR *processKeyPath)
{
    WCHAR path[kKeyPathCapacity];
    if (!BuildSubkeyPath(path, processKeyPath, subkey)) return;
    RegDeleteKeyW(HKEY_CURRENT_USER, path);
}

}  // namespace convertapi
