// How often each entry point that does something was called, for tests
// (StandinTicketLibCallCount in control.h).
#pragma once

namespace standin {

enum CountedEntryPoint {
    kCountDllRegisterServer,
    kCountDllUnregisterServer,
    kCountZELStartConfig,
    kCountZELEndConfig,
    kCountZELSetContext,
    kCountZELEnumFeatures,
    kCountZELEnumListToken,
    kCountZELGet,
    kCountedEntryPointCount,
};

void CountCall(CountedEntryPoint entryPoint);

}  // namespace standin
