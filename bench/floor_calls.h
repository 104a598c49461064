// The floor of a conversion: the registry, spooler and ticket-library calls
// that a conversion of a given ticket cannot do without, with the arguments
// the library passes, made directly. Everything that can be known before the
// conversion (key paths, the context paths of the walk) is worked out before
// the clock runs, so what is timed is the calls alone.
#pragma once

#include "bench/ticket_generator.h"
#include "convertapi/common/constants.h"
#include "convertapi/ticketlib/entry_points.h"

#include <vector>

namespace bench {

// The ticket library, loaded and resolved as the library does it: all 55
// names looked up, eight of them called.
struct TicketLibraryEntries {
    HMODULE module = nullptr;
    FARPROC slots[convertapi::kEntryPointCount] = {};
};
bool LoadTicketLibrary(const WCHAR *path, TicketLibraryEntries *entries);
void FreeTicketLibrary(TicketLibraryEntries *entries);

// One call of the ticket walk. `level` picks the buffers of the nesting level
// (each level of the library's walk has its own list, token and value);
// `text` is the context path of kSetContext and the key path of kWriteValue.
struct WalkCall {
    enum Kind { kSetContext, kEnumFeatures, kNextToken, kLastToken, kGetValue, kWriteValue } kind;
    int level;
    const WCHAR *text;
};

// The walk of one ticket as the library makes it: the Printing section, then
// the Physical one, depth first, descending into every feature and coming
// back with the joined context paths that the library saves on its stack.
class WalkPlan {
public:
    WalkPlan(const Ticket &ticket, const WString &processKey);
    const std::vector<WalkCall> &Calls() const { return calls_; }
    int Levels() const { return levels_; }

private:
    void Walk(const WCHAR *context, const std::vector<Feature> &features, const WString &keyPath, int level);
    const WCHAR *Keep(const WString &text);

    std::vector<WalkCall> calls_;
    std::vector<WString *> texts_;  // owned; stable addresses for `calls_`
    std::vector<WString> stack_;    // the library's saved context paths
    WString contextPath_;
    int levels_ = 0;

public:
    ~WalkPlan();
    WalkPlan(const WalkPlan &) = delete;
    WalkPlan &operator=(const WalkPlan &) = delete;
};

// The request's key paths for one conversion.
struct RequestKeys {
    WString process;   // Software\Varnholt\QXProcID<id>
    WString fallback;  // Software\Varnholt\QXProcIDFallback
    WString physical, printing, optItems, devModeItems, driverData;
    explicit RequestKeys(const WString &processKey);
};
WString ProcessKeyForProcess();
WString ProcessKeyForGuid(const GUID &guid);

// The request of a ticket conversion (no export) written and removed again.
struct RequestText {
    const WCHAR *ticketManager;
    const WCHAR *ticketType;  // decimal text
    const WCHAR *printerName;
    const WCHAR *ticketPath;
};
void FloorPublish(const RequestKeys &keys, const RequestText &request);
void FloorWithdraw(const RequestKeys &keys);

// Buffers of the walk, one set per level, allocated before the clock runs.
class WalkBuffers {
public:
    explicit WalkBuffers(int levels);
    WCHAR *List(int level) { return &lists_[static_cast<size_t>(level) * convertapi::kFeatureListCapacity]; }
    WCHAR *Token(int level) { return &tokens_[static_cast<size_t>(level) * kText]; }
    WCHAR *Value(int level) { return &values_[static_cast<size_t>(level) * kText]; }
    static constexpr size_t kText = 256;

private:
    std::vector<WCHAR> lists_, tokens_, values_;
};

// DllRegisterServer, ZELStartConfig, the walk, ZELEndConfig, DllUnregisterServer.
void FloorTransfer(const TicketLibraryEntries &entries, const WCHAR *ticketPath, const WalkPlan &plan,
                   WalkBuffers &buffers);

// The probes of the driver data and the driver calls of InvokeDriver.
int FloorKeyExists(const WCHAR *path);

// Both the library and the floor prepare every output buffer for the ticket
// library this way: it is how the callee learns the capacity.
void PrepareOutput(WCHAR *buffer, size_t capacity);

}  // namespace bench
