// TicketLibrary: the client of the printer maker's ticket library. Loads it by
// path, resolves its 55 entry points, opens and closes one ticket at a time
// and walks the open ticket with a stack of saved walk states.
#pragma once

#include "convertapi/common/platform.h"
#include "convertapi/ticketlib/context_frame.h"
#include "convertapi/ticketlib/entry_points.h"

#include <cstddef>

namespace convertapi {

class TicketLibrary {
public:
    TicketLibrary();
    ~TicketLibrary();
    TicketLibrary(const TicketLibrary &) = delete;
    TicketLibrary &operator=(const TicketLibrary &) = delete;

    // Loading, open and close.
    int Open(HANDLE printer, const WCHAR *printerName, const WCHAR *libraryPath);
    int BeginTicket(const WCHAR *ticketPath);
    int EndTicket();
    int Close();

    // Navigation of the open ticket.
    int Navigate(const WCHAR *path);
    int LoadFeatureList(const void *parent);
    int NextListToken(WCHAR *token, size_t capacity);
    int GetValue(const WCHAR *name, WCHAR *value, size_t capacity);
    int PushContext();
    int PopContext();

    // Internal steps, public so that tests can reach them.
    static int StoreString(WCHAR **field, const WCHAR *text);
    static int PrepareOutputBuffer(WCHAR *buffer, size_t capacity);
    int ResolveEntryPoints();

    // Fields, in their documented order.
    LONG startConfigValue;
    HMODULE module;
    WCHAR *libraryPath;
    WCHAR *printerName;
    WCHAR *contextPath;
    WCHAR *featureList;
    // Growable stack of saved walk states: `contextStackSize` frames in use
    // out of `contextStackCapacity` allocated.
    ContextFrame *contextStack;
    size_t contextStackSize;
    size_t contextStackCapacity;
    FARPROC entryPoints[kEntryPointCount];

private:
    void EmptyContextStack();
    template <typename Proc> Proc EntryPoint(EntryPointSlot slot) const
    {
        // Through void (*)(void), the generic function pointer type, so that
        // the compiler accepts the change of signature.
        return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(entryPoints[slot]));
    }
};

}  // namespace convertapi
