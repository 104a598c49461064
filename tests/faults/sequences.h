// The six conversion sequences that the fault sweep runs again and again,
// each time with another platform call failing: the self-contained and the
// instance conversions in both directions, and the two version exports.
#pragma once

#include "convertapi/common/platform.h"
#include "standins/driver/standin_devmode.h"
#include "tests/faults/registry_snapshot.h"

#include <set>
#include <vector>

namespace faults {

// What a version export stored; a value no export ever stores.
constexpr DWORD kUnsetVersion = 0xDEADBEEF;

struct StepResult {
    const char *exportName;
    bool hasResult;  // false for ConvertTicket and ConvertDevmode
    DWORD result;
};

struct Outcome {
    std::vector<StepResult> steps;
    DWORD version = kUnsetVersion;
};

// What a sequence works on; prepared afresh before every run.
struct Inputs {
    StandinDevmode devmode;
    WString ticket;    // the ticket to apply
    WString exported;  // where an export writes its ticket
};

struct Sequence {
    const char *name;
    // Before the counts are taken: the DEVMODEW, printer data, files.
    bool (*prepare)(Inputs *inputs);
    Outcome (*run)(Inputs *inputs);
};

const std::vector<Sequence> &Sequences();

// The result codes an export may return for the arguments the sequences
// pass (a valid GUID pointer, never GUID_NULL, a DEVMODEW with a free tag
// block): the relevant rows of the interface's table.
const std::set<DWORD> &AllowedResults(const char *exportName);

// The key named by the process id and the fallback key, below Software\Varnholt.
WString ProcessIdKeyName();
WString FallbackKeyName();
const WCHAR *VendorKey();

}  // namespace faults
