// The test driver's controls, reached with GetProcAddress.
#pragma once

#include "hostwin/win32.h"

struct TestDriverPlan {
    LONG answer;        // what the entry points return
    int pages;          // pages added through pfnComPropSheet during INIT
    int nullPages;      // CPSFUNC_ADD_PROPSHEETPAGEW calls with a null page
    LONG setResult;     // >= 0: stored in info->Result; < 0: Result left alone
};

struct TestDriverSeen {
    int documentCalls;  // DrvDocumentPropertySheets
    int deviceCalls;    // DrvDevicePropertySheets
    bool infoNull;      // the last call had no PROPSHEETUI_INFO
    PROPSHEETUI_INFO info;            // as it came in
    LPARAM lParam;                    // second argument of the last call
    DOCUMENTPROPERTYHEADER document;  // from lParam (no info) or lParamInit
    DEVICEPROPERTYHEADER device;      // from lParamInit
    WCHAR printerName[64];
    LONG_PTR pageHandles[4];          // what pfnComPropSheet answered, per add
};

typedef void (*TestDriverSetPlanProc)(const TestDriverPlan *plan);
typedef const TestDriverSeen *(*TestDriverSeenProc)(void);
typedef void *(*TestDriverAllocateProc)(size_t size);
typedef void (*TestDriverReleaseProc)(void *block);
