#include "bench/floor_calls.h"

#include "convertapi/common/constants.h"

#include <cstdio>

namespace bench {
namespace {

using namespace convertapi;

template <typename Proc> Proc Entry(const TicketLibraryEntries &entries, EntryPointSlot slot)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(entries.slots[slot]));
}

HKEY OpenOrCreateKey(const WCHAR *path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) return key;
    key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

void WriteValue(const WCHAR *path, const WCHAR *name, DWORD type, const BYTE *data, DWORD size)
{
    HKEY key = OpenOrCreateKey(path);
    if (key == nullptr) return;
    RegSetValueExW(key, name, 0, type, data, size);
    RegCloseKey(key);
}

void WriteString(const WCHAR *path, const WCHAR *name, const WCHAR *text)
{
    size_t length = 0;
    while (text[length] != 0) ++length;
    WriteValue(path, name, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(2 * length + 2));
}

void WriteDword(const WCHAR *path, const WCHAR *name, DWORD value)
{
    const BYTE data[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                          static_cast<BYTE>(value >> 24)};
    WriteValue(path, name, REG_DWORD, data, sizeof(data));
}

// The cleaner's loop: always the value at index 0, until none is left.
void DeleteValuesAndKey(const WString &path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) key = nullptr;
    if (key != nullptr) {
        WCHAR name[256];
        BYTE data[512];
        for (;;) {
            DWORD nameChars = 256;
            DWORD dataBytes = 256;
            DWORD type = 0;
            if (RegEnumValueW(key, 0, name, &nameChars, nullptr, &type, data, &dataBytes) != ERROR_SUCCESS) break;
            if (RegDeleteValueW(key, name) != ERROR_SUCCESS) break;
        }
    }
    RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    if (key != nullptr) RegCloseKey(key);
}

WString Join(const WString &key, const WCHAR *subkey) { return key + TEXT("\\") + subkey; }

}  // namespace

bool LoadTicketLibrary(const WCHAR *path, TicketLibraryEntries *entries)
{
    entries->module = LoadLibraryW(path);
    if (entries->module == nullptr) return false;
    for (int slot = 0; slot < kEntryPointCount; ++slot)
        entries->slots[slot] = GetProcAddress(entries->module, kEntryPointNames[slot]);
    return true;
}

void FreeTicketLibrary(TicketLibraryEntries *entries)
{
    if (entries->module != nullptr) FreeLibrary(entries->module);
    entries->module = nullptr;
}

WalkPlan::WalkPlan(const Ticket &ticket, const WString &processKey)
{
    const RequestKeys keys(processKey);
    // Every generated name is outside the DEVMODE items, so all Printing
    // features go to OptItems.
    Walk(kSectionPrinting, ticket.printing, keys.optItems, 0);
    Walk(kSectionPhysical, ticket.physical, keys.physical, 0);
}

WalkPlan::~WalkPlan()
{
    for (WString *text : texts_) delete text;
}

const WCHAR *WalkPlan::Keep(const WString &text)
{
    texts_.push_back(new WString(text));
    return texts_.back()->c_str();
}

void WalkPlan::Walk(const WCHAR *context, const std::vector<Feature> &features, const WString &keyPath, int level)
{
    if (level + 1 > levels_) levels_ = level + 1;
    calls_.push_back({WalkCall::kSetContext, level, Keep(context)});
    contextPath_ = context;
    calls_.push_back({WalkCall::kEnumFeatures, level, nullptr});
    const WCHAR *key = Keep(keyPath);
    for (const Feature &feature : features) {
        calls_.push_back({WalkCall::kNextToken, level, nullptr});
        calls_.push_back({WalkCall::kGetValue, level, nullptr});
        calls_.push_back({WalkCall::kWriteValue, level, key});
        // The library saves its context path, joined to the one saved above
        // it, descends, and comes back to what it saved.
        WString saved = stack_.empty() ? contextPath_ : stack_.back() + TEXT("/") + contextPath_;
        stack_.push_back(saved);
        Walk(feature.name.c_str(), feature.children, keyPath, level + 1);
        contextPath_ = stack_.back();
        stack_.pop_back();
        calls_.push_back({WalkCall::kSetContext, level, Keep(contextPath_)});
    }
    calls_.push_back({WalkCall::kLastToken, level, nullptr});
}

RequestKeys::RequestKeys(const WString &processKey)
    : process(processKey),
      fallback(WString(kVendorKeyPath) + kFallbackKeyName),
      physical(Join(processKey, kDriverDataPhysical)),
      printing(Join(processKey, kDriverDataPrinting)),
      optItems(Join(processKey, kDriverDataOptItems)),
      devModeItems(Join(processKey, kDriverDataDevModeItems)),
      driverData(Join(processKey, kDriverDataRoot))
{
}

WString ProcessKeyForProcess()
{
    return WString(kVendorKeyPath) + kProcessKeyPrefix + Widen(std::to_string(GetCurrentProcessId()));
}

WString ProcessKeyForGuid(const GUID &guid)
{
    char text[40];
    std::snprintf(text, sizeof(text), "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return WString(kVendorKeyPath) + kProcessKeyPrefix + Widen(text);
}

void FloorPublish(const RequestKeys &keys, const RequestText &request)
{
    const WCHAR *process = keys.process.c_str();
    WriteDword(process, kValueDisableDPSExtension, 1);
    WriteString(process, kValueTicketManager, request.ticketManager);
    WriteString(process, kValueTicketType, request.ticketType);
    WriteString(process, kValuePrinterName, request.printerName);
    WriteString(process, kValueTicketPath, request.ticketPath);
    WriteString(process, kValueProcessingCalvex, kValueTrue);
    WriteDword(keys.fallback.c_str(), kValueProcessId, GetCurrentProcessId());
}

void FloorWithdraw(const RequestKeys &keys)
{
    HKEY process = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keys.process.c_str(), 0, KEY_ALL_ACCESS, &process) != ERROR_SUCCESS)
        process = nullptr;
    if (process != nullptr) {
        RegDeleteValueW(process, kValueTicketManager);
        RegDeleteValueW(process, kValueTicketPath);
        RegDeleteValueW(process, kValuePrinterName);
        RegDeleteValueW(process, kValueTicketType);
        RegDeleteValueW(process, kValueDisableDPSExtension);
    }
    DeleteValuesAndKey(keys.physical);
    DeleteValuesAndKey(keys.optItems);
    DeleteValuesAndKey(keys.devModeItems);
    RegDeleteKeyW(HKEY_CURRENT_USER, keys.printing.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, keys.driverData.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, keys.process.c_str());
    if (process != nullptr) {
        RegDeleteValueW(process, kValueProcessingCalvex);
        RegCloseKey(process);
    }
    HKEY fallback = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keys.fallback.c_str(), 0, KEY_ALL_ACCESS, &fallback) != ERROR_SUCCESS)
        fallback = nullptr;
    RegDeleteKeyW(HKEY_CURRENT_USER, keys.fallback.c_str());
    if (fallback != nullptr) {
        RegDeleteValueW(fallback, kValueProcessId);
        RegCloseKey(fallback);
    }
}

WalkBuffers::WalkBuffers(int levels)
    : lists_(static_cast<size_t>(levels) * kFeatureListCapacity),
      tokens_(static_cast<size_t>(levels) * kText),
      values_(static_cast<size_t>(levels) * kText)
{
}

void PrepareOutput(WCHAR *buffer, size_t capacity)
{
    for (size_t i = 0; i + 1 < capacity; ++i) buffer[i] = static_cast<WCHAR>(0xFFFF);
    buffer[capacity - 1] = 0;
}

void FloorTransfer(const TicketLibraryEntries &entries, const WCHAR *ticketPath, const WalkPlan &plan,
                   WalkBuffers &buffers)
{
    Entry<RegisterServerProc>(entries, kDllRegisterServer)();
    Entry<StartConfigProc>(entries, kZELStartConfig)(ticketPath, kStartConfigMode, kStartConfigClient, 2);
    const SetContextProc setContext = Entry<SetContextProc>(entries, kZELSetContext);
    const EnumFeaturesProc enumFeatures = Entry<EnumFeaturesProc>(entries, kZELEnumFeatures);
    const EnumListTokenProc enumListToken = Entry<EnumListTokenProc>(entries, kZELEnumListToken);
    const GetProc get = Entry<GetProc>(entries, kZELGet);
    for (const WalkCall &call : plan.Calls()) {
        switch (call.kind) {
        case WalkCall::kSetContext:
            setContext(call.text);
            break;
        case WalkCall::kEnumFeatures:
            PrepareOutput(buffers.List(call.level), kFeatureListCapacity);
            enumFeatures(nullptr, buffers.List(call.level));
            break;
        case WalkCall::kNextToken:
        case WalkCall::kLastToken:
            PrepareOutput(buffers.Token(call.level), WalkBuffers::kText);
            enumListToken(buffers.Token(call.level), buffers.List(call.level));
            break;
        case WalkCall::kGetValue:
            PrepareOutput(buffers.Value(call.level), WalkBuffers::kText);
            get(buffers.Token(call.level), buffers.Value(call.level));
            break;
        case WalkCall::kWriteValue:
            WriteString(call.text, buffers.Token(call.level), buffers.Value(call.level));
            break;
        }
    }
    Entry<EndConfigProc>(entries, kZELEndConfig)();
    Entry<RegisterServerProc>(entries, kDllUnregisterServer)();
}

int FloorKeyExists(const WCHAR *path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    RegCloseKey(key);
    return 1;
}

}  // namespace bench
