// The subcommands of the convertapi tool. Each returns the tool's exit code
// (exit_codes.h): 0, the first failing export's result code, or one of the
// tool's own.
#pragma once

#include "convertapi/common/platform.h"

#include <ostream>
#include <string>

namespace convertapi_cli {

struct Console {
    std::ostream &out;
    std::ostream &err;
};

struct VersionOptions {
    std::string printer;
};

struct ToDevmodeOptions {
    std::string printer;
    std::string library;
    std::string ticket;
    std::string devmodeIn;  // start from this DEVMODEW instead of the printer's default
    std::string out;
    DWORD type = 0;
    bool instance = false;
    DWORD flags = 4;  // FlagFromDriverData
};

struct ToTicketOptions {
    std::string printer;
    std::string library;
    std::string devmode;
    std::string out;
    DWORD type = 0;
    bool instance = false;
    DWORD flags = 2;  // FlagDocumentProperties
};

struct RoundTripOptions {
    std::string printer;
    std::string library;
    std::string ticket;
    std::string ticketOut;   // keep the exported ticket here
    std::string devmodeOut;  // keep the DEVMODEW here
    DWORD type = 0;
};

struct ShowDevmodeOptions {
    std::string file;
    bool json = false;
};

struct RequestsOptions {
    std::string printer;
    bool clean = false;
};

int RunVersion(const VersionOptions &options, Console &console);
int RunToDevmode(const ToDevmodeOptions &options, Console &console);
int RunToTicket(const ToTicketOptions &options, Console &console);
int RunRoundTrip(const RoundTripOptions &options, Console &console);
int RunShowDevmode(const ShowDevmodeOptions &options, Console &console);
int RunRequests(const RequestsOptions &options, Console &console);

}  // namespace convertapi_cli
