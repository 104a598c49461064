// Walking an open ticket: the library's current context, the feature list
// under it, and the stack of saved walk states around each descent.
#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"
#include "convertapi/ticketlib/ticket_library.h"

#include <new>

namespace convertapi {
namespace {

constexpr size_t kJoinLimit = kKeyPathCapacity;  // a joined frame path holds at most 255 characters
constexpr size_t kFirstStackCapacity = 8;
const WCHAR kPathSeparator[] = TEXT("/");

}  // namespace

void TicketLibrary::EmptyContextStack()
{
    for (size_t i = 0; i < contextStackSize; ++i) {
        delete[] contextStack[i].path;
        delete[] contextStack[i].featureList;
        contextStack[i].path = nullptr;
        contextStack[i].featureList = nullptr;
    }
    contextStackSize = 0;
}

int TicketLibrary::Navigate(const WCHAR *path)
{
    if (path == nullptr) return 0;
    SetContextProc setContext = EntryPoint<SetContextProc>(kZELSetContext);
    if (setContext == nullptr) return 0;
    if (setContext(path) == 0) return 0;

    // Copy first: `path` may be contextPath itself (PopContext).
    WCHAR *copy = nullptr;
    if (!StoreString(&copy, path)) return 0;
    delete[] contextPath;
    contextPath = copy;
    return 1;
}

int TicketLibrary::LoadFeatureList(const void *parent)
{
    // Whatever happens, the earlier list is done with: a failed load leaves no
    // list, so a stale one is never enumerated.
    delete[] featureList;
    featureList = nullptr;

    EnumFeaturesProc enumFeatures = EntryPoint<EnumFeaturesProc>(kZELEnumFeatures);
    if (enumFeatures == nullptr) return 0;
    WCHAR *list = new (std::nothrow) WCHAR[kFeatureListCapacity];
    if (list == nullptr) return 0;
    PrepareOutputBuffer(list, kFeatureListCapacity);
    if (enumFeatures(parent, list) == 0) {
        delete[] list;
        return 0;
    }
    featureList = list;
    return 1;
}

int TicketLibrary::NextListToken(WCHAR *token, size_t capacity)
{
    if (featureList == nullptr || token == nullptr) return 0;
    if (!PrepareOutputBuffer(token, capacity)) return 0;
    EnumListTokenProc enumListToken = EntryPoint<EnumListTokenProc>(kZELEnumListToken);
    if (enumListToken == nullptr) return 0;
    return enumListToken(token, featureList) != 0 ? 1 : 0;
}

int TicketLibrary::GetValue(const WCHAR *name, WCHAR *value, size_t capacity)
{
    GetProc get = EntryPoint<GetProc>(kZELGet);
    if (name == nullptr || value == nullptr || get == nullptr) return 0;
    if (!PrepareOutputBuffer(value, capacity)) return 0;
    return get(name, value) != 0 ? 1 : 0;
}

int TicketLibrary::PushContext()
{
    // Room for the new frame first, so that no later failure has anything to undo.
    if (contextStackSize == contextStackCapacity) {
        size_t grown = contextStackCapacity == 0 ? kFirstStackCapacity : contextStackCapacity * 2;
        ContextFrame *frames = new (std::nothrow) ContextFrame[grown]();
        if (frames == nullptr) return 0;
        for (size_t i = 0; i < contextStackSize; ++i) frames[i] = contextStack[i];
        delete[] contextStack;
        contextStack = frames;
        contextStackCapacity = grown;
    }

    const ContextFrame *top = contextStackSize != 0 ? &contextStack[contextStackSize - 1] : nullptr;
    WCHAR *framePath = contextPath;
    if (top != nullptr && top->path != nullptr) {
        size_t topLength = 0, contextLength = 0, separatorLength = 0;
        if (FAILED(BoundedLength(top->path, kJoinLimit, &topLength))) return 0;
        if (FAILED(BoundedLength(contextPath, kJoinLimit, &contextLength))) return 0;
        if (FAILED(BoundedLength(kPathSeparator, kJoinLimit, &separatorLength))) return 0;
        size_t size = topLength + separatorLength + contextLength + 1;
        WCHAR *joined = new (std::nothrow) WCHAR[size]();
        if (joined == nullptr) return 0;
        // The joined text must stay below kJoinLimit; the buffer is never
        // smaller than what the appends may write.
        size_t capacity = size < kJoinLimit ? size : kJoinLimit;
        if (FAILED(BoundedCat(joined, capacity, top->path)) || FAILED(BoundedCat(joined, capacity, kPathSeparator)) ||
            FAILED(BoundedCat(joined, capacity, contextPath))) {
            delete[] joined;
            return 0;
        }
        delete[] contextPath;
        framePath = joined;
    }

    ContextFrame &frame = contextStack[contextStackSize++];
    frame.path = framePath;
    frame.featureList = featureList;
    contextPath = nullptr;
    featureList = nullptr;
    return 1;
}

int TicketLibrary::PopContext()
{
    if (contextStackSize == 0) return 0;
    delete[] contextPath;
    delete[] featureList;
    ContextFrame &frame = contextStack[--contextStackSize];
    contextPath = frame.path;
    featureList = frame.featureList;
    frame.path = nullptr;
    frame.featureList = nullptr;
    return Navigate(contextPath);
}

}  // namespace convertapi
