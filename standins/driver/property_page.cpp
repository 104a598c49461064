#include "property_page.h"

namespace standin_driver {

#ifdef _WIN32

namespace {

HINSTANCE g_module = nullptr;

// Shown only where there is a desktop: the driver has nothing to ask, so
// the page closes its sheet at once with the call's answer.
INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG) return FALSE;
    const PROPSHEETPAGEW *sheetPage = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
    PostMessageW(GetParent(page), PSM_PRESSBUTTON, sheetPage && sheetPage->lParam ? PSBTN_CANCEL : PSBTN_OK, 0);
    return TRUE;
}

// An empty dialog: no menu, the default class, no title.
struct PageTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

}  // namespace

int AddPropertyPage(PROPSHEETUI_INFO *info, bool cancel)
{
    static PageTemplate pageTemplate = {{WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, 100, 50}, 0, 0, 0};
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT;
    page.hInstance = g_module;
    page.pResource = &pageTemplate.dialog;
    page.pfnDlgProc = PageProc;
    page.lParam = cancel ? 1 : 0;
    return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0) > 0
               ? 1
               : 0;
}

}  // namespace standin_driver

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) standin_driver::g_module = instance;
    return TRUE;
}

#else

int AddPropertyPage(PROPSHEETUI_INFO *info, bool)
{
    // The host's sheet only counts pages.
    static int page;
    return info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0) > 0
               ? 1
               : 0;
}

}  // namespace standin_driver

#endif
