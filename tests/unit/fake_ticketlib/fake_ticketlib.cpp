#include "fake_ticketlib.h"

#include <cstring>

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

fake::State state;
bool initialised = false;

size_t Length(const WCHAR *text)
{
    size_t n = 0;
    while (text[n] != 0) ++n;
    return n;
}

void CopyText(WCHAR *destination, size_t capacity, const WCHAR *source)
{
    size_t n = 0;
    if (source != nullptr)
        for (; n + 1 < capacity && source[n] != 0; ++n) destination[n] = source[n];
    destination[n] = 0;
}

// What a caller's preparation announces: the room the library may use.
size_t PreparedCapacity(const WCHAR *buffer)
{
    if (buffer == nullptr) return 0;
    size_t n = 0;
    while (buffer[n] == static_cast<WCHAR>(0xFFFF)) ++n;
    return buffer[n] == 0 ? n + 1 : 0;
}

void Reset()
{
    std::memset(&state, 0, sizeof(state));
    state.registerResult = 0;
    state.unregisterResult = 0;
    state.startConfigResult = 1;
    state.endConfigResult = 1;
    state.setContextResult = 1;
    state.enumFeaturesResult = 1;
    state.getResult = 1;
    initialised = true;
}

fake::Call &Record(const char *name)
{
    if (!initialised) Reset();
    static fake::Call overflow;
    fake::Call &call = state.callCount < fake::kMaxCalls ? state.calls[state.callCount] : overflow;
    ++state.callCount;
    std::memset(&call, 0, sizeof(call));
    std::strncpy(call.name, name, sizeof(call.name) - 1);
    return call;
}

}  // namespace

FAKE_EXPORT fake::State *WINAPI FakeTicketLibState(void)
{
    if (!initialised) Reset();
    return &state;
}

FAKE_EXPORT void WINAPI FakeTicketLibReset(void) { Reset(); }

// The eight entry points the client calls.

FAKE_EXPORT HRESULT WINAPI DllRegisterServer(void)
{
    Record("DllRegisterServer");
    return state.registerResult;
}

FAKE_EXPORT HRESULT WINAPI DllUnregisterServer(void)
{
    Record("DllUnregisterServer");
    return state.unregisterResult;
}

FAKE_EXPORT LONG WINAPI ZELStartConfig(const WCHAR *ticketPath, LONG mode, const WCHAR *client, LONG value)
{
    fake::Call &call = Record("ZELStartConfig");
    CopyText(call.text, fake::kTextCapacity, ticketPath);
    call.mode = mode;
    CopyText(call.client, sizeof(call.client) / sizeof(WCHAR), client);
    call.value = value;
    return state.startConfigResult;
}

FAKE_EXPORT LONG WINAPI ZELEndConfig(void)
{
    Record("ZELEndConfig");
    return state.endConfigResult;
}

FAKE_EXPORT LONG WINAPI ZELSetContext(const WCHAR *path)
{
    fake::Call &call = Record("ZELSetContext");
    CopyText(call.text, fake::kTextCapacity, path);
    if (state.failContextPath[0] != 0 && path != nullptr && Length(path) == Length(state.failContextPath) &&
        std::memcmp(path, state.failContextPath, Length(path) * sizeof(WCHAR)) == 0)
        return 0;
    return state.setContextResult;
}

FAKE_EXPORT LONG WINAPI ZELEnumFeatures(const void *parent, WCHAR *list)
{
    fake::Call &call = Record("ZELEnumFeatures");
    call.parent = parent;
    call.output = list;
    call.preparedCapacity = PreparedCapacity(list);
    if (state.enumFeaturesResult == 0) return 0;
    if (call.preparedCapacity == 0) return 0;  // no room announced
    CopyText(list, call.preparedCapacity, state.features);
    return state.enumFeaturesResult;
}

// Takes the first ';'-separated name off the list and moves the rest to its
// front, so that the list buffer itself tracks the position.
FAKE_EXPORT LONG WINAPI ZELEnumListToken(WCHAR *token, WCHAR *list)
{
    fake::Call &call = Record("ZELEnumListToken");
    call.output = token;
    call.list = list;
    call.preparedCapacity = PreparedCapacity(token);
    if (list == nullptr || list[0] == 0 || call.preparedCapacity == 0) return 0;
    size_t end = 0;
    while (list[end] != 0 && list[end] != u';') ++end;
    size_t n = 0;
    for (; n + 1 < call.preparedCapacity && n < end; ++n) token[n] = list[n];
    token[n] = 0;
    size_t rest = list[end] == 0 ? end : end + 1;
    std::memmove(list, list + rest, (Length(list + rest) + 1) * sizeof(WCHAR));
    return 1;
}

FAKE_EXPORT LONG WINAPI ZELGet(const WCHAR *name, WCHAR *value)
{
    fake::Call &call = Record("ZELGet");
    CopyText(call.text, fake::kTextCapacity, name);
    call.output = value;
    call.preparedCapacity = PreparedCapacity(value);
    if (state.getResult == 0 || call.preparedCapacity == 0) return 0;
    CopyText(value, call.preparedCapacity, state.value);
    return state.getResult;
}

// The names that are looked up but never called: present, and recorded
// should anyone call one after all.
#define FAKE_UNCALLED(name)                 \
    FAKE_EXPORT LONG WINAPI name(void)      \
    {                                       \
        Record(#name);                      \
        return 0;                           \
    }

FAKE_UNCALLED(ZELGetLastCOMError)
FAKE_UNCALLED(ZELCharToWide)
FAKE_UNCALLED(ZELWideToChar)
FAKE_UNCALLED(loadDOM)
FAKE_UNCALLED(loadDOMLocal)
FAKE_UNCALLED(saveDOM)
FAKE_UNCALLED(saveDOMLocal)
FAKE_UNCALLED(unloadDOM)
FAKE_UNCALLED(ZELStartExport)
FAKE_UNCALLED(ZELEndExport)
FAKE_UNCALLED(killServer)
FAKE_UNCALLED(startServer)
FAKE_UNCALLED(ZELConstraintCheck)
FAKE_UNCALLED(ZELCreateChildElement)
FAKE_UNCALLED(ZELCountChildElements)
FAKE_UNCALLED(ZELRemoveElement)
FAKE_UNCALLED(ZELRestoreDefaults)
FAKE_UNCALLED(ZELSetContextPRV)
FAKE_UNCALLED(ZELSetContextRelative)
FAKE_UNCALLED(ZELSetFlatContext)
FAKE_UNCALLED(ZELFlatContextToContext)
FAKE_UNCALLED(ZELGetContext)
FAKE_UNCALLED(ZELGetContextPRV)
FAKE_UNCALLED(ZELGetFlatContext)
FAKE_UNCALLED(ZELContextToFlatContext)
FAKE_UNCALLED(ZELSet)
FAKE_UNCALLED(ZELSetAttribute)
FAKE_UNCALLED(ZELSetFeatureAttribute)
FAKE_UNCALLED(ZELSetOptionAttribute)
FAKE_UNCALLED(ZELSetText)
FAKE_UNCALLED(ZELSetExport)
#ifndef FAKE_TICKETLIB_WITHOUT_SET_LIST_SEPARATOR
FAKE_UNCALLED(ZELSetListSeparator)
#endif
FAKE_UNCALLED(ZELGetText)
FAKE_UNCALLED(ZELGetPRV)
FAKE_UNCALLED(ZELGetAttributes)
FAKE_UNCALLED(ZELGetFeatureAttributes)
FAKE_UNCALLED(ZELGetNamedAttribute)
FAKE_UNCALLED(ZELGetNamedFeatureAttribute)
FAKE_UNCALLED(ZELGetOptionAttributes)
FAKE_UNCALLED(ZELGetNamedOptionAttribute)
FAKE_UNCALLED(ZELGetListSeparator)
FAKE_UNCALLED(ZELEnumAttributes)
FAKE_UNCALLED(ZELEnumFeatureAttributes)
FAKE_UNCALLED(ZELEnumOptions)
FAKE_UNCALLED(ZELEnumOptionAttributes)
FAKE_UNCALLED(ZELEnumChildElements)
FAKE_UNCALLED(ZELEnumChildElementText)
