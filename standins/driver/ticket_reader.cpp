#include "ticket_reader.h"

#include "convertapi/common/constants.h"
#include "convertapi/ticketlib/entry_points.h"
#include "standins/common/owned_array.h"
#include "wide_text.h"

namespace standin_driver {
namespace {

constexpr DWORD kListChars = 2048;  // the buffers the library's own walk uses
constexpr DWORD kTokenChars = 256;  // a feature name is at most 255 characters
constexpr DWORD kFirstValueChars = kDriverDataValueChars;
// A ticket file has at most 16 MiB, so no value is longer than this.
constexpr DWORD kLargestValueChars = (1u << 24) + 1;
// The ticket library nests features at most 254 levels deep; a library that
// reports deeper levels is not followed down.
constexpr int kDeepestLevel = 256;
constexpr LONG kStartConfigValue = 2;

// The ticket library learns an output buffer's capacity from this pattern.
void PrepareOutput(WCHAR *buffer, DWORD capacity)
{
    for (DWORD i = 0; i + 1 < capacity; ++i) buffer[i] = static_cast<WCHAR>(0xFFFF);
    buffer[capacity - 1] = 0;
}

template <typename Proc> Proc EntryPoint(HMODULE module, const char *name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void *>(GetProcAddress(module, name)));
}

class LoadedTicketLibrary {
public:
    LoadedTicketLibrary() = default;
    LoadedTicketLibrary(const LoadedTicketLibrary &) = delete;
    LoadedTicketLibrary &operator=(const LoadedTicketLibrary &) = delete;
    // Closes what is open and unloads, on every path.
    ~LoadedTicketLibrary()
    {
        if (open_) endConfig_();
        if (registered_) unregisterServer_();
        if (module_) FreeLibrary(module_);
    }

    int Load(const WCHAR *path)
    {
        module_ = LoadLibraryW(path);
        if (!module_) return 0;
        registerServer_ = EntryPoint<convertapi::RegisterServerProc>(module_, "DllRegisterServer");
        unregisterServer_ = EntryPoint<convertapi::RegisterServerProc>(module_, "DllUnregisterServer");
        startConfig_ = EntryPoint<convertapi::StartConfigProc>(module_, "ZELStartConfig");
        endConfig_ = EntryPoint<convertapi::EndConfigProc>(module_, "ZELEndConfig");
        setContext_ = EntryPoint<convertapi::SetContextProc>(module_, "ZELSetContext");
        enumFeatures_ = EntryPoint<convertapi::EnumFeaturesProc>(module_, "ZELEnumFeatures");
        enumListToken_ = EntryPoint<convertapi::EnumListTokenProc>(module_, "ZELEnumListToken");
        get_ = EntryPoint<convertapi::GetProc>(module_, "ZELGet");
        return registerServer_ && unregisterServer_ && startConfig_ && endConfig_ && setContext_ && enumFeatures_ &&
               enumListToken_ && get_;
    }

    int Open(const WCHAR *ticketPath)
    {
        if (registerServer_() < 0) return 0;
        registered_ = true;
        if (!startConfig_(ticketPath, convertapi::kStartConfigMode, convertapi::kStartConfigClient, kStartConfigValue))
            return 0;
        open_ = true;
        return 1;
    }

    int WalkSection(const WCHAR *section, FeatureStage *features)
    {
        if (!setContext_(section)) return 0;
        return WalkLevel(section, TextLength(section), 1, features);
    }

private:
    // The features below the current context, `path` (the level's joined
    // path from its section). Each feature is entered by its bare name right
    // after its value was read, which names exactly that feature; the level
    // is found again by its joined path afterwards.
    int WalkLevel(const WCHAR *path, size_t pathLength, int depth, FeatureStage *features)
    {
        if (depth > kDeepestLevel) return 0;
        standin::OwnedArray<WCHAR> list;
        if (!list.Allocate(kListChars)) return 0;
        PrepareOutput(list.Data(), kListChars);
        if (!enumFeatures_(nullptr, list.Data())) return 0;
        for (;;) {
            WCHAR token[kTokenChars];
            PrepareOutput(token, kTokenChars);
            if (!enumListToken_(token, list.Data())) return 1;  // the list is exhausted
            if (!ReadValue(token, features)) return 0;
            if (!setContext_(token)) return 0;
            const size_t tokenLength = TextLength(token);
            standin::OwnedArray<WCHAR> child;
            if (!child.Allocate(pathLength + 1 + tokenLength)) return 0;
            TextBuffer childPath(child.Data(), child.Size() + 1);
            if (!childPath.Append(path) || !childPath.AppendChar('/') || !childPath.Append(token)) return 0;
            if (!WalkLevel(child.Data(), childPath.Length(), depth + 1, features)) return 0;
            if (!setContext_(path)) return 0;
        }
    }

    // Reads the value of `name` and stages it. A value too long for the
    // driver is read all the same (in a larger buffer), so that the walk can
    // enter the feature by its name; the stage drops it when it is applied.
    int ReadValue(const WCHAR *name, FeatureStage *features)
    {
        standin::OwnedArray<WCHAR> value;
        for (DWORD capacity = kFirstValueChars;;) {
            if (!value.Allocate(capacity)) return 0;
            PrepareOutput(value.Data(), capacity);
            if (get_(name, value.Data())) return features->Set(name, value.Data());
            if (capacity >= kLargestValueChars) return 0;
            capacity = capacity > kLargestValueChars / 2 ? kLargestValueChars : capacity * 2;
        }
    }

    HMODULE module_ = nullptr;
    bool registered_ = false;
    bool open_ = false;
    convertapi::RegisterServerProc registerServer_ = nullptr;
    convertapi::RegisterServerProc unregisterServer_ = nullptr;
    convertapi::StartConfigProc startConfig_ = nullptr;
    convertapi::EndConfigProc endConfig_ = nullptr;
    convertapi::SetContextProc setContext_ = nullptr;
    convertapi::EnumFeaturesProc enumFeatures_ = nullptr;
    convertapi::EnumListTokenProc enumListToken_ = nullptr;
    convertapi::GetProc get_ = nullptr;
};

}  // namespace

int ReadTicketSection(const WCHAR *libraryPath, const WCHAR *ticketPath, const WCHAR *section,
                      FeatureStage *features)
{
    features->Clear();
    if (!libraryPath || !ticketPath || !section) return 0;
    int read = 0;
    {
        LoadedTicketLibrary library;
        read = library.Load(libraryPath) && library.Open(ticketPath) && library.WalkSection(section, features);
    }
    if (!read) features->Clear();
    return read;
}

}  // namespace standin_driver
