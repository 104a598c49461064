// A printer driver for hostwin's spooler tests: it records what the spooler
// handed it and answers as the test planned.
#include "test_driver.h"

#include <cstring>
#include <new>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

TestDriverPlan g_plan = {1, 0, 0, -1};
TestDriverSeen g_seen;

LONG Sheet(PROPSHEETUI_INFO *info, LPARAM lParam, bool document)
{
    g_seen.infoNull = info == nullptr;
    g_seen.lParam = lParam;
    LPARAM header = info ? info->lParamInit : lParam;
    const WCHAR *name = nullptr;
    if (document) {
        g_seen.document = *reinterpret_cast<DOCUMENTPROPERTYHEADER *>(header);
        name = g_seen.document.pszPrinterName;
    } else {
        g_seen.device = *reinterpret_cast<DEVICEPROPERTYHEADER *>(header);
        name = g_seen.device.pszPrinterName;
    }
    std::memset(g_seen.printerName, 0, sizeof(g_seen.printerName));
    for (int i = 0; name && name[i] && i < 63; ++i) g_seen.printerName[i] = name[i];
    if (!info) return g_plan.answer;
    g_seen.info = *info;
    static char page[16]; // stands for a PROPSHEETPAGEW
    for (int i = 0; i < g_plan.nullPages; ++i)
        info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, 0, 0);
    for (int i = 0; i < g_plan.pages && i < 4; ++i)
        g_seen.pageHandles[i] = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                                      reinterpret_cast<LPARAM>(page), 0);
    if (g_plan.setResult >= 0) info->Result = static_cast<ULONG_PTR>(g_plan.setResult);
    return g_plan.answer;
}

} // namespace

EXPORT LONG DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam)
{
    ++g_seen.documentCalls;
    return Sheet(info, lParam, true);
}

EXPORT LONG DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam)
{
    ++g_seen.deviceCalls;
    return Sheet(info, lParam, false);
}

EXPORT void TestDriverSetPlan(const TestDriverPlan *plan)
{
    g_plan = *plan;
    g_seen = TestDriverSeen();
}

EXPORT const TestDriverSeen *TestDriverSeenCalls(void) { return &g_seen; }

// A nothrow allocation made inside a shared module, as the library makes them.
EXPORT void *TestDriverAllocate(size_t size) { return new (std::nothrow) char[size]; }
EXPORT void TestDriverRelease(void *block) { delete[] static_cast<char *>(block); }
