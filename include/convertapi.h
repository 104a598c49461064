/* convertapi: converts printer settings between a ticket file and a DEVMODEW
 * through the printer's driver. The nine exports of convertapi.dll. */
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

/* Result codes of the seven exports that return one. */
#define ConvertAPISuccess 0u
#define ConvertAPINoGuidPointer 2u
#define ConvertAPIGuidNotCreated 4u
#define ConvertAPINullGuid 9u
#define ConvertAPINoDevmode 10u
#define ConvertAPITagNotStamped 12u
#define ConvertAPITagNotCleared 13u
#define ConvertAPIDriverFailed 14u
#define ConvertAPINoVersionPointer 16u
#define ConvertAPITicketNotRead 17u
#define ConvertAPIOverrideNotSized 18u
#define ConvertAPIOverrideNotRead 19u
#define ConvertAPIOverrideNoMemory 20u
#define ConvertAPINotOpened 22u

/* Driver-call flags of ConvertTicketEx and ConvertDevModeEx. */
#define FlagPrinterProperties 1u
#define FlagDocumentProperties 2u
#define FlagFromDriverData 4u

/* The interface version that GetConvertAPIVersion reports. */
#define ConvertAPIVersion 4u

CONVERTAPI_EXPORT void CONVERTAPI_CALL ConvertTicket(const WCHAR *printerName, const WCHAR *ticketPath,
                                                     DEVMODEW *devmode, const WCHAR *ticketManager,
                                                     DWORD ticketType);
CONVERTAPI_EXPORT void CONVERTAPI_CALL ConvertDevmode(const WCHAR *printerName, const WCHAR *ticketPath,
                                                      DEVMODEW *devmode, const WCHAR *ticketManager,
                                                      DWORD ticketType);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL InitializeConvertAPI(const WCHAR *printerName, const WCHAR *ticketManager,
                                                             GUID *instanceGuidOut);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ReadTicket(DWORD ticketType, const WCHAR *ticketPath, GUID instanceGuid);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ConvertTicketEx(DEVMODEW *devmode, GUID instanceGuid, DWORD flags);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL ConvertDevModeEx(const WCHAR *ticketPath, DEVMODEW *devmode,
                                                         GUID instanceGuid, DWORD flags);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL KillConvertAPI(GUID instanceGuid);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersion(DWORD *versionOut);
CONVERTAPI_EXPORT DWORD CONVERTAPI_CALL GetConvertAPIVersionEx(DWORD *versionOut, const WCHAR *printerName);

#ifdef __cplusplus
}
#endif
#endif
