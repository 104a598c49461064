/* convertapi: converts printer settings between a ticket file and a DEVMODEW
 * through the printer's driver. The nine exports of convertapi.dll.
 *
 * C and C++. On Windows every export is __stdcall and exported undecorated
 * (ordinals 1 to 9, convertapi.def); link the import library, or load the DLL
 * and take the function pointer types at the end of this header. Call
 * sequences, the registry entries each call leaves and the threading rules are
 * in docs/integration-guide.md. */
#ifndef CONVERTAPI_H
#define CONVERTAPI_H

#ifdef _WIN32
#include <windows.h>
#define CONVERTAPI_CALL __stdcall
#else
#include "hostwin/win32.h"
#define CONVERTAPI_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

#if defined(CONVERTAPI_BUILDING)
#ifdef _WIN32
#define CONVERTAPI_EXPORT
#else
#define CONVERTAPI_EXPORT __attribute__((visibility("default")))
#endif
#else
#define CONVERTAPI_EXPORT
#endif

/* Result codes of the seven exports that return one. No other value is ever
 * returned; the numbers missing here belong to no result. */
#define ConvertAPISuccess 0u           /* the call did all its work */
#define ConvertAPINoGuidPointer 2u     /* InitializeConvertAPI: instanceGuidOut is null */
#define ConvertAPIGuidNotCreated 4u    /* InitializeConvertAPI: no GUID could be created */
#define ConvertAPINullGuid 9u          /* instanceGuid is GUID_NULL */
#define ConvertAPINoDevmode 10u        /* devmode is null */
#define ConvertAPITagNotStamped 12u    /* the DEVMODEW has no free tag block to carry the GUID */
#define ConvertAPITagNotCleared 13u    /* after the driver call no tag block carries the GUID */
#define ConvertAPIDriverFailed 14u     /* the printer driver did not accept the call */
#define ConvertAPINoVersionPointer 16u /* versionOut is null */
#define ConvertAPITicketNotRead 17u    /* ReadTicket: the ticket could not be read into the registry */
#define ConvertAPIOverrideNotSized 18u /* GetConvertAPIVersionEx: the override's size query failed */
#define ConvertAPIOverrideNotRead 19u  /* GetConvertAPIVersionEx: the override could not be read */
#define ConvertAPIOverrideNoMemory 20u /* GetConvertAPIVersionEx: no memory for the override */
#define ConvertAPINotOpened 22u        /* InitializeConvertAPI: the printer or the ticket library cannot be opened */

/* Driver-call flags of ConvertTicketEx and ConvertDevModeEx. */
#define FlagPrinterProperties 1u  /* PrinterProperties: the printer's device settings */
#define FlagDocumentProperties 2u /* DocumentPropertiesW on the caller's DEVMODEW */
#define FlagFromDriverData 4u     /* decide both from the driver data that ReadTicket wrote */

/* The interface version that GetConvertAPIVersion reports. */
#define ConvertAPIVersion 4u

/* Applies the ticket file to devmode through the printer's driver, in one
 * call. ticketManager is the path of the printer maker's ticket library;
 * ticketType is passed to the driver. Reports nothing. */
CONVERTAPI_EXPORT void CONVERTAPI_CALL ConvertTicket(const WCHAR *printerName, const WCHAR *ticketPath,
                                                     DEVMODEW *devmode, const WCHAR *ticketManager,
                                                     DWORD ticketType);
/* Lets the printer's driver write devmode as a ticket file, in one call.
 * Reports nothing. */
CONVERTAPI_EXPORT void CONVERTAPI_CALL ConvertDevmode(const WCHAR *printerName, const WCHAR *ticketPath,
                                                      DEVMODEW *devmode, const WCHAR *ticketManager,
                                                      DWORD ticketType);
/* Binds the process-wide instance to a printer and a ticket library and hands
 * out its GUID (also when the binding fails with 22: end it with
 * KillConvertAPI all the same). 0, 2, 4 or 22. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL InitializeConvertAPI(const WCHAR *printerName, const WCHAR *ticketManager,
                                                             GUID *instanceGuidOut);
/* Reads a ticket into the instance's driver data in the registry. 0, 9 or 17. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ReadTicket(DWORD ticketType, const WCHAR *ticketPath, GUID instanceGuid);
/* Applies the instance's driver data to devmode. 0, 9, 10, 12, 13 or 14. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ConvertTicketEx(DEVMODEW *devmode, GUID instanceGuid, DWORD flags);
/* Lets the printer's driver write devmode as a ticket file through the
 * instance. 0, 9, 10, 12, 13 or 14. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ConvertDevModeEx(const WCHAR *ticketPath, DEVMODEW *devmode,
                                                         GUID instanceGuid, DWORD flags);
/* Ends the instance: withdraws its request and driver data from the registry
 * and releases the printer and the ticket library. 0 or 9. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL KillConvertAPI(GUID instanceGuid);
/* Stores ConvertAPIVersion. 0 or 16. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersion(DWORD *versionOut);
/* Stores the printer's override (printer data "QXConvertAPIVersionOverride")
 * or ConvertAPIVersion; printerName may be null. 0, 16, 18, 19 or 20. */
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersionEx(DWORD *versionOut, const WCHAR *printerName);

/* The exports' types, for a caller that loads convertapi.dll itself
 * (LoadLibraryW and GetProcAddress with the undecorated names). */
typedef void(CONVERTAPI_CALL *ConvertTicketProc)(const WCHAR *printerName, const WCHAR *ticketPath,
                                                  DEVMODEW *devmode, const WCHAR *ticketManager, DWORD ticketType);
typedef void(CONVERTAPI_CALL *ConvertDevmodeProc)(const WCHAR *printerName, const WCHAR *ticketPath,
                                                   DEVMODEW *devmode, const WCHAR *ticketManager, DWORD ticketType);
typedef DWORD(CONVERTAPI_CALL *InitializeConvertAPIProc)(const WCHAR *printerName, const WCHAR *ticketManager,
                                                          GUID *instanceGuidOut);
typedef DWORD(CONVERTAPI_CALL *ReadTicketProc)(DWORD ticketType, const WCHAR *ticketPath, GUID instanceGuid);
typedef DWORD(CONVERTAPI_CALL *ConvertTicketExProc)(DEVMODEW *devmode, GUID instanceGuid, DWORD flags);
typedef DWORD(CONVERTAPI_CALL *ConvertDevModeExProc)(const WCHAR *ticketPath, DEVMODEW *devmode, GUID instanceGuid,
                                                      DWORD flags);
typedef DWORD(CONVERTAPI_CALL *KillConvertAPIProc)(GUID instanceGuid);
typedef DWORD(CONVERTAPI_CALL *GetConvertAPIVersionProc)(DWORD *versionOut);
typedef DWORD(CONVERTAPI_CALL *GetConvertAPIVersionExProc)(DWORD *versionOut, const WCHAR *printerName);

#ifdef __cplusplus
}
#endif
#endif
