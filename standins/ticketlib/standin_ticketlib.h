// The stand-in ticket library's entry points that do something, as its client
// calls them (WINAPI, 32-bit results). The other 47 names are exported too and
// answer 0. Behaviour, context syntax and list format: docs/ticket-library.md.
#pragma once

#include "standins/ticketlib/export.h"

STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllRegisterServer(void);
STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllUnregisterServer(void);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELStartConfig(const WCHAR *ticketPath, LONG mode, const WCHAR *client, LONG value);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEndConfig(void);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELSetContext(const WCHAR *path);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumFeatures(const void *parent, WCHAR *list);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumListToken(WCHAR *token, WCHAR *list);
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELGet(const WCHAR *name, WCHAR *value);
