// hostwin: the Win32 subset that convertapi, its stand-ins and its tests use,
// for hosts that are not Windows. Names, types, constants, structure layouts
// and error codes are those of Windows, so the same source builds on both.
// Text is UTF-16 (WCHAR is char16_t; TEXT("x") is u"x").
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#error "hostwin stands in for Win32 on other hosts only"
#endif

#if defined(HOSTWIN_BUILDING)
#define HOSTWIN_API extern "C" __attribute__((visibility("default")))
#else
#define HOSTWIN_API extern "C"
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY
#define FAR
#define CONST const
#define TEXT(s) u##s

// --- Basic types --------------------------------------------------------
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef char16_t WCHAR;
typedef int32_t HRESULT;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef LONG_PTR LPARAM;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD REGSAM;
typedef void VOID;
typedef void *PVOID;
typedef void *LPVOID;
typedef const void *LPCVOID;

typedef BYTE *LPBYTE, *PBYTE;
typedef DWORD *LPDWORD, *PDWORD;
typedef LONG *PLONG, *LPLONG;
typedef BOOL *LPBOOL, *PBOOL;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef WCHAR *LPWSTR, *PWSTR;
typedef const WCHAR *LPCWSTR, *PCWSTR;
typedef WCHAR *LPOLESTR;
typedef const WCHAR *LPCOLESTR;

typedef void *HANDLE;
typedef HANDLE *LPHANDLE, *PHANDLE;
struct HKEY__;
typedef HKEY__ *HKEY;
typedef HKEY *PHKEY;
struct HINSTANCE__;
typedef HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
struct HWND__;
typedef HWND__ *HWND;
typedef HANDLE HLOCAL;
typedef INT_PTR (*FARPROC)();

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

// --- Errors and HRESULTs ------------------------------------------------
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NOACCESS 998L
#define ERROR_BADKEY 1010L
#define ERROR_KEY_DELETED 1018L
#define ERROR_INVALID_PRINTER_NAME 1801L
#define ERROR_PRINTER_ALREADY_EXISTS 1802L

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_FAIL ((HRESULT)0x80004005)
#define RPC_S_UUID_LOCAL_ONLY ((HRESULT)1824)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

// --- GUID ---------------------------------------------------------------
typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID &REFGUID;
typedef GUID *LPGUID;
static_assert(sizeof(GUID) == 16, "GUID is 16 bytes");

HOSTWIN_API const GUID GUID_NULL;
inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    const BYTE *x = reinterpret_cast<const BYTE *>(&a);
    const BYTE *y = reinterpret_cast<const BYTE *>(&b);
    for (int i = 0; i < 16; ++i)
        if (x[i] != y[i]) return false;
    return true;
}
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }

// --- Registry -----------------------------------------------------------
#define HKEY_CLASSES_ROOT ((HKEY)(ULONG_PTR)((LONG)0x80000000))
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)((LONG)0x80000001))
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))

#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_CREATE_LINK 0x0020
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
#define REG_QWORD 11

#define REG_OPTION_NON_VOLATILE 0x0
#define REG_OPTION_VOLATILE 0x1
#define REG_CREATED_NEW_KEY 0x1
#define REG_OPENED_EXISTING_KEY 0x2

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

HOSTWIN_API LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                      PHKEY phkResult);
HOSTWIN_API LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass,
                                        DWORD dwOptions, REGSAM samDesired,
                                        const LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                        LPDWORD lpdwDisposition);
HOSTWIN_API LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                                       const BYTE *lpData, DWORD cbData);
HOSTWIN_API LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                                         LPBYTE lpData, LPDWORD lpcbData);
HOSTWIN_API LONG WINAPI RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, LPDWORD lpcchValueName,
                                      LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);
HOSTWIN_API LONG WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName,
                                      LPDWORD lpReserved, LPWSTR lpClass, LPDWORD lpcchClass,
                                      void *lpftLastWriteTime);
HOSTWIN_API LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
HOSTWIN_API LONG WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey);
HOSTWIN_API LONG WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey);
HOSTWIN_API LONG WINAPI RegCloseKey(HKEY hKey);

// --- DEVMODEW (220 bytes, Windows layout) --------------------------------
#define CCHDEVICENAME 32
#define CCHFORMNAME 32

typedef struct _POINTL {
    LONG x;
    LONG y;
} POINTL;

typedef struct _devicemodeW {
    WCHAR dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    union {
        struct {
            SHORT dmOrientation;
            SHORT dmPaperSize;
            SHORT dmPaperLength;
            SHORT dmPaperWidth;
            SHORT dmScale;
            SHORT dmCopies;
            SHORT dmDefaultSource;
            SHORT dmPrintQuality;
        };
        struct {
            POINTL dmPosition;
            DWORD dmDisplayOrientation;
            DWORD dmDisplayFixedOutput;
        };
    };
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    WCHAR dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    union {
        DWORD dmDisplayFlags;
        DWORD dmNup;
    };
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
} DEVMODEW, *PDEVMODEW, *LPDEVMODEW;
static_assert(sizeof(DEVMODEW) == 220, "DEVMODEW has the Windows layout");

#define DM_SPECVERSION 0x0401
#define DM_ORIENTATION 0x00000001
#define DM_PAPERSIZE 0x00000002
#define DM_PAPERLENGTH 0x00000004
#define DM_PAPERWIDTH 0x00000008
#define DM_SCALE 0x00000010
#define DM_COPIES 0x00000100
#define DM_DEFAULTSOURCE 0x00000200
#define DM_PRINTQUALITY 0x00000400
#define DM_COLOR 0x00000800
#define DM_DUPLEX 0x00001000
#define DM_YRESOLUTION 0x00002000
#define DM_TTOPTION 0x00004000
#define DM_COLLATE 0x00008000
#define DM_FORMNAME 0x00010000
#define DM_NUP 0x00000040
#define DM_MEDIATYPE 0x02000000

#define DMORIENT_PORTRAIT 1
#define DMORIENT_LANDSCAPE 2
#define DMPAPER_LETTER 1
#define DMPAPER_LEGAL 5
#define DMPAPER_A3 8
#define DMPAPER_A4 9
#define DMPAPER_A5 11
#define DMCOLOR_MONOCHROME 1
#define DMCOLOR_COLOR 2
#define DMDUP_SIMPLEX 1
#define DMDUP_VERTICAL 2
#define DMDUP_HORIZONTAL 3
#define DMCOLLATE_FALSE 0
#define DMCOLLATE_TRUE 1
#define DMRES_DRAFT (-1)
#define DMRES_LOW (-2)
#define DMRES_MEDIUM (-3)
#define DMRES_HIGH (-4)

// DocumentProperties modes
#define DM_UPDATE 1
#define DM_COPY 2
#define DM_PROMPT 4
#define DM_MODIFY 8
#define DM_OUT_BUFFER DM_COPY
#define DM_IN_PROMPT DM_PROMPT
#define DM_IN_BUFFER DM_MODIFY

#define IDOK 1
#define IDCANCEL 2

// DeviceCapabilities indices used by drivers
#define DC_FIELDS 1
#define DC_PAPERS 2
#define DC_SIZE 8
#define DC_EXTRA 9
#define DC_VERSION 10
#define DC_DRIVER 11
#define DC_COPIES 18
#define DC_ORIENTATION 17

// --- Print spooler ------------------------------------------------------
#define STANDARD_RIGHTS_REQUIRED 0x000F0000
#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define PRINTER_ALL_ACCESS (STANDARD_RIGHTS_REQUIRED | PRINTER_ACCESS_ADMINISTER | PRINTER_ACCESS_USE)

typedef struct _PRINTER_DEFAULTSW {
    LPWSTR pDatatype;
    LPDEVMODEW pDevMode;
    DWORD DesiredAccess;
} PRINTER_DEFAULTSW, *PPRINTER_DEFAULTSW, *LPPRINTER_DEFAULTSW;

HOSTWIN_API BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault);
HOSTWIN_API BOOL WINAPI ClosePrinter(HANDLE hPrinter);
HOSTWIN_API DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType, LPBYTE pData,
                                         DWORD nSize, LPDWORD pcbNeeded);
HOSTWIN_API DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type, LPBYTE pData,
                                         DWORD cbData);
HOSTWIN_API DWORD WINAPI DeletePrinterDataW(HANDLE hPrinter, LPWSTR pValueName);
HOSTWIN_API BOOL WINAPI PrinterProperties(HWND hWnd, HANDLE hPrinter);
HOSTWIN_API LONG WINAPI DocumentPropertiesW(HWND hWnd, HANDLE hPrinter, LPWSTR pDeviceName,
                                            PDEVMODEW pDevModeOutput, PDEVMODEW pDevModeInput, DWORD fMode);

// --- Printer driver interface (what the spooler calls in a driver module) --
#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3
#define CPSUI_CANCEL 0
#define CPSUI_OK 1
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define ERR_CPSUI_GETLASTERROR (-1)
#define ERR_CPSUI_NO_PROPSHEETPAGE (-8)

typedef LONG_PTR(CALLBACK *PFNCOMPROPSHEET)(HANDLE hComPropSheet, UINT Function, LPARAM lParam1, LPARAM lParam2);

typedef struct _PROPSHEETUI_INFO {
    WORD cbSize;
    WORD Version;
    WORD Flags;
    WORD Reason;
    HANDLE hComPropSheet;
    PFNCOMPROPSHEET pfnComPropSheet;
    LPARAM lParamInit;
    ULONG_PTR UserData;
    ULONG_PTR Result;
} PROPSHEETUI_INFO, *PPROPSHEETUI_INFO;

// Declared by drivers themselves on Windows; the layouts match.
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

// --- COM ----------------------------------------------------------------
HOSTWIN_API HRESULT WINAPI CoCreateGuid(GUID *pguid);
HOSTWIN_API int WINAPI StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);

// --- Kernel -------------------------------------------------------------
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
#define CP_ACP 0
#define CP_UTF8 65001

HOSTWIN_API HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
HOSTWIN_API FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
HOSTWIN_API BOOL WINAPI FreeLibrary(HMODULE hLibModule);
HOSTWIN_API HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HOSTWIN_API HLOCAL WINAPI LocalFree(HLOCAL hMem);
HOSTWIN_API int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                           LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                           LPBOOL lpUsedDefaultChar);
HOSTWIN_API int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                           LPWSTR lpWideCharStr, int cchWideChar);
HOSTWIN_API DWORD WINAPI GetCurrentProcessId(void);
HOSTWIN_API void WINAPI OutputDebugStringW(LPCWSTR lpOutputString);
HOSTWIN_API DWORD WINAPI GetLastError(void);
HOSTWIN_API void WINAPI SetLastError(DWORD dwErrCode);
