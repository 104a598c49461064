// The settings of a ticket as the library hands them to the driver: an
// instance reads the ticket (InitializeConvertAPI, ReadTicket), its
// driver-data keys are copied, and KillConvertAPI withdraws them again. So a
// ticket is read by the ticket library that the caller named, whatever its
// file format, and with the library's own walk: nested features come out flat,
// one value per section and name, as the driver receives them.
#pragma once

#include "target.h"

#include <string>
#include <vector>

namespace convertapi_cli {

struct TicketFeature {
    std::string section;  // "Printing" or "Physical"
    std::string name;
    std::string value;
};

struct TicketReading {
    DWORD result = 0;              // the first result code that was not ConvertAPISuccess
    const char *failedExport = "";  // the export that returned it
    std::vector<TicketFeature> features;
};

TicketReading ReadTicketFeatures(const Target &target, const WString &ticketPath, DWORD ticketType);

}  // namespace convertapi_cli
