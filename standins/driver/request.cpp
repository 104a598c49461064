#include "request.h"

#include "convertapi/common/constants.h"
#include "wide_text.h"

namespace standin_driver {
namespace {

constexpr DWORD kNameChars = kDriverDataNameChars;    // a feature name is at most 255 characters
constexpr DWORD kValueChars = kDriverDataValueChars;  // no longer text fits the private settings anyway

class RegistryKey {
public:
    ~RegistryKey()
    {
        if (key_) RegCloseKey(key_);
    }
    int Open(const WCHAR *path)
    {
        return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key_) == ERROR_SUCCESS ? 1 : 0;
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Reads a REG_SZ value into `text` (terminated, `capacity` characters).
int ReadString(HKEY key, const WCHAR *name, WCHAR *text, DWORD capacity)
{
    if (capacity == 0) return 0;
    DWORD type = 0;
    DWORD bytes = (capacity - 1) * sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &bytes) != ERROR_SUCCESS)
        return 0;
    if (type != REG_SZ) return 0;
    text[bytes / sizeof(WCHAR)] = 0;
    return 1;
}

bool ValueIsTrue(HKEY key, const WCHAR *name)
{
    WCHAR text[16];
    return ReadString(key, name, text, 16) && TextEqualNoCase(text, convertapi::kValueTrue);
}

// Fills `request` from the process key `path` if it holds a request.
bool ReadRequest(const WCHAR *path, Request *request)
{
    TextBuffer key(request->processKey, 256);
    key.Append(path);
    RegistryKey process;
    if (!process.Open(path)) return false;
    if (!ValueIsTrue(process.Get(), convertapi::kValueProcessingCalvex)) return false;
    request->exportMode = ValueIsTrue(process.Get(), convertapi::kValueProcessingConvertDevmode);
    return true;
}

int BuildProcessKey(const WCHAR *id, WCHAR *path)
{
    TextBuffer text(path, 256);
    return text.Append(convertapi::kVendorKeyPath) && text.Append(convertapi::kProcessKeyPrefix) && text.Append(id);
}

bool SubKeyExists(const WCHAR *processKey, const WCHAR *subKey)
{
    WCHAR path[256];
    TextBuffer text(path, 256);
    RegistryKey key;
    return text.Append(processKey) && text.AppendChar('\\') && text.Append(subKey) && key.Open(path);
}

}  // namespace

void FindRequest(const GUID *tagSlot, Request *request)
{
    *request = Request();
    WCHAR path[256];
    if (tagSlot && !IsEqualGUID(*tagSlot, convertapi::kNullGuid)) {
        WCHAR id[64];
        if (StringFromGUID2(*tagSlot, id, 64) > 0 && BuildProcessKey(id, path) && ReadRequest(path, request)) {
            request->source = RequestFromTag;
            return;
        }
    }
    // The GUID names no live request (or there is no tag): the fallback key
    // names the process whose request stands.
    WCHAR fallback[256];
    TextBuffer fallbackPath(fallback, 256);
    if (!fallbackPath.Append(convertapi::kVendorKeyPath) || !fallbackPath.Append(convertapi::kFallbackKeyName)) return;
    RegistryKey key;
    if (!key.Open(fallback)) return;
    DWORD type = 0;
    DWORD processId = 0;
    DWORD bytes = sizeof(processId);
    if (RegQueryValueExW(key.Get(), convertapi::kValueProcessId, nullptr, &type, reinterpret_cast<BYTE *>(&processId),
                         &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(processId))
        return;
    WCHAR id[16];
    TextBuffer idText(id, 16);
    if (!idText.AppendUnsigned(processId) || !BuildProcessKey(id, path)) return;
    if (ReadRequest(path, request)) request->source = RequestFromFallback;
}

bool HasDriverData(const WCHAR *processKey)
{
    return SubKeyExists(processKey, convertapi::kDriverDataPhysical) ||
           SubKeyExists(processKey, convertapi::kDriverDataPrinting);
}

int ReadTicketReference(const WCHAR *processKey, WCHAR *ticketManager, WCHAR *ticketPath, DWORD capacity)
{
    RegistryKey key;
    if (!key.Open(processKey)) return 0;
    return ReadString(key.Get(), convertapi::kValueTicketManager, ticketManager, capacity) && ticketManager[0] != 0 &&
           ReadString(key.Get(), convertapi::kValueTicketPath, ticketPath, capacity) && ticketPath[0] != 0;
}

DWORD VisitDriverData(const WCHAR *processKey, const WCHAR *subKey, ValueVisitor visit, void *context,
                      DWORD *notVisited)
{
    DWORD visited = 0;
    DWORD skipped = 0;
    WCHAR path[256];
    TextBuffer pathText(path, 256);
    RegistryKey key;
    if (pathText.Append(processKey) && pathText.AppendChar('\\') && pathText.Append(subKey) && key.Open(path)) {
        WCHAR name[kNameChars];
        WCHAR value[kValueChars + 1];
        for (DWORD index = 0;; ++index) {
            DWORD nameChars = kNameChars;
            DWORD type = 0;
            DWORD bytes = kValueChars * sizeof(WCHAR);
            LONG status = RegEnumValueW(key.Get(), index, name, &nameChars, nullptr, &type,
                                        reinterpret_cast<BYTE *>(value), &bytes);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status == ERROR_MORE_DATA) {
                ++skipped;
                continue;
            }
            if (status != ERROR_SUCCESS) break;
            if (type != REG_SZ) {
                ++skipped;
                continue;
            }
            name[nameChars < kNameChars ? nameChars : kNameChars - 1] = 0;
            value[bytes / sizeof(WCHAR)] = 0;
            if (visit(context, name, value)) ++visited;
            else ++skipped;
        }
    }
    if (notVisited) *notVisited = skipped;
    return visited;
}

}  // namespace standin_driver
