// The eight entry points that the library's client calls, over one
// process-wide ticket session. docs/ticket-library.md describes them.
#include "standins/ticketlib/standin_ticketlib.h"

#include "standins/ticketlib/call_counts.h"
#include "standins/ticketlib/feature_list.h"
#include "standins/ticketlib/ticket_session.h"

namespace {

standin::TicketSession g_session;

}  // namespace

// Nothing to register: the library is reached by path, not as a component.
STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllRegisterServer(void)
{
    standin::CountCall(standin::kCountDllRegisterServer);
    return S_OK;
}

STANDIN_TICKETLIB_EXPORT HRESULT WINAPI DllUnregisterServer(void)
{
    standin::CountCall(standin::kCountDllUnregisterServer);
    return S_OK;
}

// The mode, the client name and the value select nothing in this library.
STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELStartConfig(const WCHAR *ticketPath, LONG, const WCHAR *, LONG)
{
    standin::CountCall(standin::kCountZELStartConfig);
    return g_session.Open(ticketPath);
}

STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEndConfig(void)
{
    standin::CountCall(standin::kCountZELEndConfig);
    return g_session.Close();
}

STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELSetContext(const WCHAR *path)
{
    standin::CountCall(standin::kCountZELSetContext);
    return g_session.SetContext(path);
}

STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumFeatures(const void *parent, WCHAR *list)
{
    standin::CountCall(standin::kCountZELEnumFeatures);
    return g_session.ListFeatures(parent, list);
}

STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELEnumListToken(WCHAR *token, WCHAR *list)
{
    standin::CountCall(standin::kCountZELEnumListToken);
    return standin::TakeListToken(token, list);
}

STANDIN_TICKETLIB_EXPORT LONG WINAPI ZELGet(const WCHAR *name, WCHAR *value)
{
    standin::CountCall(standin::kCountZELGet);
    return g_session.GetValue(name, value);
}
