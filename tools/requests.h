// What requests left behind in the current user's registry: process keys
// "Software\Varnholt\QXProcID<id>" (an instance's GUID or a process id) with
// their values and driver-data keys, the fallback key
// "Software\Varnholt\QXProcIDFallback", and, for a named printer, the printer
// data "AlwaysExport" and "ExportTicketLocation" of an export. A caller that
// never called KillConvertAPI, or an export that stopped half-way, leaves them.
#pragma once

#include "registry_tree.h"

#include <string>
#include <vector>

namespace convertapi_cli {

enum class RequestKeyKind {
    InstanceProcessKey,  // QXProcID{GUID}: an instance of InitializeConvertAPI
    ProcessIdKey,        // QXProcID<decimal>: ConvertTicket, ConvertDevmode, an export or a property sheet
    FallbackKey,         // QXProcIDFallback
    OtherKey,            // anything else below Software\Varnholt; not the library's, never deleted
};

struct RequestKey {
    RequestKeyKind kind;
    std::string id;  // the GUID text or the process id; empty for the other kinds
    RegistryKey key;
};

struct PrinterDataValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

struct Leftovers {
    std::vector<RequestKey> keys;
    bool printerOpened = false;  // only when a printer was named
    std::vector<PrinterDataValue> printerData;

    // Whether anything of a request stands (other keys do not count).
    bool Any() const;
};

// "HKEY_CURRENT_USER\Software\Varnholt"
extern const char kVendorKeyText[];

// Reads what stands. `printer` may be null (no printer data is read).
Leftovers FindLeftovers(const WString *printer);

struct CleanReport {
    std::vector<std::string> deleted;  // what was removed, as it is listed
    std::vector<std::string> failed;   // what could not be removed, and why
};

// Withdraws what FindLeftovers found: deletes every process key with its
// driver-data subtree, the fallback key and, for `printer`, the two printer
// data values. Keys that are not the library's stay.
CleanReport CleanLeftovers(const Leftovers &found, const WString *printer);

}  // namespace convertapi_cli
