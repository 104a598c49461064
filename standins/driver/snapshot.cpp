#include "snapshot.h"

#include "convertapi/common/constants.h"
#include "wide_text.h"

namespace standin_driver {
namespace {

constexpr int kMaxDepth = 32;
constexpr DWORD kNameChars = 256;
constexpr DWORD kDataBytes = 4096;

class KeyHandle {
public:
    ~KeyHandle()
    {
        if (key_) RegCloseKey(key_);
    }
    int Open(HKEY parent, const WCHAR *name)
    {
        return RegOpenKeyExW(parent, name, 0, KEY_READ, &key_) == ERROR_SUCCESS ? 1 : 0;
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

int AppendData(TextBuffer *out, DWORD type, const BYTE *data, DWORD size)
{
    if (type == REG_SZ) {
        const WCHAR *text = reinterpret_cast<const WCHAR *>(data);
        size_t chars = size / sizeof(WCHAR);
        while (chars > 0 && text[chars - 1] == 0) --chars;
        return out->AppendCount(text, chars);
    }
    if (type == REG_DWORD && size == 4) {
        DWORD value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
        return out->AppendUnsigned(value);
    }
    for (DWORD i = 0; i < size; ++i)
        if (!out->AppendHexByte(data[i])) return 0;
    return 1;
}

// One line per value of `key`, then the same for each subkey. Returns 0 once
// the text is full.
int Walk(HKEY key, const WCHAR *path, TextBuffer *out, int depth)
{
    WCHAR name[kNameChars];
    BYTE data[kDataBytes + sizeof(WCHAR)];
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = kNameChars;
        DWORD type = 0;
        DWORD size = kDataBytes;
        LONG status = RegEnumValueW(key, index, name, &nameChars, nullptr, &type, data, &size);
        if (status == ERROR_MORE_DATA) continue;  // too large for a line of the record
        if (status != ERROR_SUCCESS) break;
        name[nameChars < kNameChars ? nameChars : kNameChars - 1] = 0;
        size_t mark = out->Length();
        if (!(out->Append(path) && out->AppendChar('|') && out->Append(name) && out->AppendChar('|') &&
              AppendData(out, type, data, size) && out->AppendChar('\n'))) {
            out->Truncate(mark);
            return 0;
        }
    }
    if (depth >= kMaxDepth) return 1;
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = kNameChars;
        LONG status = RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        name[nameChars < kNameChars ? nameChars : kNameChars - 1] = 0;
        WCHAR childPath[kNameChars * 2];
        TextBuffer child(childPath, kNameChars * 2);
        if (path[0] != 0 && !(child.Append(path) && child.AppendChar('\\'))) continue;
        if (!child.Append(name)) continue;
        KeyHandle sub;
        if (!sub.Open(key, name)) continue;
        if (!Walk(sub.Get(), childPath, out, depth + 1)) return 0;
    }
    return 1;
}

}  // namespace

int SnapshotRegistry(WCHAR *text, size_t capacity)
{
    TextBuffer out(text, capacity);
    WCHAR vendor[64];
    TextBuffer vendorPath(vendor, 64);
    vendorPath.Append(convertapi::kVendorKeyPath);
    vendorPath.Truncate(vendorPath.Length() - 1);  // without the closing backslash
    KeyHandle root;
    if (!root.Open(HKEY_CURRENT_USER, vendor)) return 1;
    return Walk(root.Get(), TEXT(""), &out, 0);
}

void SnapshotPrinterData(const Printer &printer, WCHAR *text, size_t capacity)
{
    TextBuffer out(text, capacity);
    DWORD type = 0;
    DWORD size = 0;
    BYTE data[4] = {};
    if (printer.Read(convertapi::kPrinterDataAlwaysExport, &type, data, sizeof(data), &size)) {
        size_t mark = out.Length();
        if (!(out.Append(convertapi::kPrinterDataAlwaysExport) && out.AppendChar('=') &&
              AppendData(&out, size == 4 ? REG_DWORD : REG_BINARY, data, size) && out.AppendChar('\n')))
            out.Truncate(mark);
    }
    WCHAR location[400];
    if (ReadExportLocation(printer, location, 400)) {
        size_t mark = out.Length();
        if (!(out.Append(convertapi::kPrinterDataExportTicketLocation) && out.AppendChar('=') && out.Append(location) &&
              out.AppendChar('\n')))
            out.Truncate(mark);
    }
}

}  // namespace standin_driver
