#include "convertapi/ticketlib/ticket_library.h"

#include "convertapi/common/bounded_string.h"
#include "convertapi/common/constants.h"

#include <new>

namespace convertapi {

const char *const kEntryPointNames[kEntryPointCount] = {
    "DllRegisterServer",
    "DllUnregisterServer",
    "ZELGetLastCOMError",
    "ZELCharToWide",
    "ZELWideToChar",
    "loadDOM",
    "loadDOMLocal",
    "saveDOM",
    "saveDOMLocal",
    "unloadDOM",
    "ZELStartConfig",
    "ZELStartExport",
    "ZELEndConfig",
    "ZELEndExport",
    "killServer",
    "startServer",
    "ZELConstraintCheck",
    "ZELCreateChildElement",
    "ZELCountChildElements",
    "ZELRemoveElement",
    "ZELRestoreDefaults",
    "ZELSetContext",
    "ZELSetContextPRV",
    "ZELSetContextRelative",
    "ZELSetFlatContext",
    "ZELFlatContextToContext",
    "ZELGetContext",
    "ZELGetContextPRV",
    "ZELGetFlatContext",
    "ZELContextToFlatContext",
    "ZELSet",
    "ZELSetAttribute",
    "ZELSetFeatureAttribute",
    "ZELSetOptionAttribute",
    "ZELSetText",
    "ZELSetExport",
    "ZELSetListSeparator",
    "ZELGet",
    "ZELGetText",
    "ZELGetPRV",
    "ZELGetAttributes",
    "ZELGetFeatureAttributes",
    "ZELGetNamedAttribute",
    "ZELGetNamedFeatureAttribute",
    "ZELGetOptionAttributes",
    "ZELGetNamedOptionAttribute",
    "ZELGetListSeparator",
    "ZELEnumAttributes",
    "ZELEnumFeatureAttributes",
    "ZELEnumFeatures",
    "ZELEnumOptions",
    "ZELEnumOptionAttributes",
    "ZELEnumListToken",
    "ZELEnumChildElements",
    "ZELEnumChildElementText",
};

TicketLibrary::TicketLibrary()
    : startConfigValue(2),
      module(nullptr),
      libraryPath(nullptr),
      printerName(nullptr),
      contextPath(nullptr),
      featureList(nullptr),
      contextStack(nullptr),
      contextStackSize(0),
      contextStackCapacity(0),
      entryPoints()
{
}

TicketLibrary::~TicketLibrary()
{
    Close();
    delete[] contextStack;
    contextStack = nullptr;
    contextStackCapacity = 0;
}

int TicketLibrary::Open(HANDLE printer, const WCHAR *printerNameText, const WCHAR *libraryPathText)
{
    if (printer == nullptr) return 0;
    if (printerNameText == nullptr) return 0;
    if (!StoreString(&printerName, printerNameText)) return 0;
    if (!StoreString(&libraryPath, libraryPathText)) return 0;

    // A second Open must not leak the module of the first one, nor keep slots
    // that point into it.
    if (module != nullptr) {
        FreeLibrary(module);
        module = nullptr;
        for (FARPROC &slot : entryPoints) slot = nullptr;
    }
    module = LoadLibraryW(libraryPath);
    if (module == nullptr) return 0;
    if (!ResolveEntryPoints()) return 0;

    EmptyContextStack();
    delete[] contextPath;
    contextPath = nullptr;
    delete[] featureList;
    featureList = nullptr;
    return 1;
}

int TicketLibrary::BeginTicket(const WCHAR *ticketPath)
{
    if (ticketPath == nullptr) return 0;

    RegisterServerProc registerServer = EntryPoint<RegisterServerProc>(kDllRegisterServer);
    if (registerServer == nullptr) return 0;
    if (FAILED(registerServer())) return 0;

    StartConfigProc startConfig = EntryPoint<StartConfigProc>(kZELStartConfig);
    if (startConfig == nullptr) return 0;
    if (startConfig(ticketPath, kStartConfigMode, kStartConfigClient, startConfigValue) == 0) return 0;
    return 1;
}

int TicketLibrary::EndTicket()
{
    EndConfigProc endConfig = EntryPoint<EndConfigProc>(kZELEndConfig);
    if (printerName == nullptr || endConfig == nullptr) return 0;
    endConfig();  // its answer does not decide anything: the server is unregistered regardless

    RegisterServerProc unregisterServer = EntryPoint<RegisterServerProc>(kDllUnregisterServer);
    if (unregisterServer == nullptr) return 0;
    if (FAILED(unregisterServer())) return 0;
    return 1;
}

int TicketLibrary::Close()
{
    delete[] libraryPath;
    libraryPath = nullptr;
    if (module != nullptr) {
        FreeLibrary(module);
        module = nullptr;
    }
    // The slots pointed into the module just unloaded.
    for (FARPROC &slot : entryPoints) slot = nullptr;
    delete[] contextPath;
    contextPath = nullptr;
    delete[] featureList;
    featureList = nullptr;
    delete[] printerName;
    printerName = nullptr;
    EmptyContextStack();
    return 1;
}

int TicketLibrary::StoreString(WCHAR **field, const WCHAR *text)
{
    if (field == nullptr || text == nullptr) return 0;

    // The copy is made before the old string goes, so that `text` may be the
    // field's own string; on any failure the field ends up empty all the same.
    WCHAR *copy = nullptr;
    size_t length = 0;
    if (SUCCEEDED(BoundedLength(text, kStoredStringLimit, &length))) {
        copy = new (std::nothrow) WCHAR[length + 1]();
        if (copy != nullptr && FAILED(BoundedCopy(copy, length + 1, text))) {
            delete[] copy;
            copy = nullptr;
        }
    }
    delete[] *field;
    *field = copy;
    return copy != nullptr ? 1 : 0;
}

int TicketLibrary::PrepareOutputBuffer(WCHAR *buffer, size_t capacity)
{
    // A capacity of 0 has no room even for the terminating zero.
    if (buffer == nullptr || capacity == 0) return 0;
    for (size_t i = 0; i + 1 < capacity; ++i) buffer[i] = static_cast<WCHAR>(0xFFFF);
    buffer[capacity - 1] = 0;
    return 1;
}

int TicketLibrary::ResolveEntryPoints()
{
    if (module == nullptr) return 0;
    for (int slot = 0; slot < kEntryPointCount; ++slot)
        entryPoints[slot] = GetProcAddress(module, kEntryPointNames[slot]);
    for (FARPROC entryPoint : entryPoints)
        if (entryPoint == nullptr) return 0;
    return 1;
}

}  // namespace convertapi
