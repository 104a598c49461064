// A scriptable ticket library for the unit tests: exports the 55 names that
// TicketLibrary resolves, answers the eight it calls as the test sets, and
// records every call. Tests reach its state through the extra export
// "FakeTicketLibState".
#pragma once

#include "convertapi/common/platform.h"

#include <cstddef>

namespace fake {

constexpr int kMaxCalls = 64;
constexpr int kTextCapacity = 300;  // holds a 260-character path and its zero
constexpr int kListCapacity = 2048;
constexpr int kValueCapacity = 256;

struct Call {
    char name[32];
    WCHAR text[kTextCapacity];  // the first wide-string argument (path, context, name), truncated
    LONG mode;                  // ZELStartConfig
    WCHAR client[32];           // ZELStartConfig
    LONG value;                 // ZELStartConfig
    const void *parent;         // ZELEnumFeatures
    WCHAR *output;              // the output buffer handed in
    WCHAR *list;                // ZELEnumListToken: the list buffer handed in
    // Capacity that the output buffer announced on entry: the count of
    // leading 0xFFFF characters plus one when a zero follows them, else 0.
    size_t preparedCapacity;
};

struct State {
    // Answers.
    HRESULT registerResult;
    HRESULT unregisterResult;
    LONG startConfigResult;
    LONG endConfigResult;
    LONG setContextResult;
    WCHAR failContextPath[kTextCapacity];  // ZELSetContext answers 0 for exactly this path
    LONG enumFeaturesResult;
    WCHAR features[kListCapacity];  // written by ZELEnumFeatures: names separated by ';'
    LONG getResult;
    WCHAR value[kValueCapacity];  // written by ZELGet
    // Record.
    int callCount;
    Call calls[kMaxCalls];
};

// Exported as "FakeTicketLibState"; the first call (and "FakeTicketLibReset")
// sets every answer to success with an empty list and an empty value.
typedef State *(WINAPI *StateProc)(void);
typedef void(WINAPI *ResetProc)(void);

}  // namespace fake
