// The platform as the stand-in driver sees it: the library's platform header,
// plus what a printer driver needs on Windows that the SDK headers there lack
// (mingw declares neither DOCUMENTPROPERTYHEADER nor DEVICEPROPERTYHEADER;
// hostwin declares both with the same layout).
#pragma once

#include "convertapi/common/platform.h"

#ifdef _WIN32
#include <prsht.h>
#include <compstui.h>

typedef struct _DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

typedef struct _DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

// Exported through standin_driver.def.
#define STANDIN_DRIVER_EXPORT extern "C"
#else
#define STANDIN_DRIVER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifndef GDI_ERROR
#define GDI_ERROR 0xFFFFFFFFL
#endif
