#include "call_record.h"

#include "snapshot.h"

#include <cstring>

namespace standin_driver {
namespace {

// Calls come in on the caller's thread, one at a time, as the library makes
// them; the record takes no lock.
StandinDriverCall g_calls[STANDIN_DRIVER_MAX_CALLS];
LONG g_count = 0;
LONG g_answer = StandinAnswerOk;

}  // namespace

StandinDriverCall *BeginCall(LONG kind, DWORD mode, const Printer &printer)
{
    StandinDriverCall *call = &g_calls[g_count % STANDIN_DRIVER_MAX_CALLS];
    if (g_count < 0x7FFFFFFF) ++g_count;
    std::memset(call, 0, sizeof(*call));
    call->kind = kind;
    call->mode = mode;
    call->registryTruncated = SnapshotRegistry(call->registry, STANDIN_DRIVER_SNAPSHOT_CHARS) ? 0 : 1;
    SnapshotPrinterData(printer, call->printerData, sizeof(call->printerData) / sizeof(call->printerData[0]));
    return call;
}

LONG CallCount() { return g_count; }

const StandinDriverCall *CallAt(LONG index)
{
    if (index < 0 || index >= g_count || g_count - index > STANDIN_DRIVER_MAX_CALLS) return nullptr;
    return &g_calls[index % STANDIN_DRIVER_MAX_CALLS];
}

void ResetCalls()
{
    g_count = 0;
    g_answer = StandinAnswerOk;
}

LONG Answer() { return g_answer; }

void SetAnswer(LONG answer) { g_answer = answer; }

}  // namespace standin_driver
