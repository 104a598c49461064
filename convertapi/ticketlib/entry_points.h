// The ticket library's entry points: the 55 names the library looks up, and
// the signatures of the eight it calls. All use the Windows standard calling
// convention and take and return 32-bit values or pointers.
#pragma once

#include "convertapi/common/platform.h"

namespace convertapi {

typedef HRESULT(WINAPI *RegisterServerProc)(void);
typedef LONG(WINAPI *StartConfigProc)(const WCHAR *ticketPath, LONG mode, const WCHAR *client, LONG value);
typedef LONG(WINAPI *EndConfigProc)(void);
typedef LONG(WINAPI *SetContextProc)(const WCHAR *path);
typedef LONG(WINAPI *EnumFeaturesProc)(const void *parent, WCHAR *list);
typedef LONG(WINAPI *EnumListTokenProc)(WCHAR *token, WCHAR *list);
typedef LONG(WINAPI *GetProc)(const WCHAR *name, WCHAR *value);

constexpr int kEntryPointCount = 55;

// Slot order; every name must be exported by the library.
enum EntryPointSlot {
    kDllRegisterServer, kDllUnregisterServer, kZELGetLastCOMError, kZELCharToWide, kZELWideToChar,
    kloadDOM, kloadDOMLocal, ksaveDOM, ksaveDOMLocal, kunloadDOM,
    kZELStartConfig, kZELStartExport, kZELEndConfig, kZELEndExport, kkillServer,
    kstartServer, kZELConstraintCheck, kZELCreateChildElement, kZELCountChildElements, kZELRemoveElement,
    kZELRestoreDefaults, kZELSetContext, kZELSetContextPRV, kZELSetContextRelative, kZELSetFlatContext,
    kZELFlatContextToContext, kZELGetContext, kZELGetContextPRV, kZELGetFlatContext, kZELContextToFlatContext,
    kZELSet, kZELSetAttribute, kZELSetFeatureAttribute, kZELSetOptionAttribute, kZELSetText,
    kZELSetExport, kZELSetListSeparator, kZELGet, kZELGetText, kZELGetPRV,
    kZELGetAttributes, kZELGetFeatureAttributes, kZELGetNamedAttribute, kZELGetNamedFeatureAttribute,
    kZELGetOptionAttributes, kZELGetNamedOptionAttribute, kZELGetListSeparator, kZELEnumAttributes,
    kZELEnumFeatureAttributes, kZELEnumFeatures, kZELEnumOptions, kZELEnumOptionAttributes, kZELEnumListToken,
    kZELEnumChildElements, kZELEnumChildElementText,
};

extern const char *const kEntryPointNames[kEntryPointCount];

}  // namespace convertapi
