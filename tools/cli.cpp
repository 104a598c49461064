#include "cli.h"

#include "commands.h"
#include "exit_codes.h"
#include "target.h"

#include <CLI/CLI.hpp>

#include <algorithm>

namespace convertapi_cli {
namespace {

const char kExitCodes[] =
    "Exit codes:\n"
    "  0        success\n"
    "  2 to 22  the result code of the first export that failed (names in convertapi.h)\n"
    "  1        the round trip changed or lost a setting, or the driver wrote no ticket\n"
    "  64       the command line is wrong\n"
    "  65       an input file cannot be read, or is not a DEVMODEW or a ticket\n"
    "  69       the printer, its driver or the ticket library cannot be reached\n"
    "  73       an output file, a registry key or printer data cannot be written or deleted";

std::string PrinterHelp()
{
    if (HasEmbeddedDefault())
        return std::string("the printer, as the spooler names it (default \"") + EmbeddedPrinterName() +
               "\", set up by this build)";
    return "the printer, as the spooler names it (required)";
}

std::string LibraryHelp()
{
    if (HasEmbeddedDefault()) return "the ticket library's file (default: this build's stand-in)";
    return "the printer maker's ticket library's file (required)";
}

void AddTarget(CLI::App *command, std::string *printer, std::string *library)
{
    command->add_option("--printer", *printer, PrinterHelp())->type_name("NAME");
    command->add_option("--library", *library, LibraryHelp())->type_name("PATH");
}

void AddType(CLI::App *command, DWORD *type)
{
    command->add_option("--type", *type, "ticket type, passed to the driver as it is (default 0)")->type_name("N");
}

// --instance runs the named export sequence instead of the self-contained
// export; --flags is that sequence's and means nothing without it.
void AddInstance(CLI::App *command, bool *instance, const char *sequence, DWORD *flags, const char *flagsHelp)
{
    CLI::Option *instanceFlag = command->add_flag("--instance", *instance, sequence);
    command->add_option("--flags", *flags, flagsHelp)->type_name("N")->needs(instanceFlag);
}

}  // namespace

int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err)
{
    CLI::App app("convertapi: printer settings between a ticket file and a DEVMODEW, through the printer's\n"
                 "driver, with the nine exports of convertapi.dll. `convertapi SUBCOMMAND --help` tells more.",
                 "convertapi");
    app.require_subcommand(1);
    app.footer(kExitCodes);
    app.get_formatter()->column_width(32);

    VersionOptions version;
    CLI::App *versionCommand = app.add_subcommand("version", "Ask both version exports");
    versionCommand->add_option("--printer", version.printer, "ask GetConvertAPIVersionEx about this printer")
        ->type_name("NAME");
    versionCommand->footer(
        "GetConvertAPIVersion answers the interface version; GetConvertAPIVersionEx answers it too, unless the\n"
        "printer's data \"QXConvertAPIVersionOverride\" overrides it (without --printer it asks for no printer).\n"
        "Exit code: the first result code that is not 0.\n\n"
        "Example: convertapi version --printer \"Standin Printer\"");

    ToDevmodeOptions toDevmode;
    CLI::App *toDevmodeCommand = app.add_subcommand("to-devmode", "Apply a ticket to a DEVMODEW");
    AddTarget(toDevmodeCommand, &toDevmode.printer, &toDevmode.library);
    toDevmodeCommand->add_option("--ticket", toDevmode.ticket, "the ticket file to apply")
        ->required()
        ->type_name("FILE");
    toDevmodeCommand->add_option("--devmode", toDevmode.devmodeIn, "start from this DEVMODEW file")
        ->type_name("FILE");
    toDevmodeCommand->add_option("--out", toDevmode.out, "save the resulting DEVMODEW here (binary)")
        ->type_name("FILE");
    AddType(toDevmodeCommand, &toDevmode.type);
    AddInstance(toDevmodeCommand, &toDevmode.instance,
                "InitializeConvertAPI, ReadTicket, ConvertTicketEx, KillConvertAPI", &toDevmode.flags,
                "ConvertTicketEx's flags: 1 PrinterProperties, 2 DocumentPropertiesW, 4 as the ticket's "
                "driver data decide (default 4)");
    toDevmodeCommand->footer(
        "Calls ConvertTicket (or the instance sequence) on the driver's default DEVMODEW, or on --devmode,\n"
        "shows the DEVMODEW that the driver gives back, and saves it with --out. ConvertTicket returns no\n"
        "result; with --instance the exit code is the first result code that is not 0.\n\n"
        "Example: convertapi to-devmode --ticket examples/tickets/sample.xml --out sample.devmode");

    ToTicketOptions toTicket;
    CLI::App *toTicketCommand = app.add_subcommand("to-ticket", "Turn a DEVMODEW into a ticket");
    AddTarget(toTicketCommand, &toTicket.printer, &toTicket.library);
    toTicketCommand->add_option("--devmode", toTicket.devmode, "the DEVMODEW file")->required()->type_name("FILE");
    toTicketCommand->add_option("--out", toTicket.out, "the ticket file that the driver writes (replaced)")
        ->required()
        ->type_name("FILE");
    AddType(toTicketCommand, &toTicket.type);
    AddInstance(toTicketCommand, &toTicket.instance, "InitializeConvertAPI, ConvertDevModeEx, KillConvertAPI",
                &toTicket.flags,
                "ConvertDevModeEx's flags: 1 PrinterProperties, 2 DocumentPropertiesW, 4 as the driver data "
                "decide (default 2)");
    toTicketCommand->footer(
        "Calls ConvertDevmode (or the instance sequence); the printer's driver writes the ticket. Exit code:\n"
        "the first result code that is not 0, or 1 when no ticket was written.\n\n"
        "Example: convertapi to-ticket --devmode sample.devmode --out exported.xml");

    RoundTripOptions roundTrip;
    CLI::App *roundTripCommand =
        app.add_subcommand("roundtrip", "Ticket -> DEVMODEW -> ticket, and a table of what came back");
    AddTarget(roundTripCommand, &roundTrip.printer, &roundTrip.library);
    roundTripCommand->add_option("--ticket", roundTrip.ticket, "the ticket file to send round")
        ->required()
        ->type_name("FILE");
    roundTripCommand->add_option("--ticket-out", roundTrip.ticketOut, "keep the exported ticket here")
        ->type_name("FILE");
    roundTripCommand->add_option("--devmode-out", roundTrip.devmodeOut, "keep the DEVMODEW between the steps here")
        ->type_name("FILE");
    AddType(roundTripCommand, &roundTrip.type);
    roundTripCommand->footer(
        "ConvertTicket applies the ticket to the driver's default DEVMODEW, ConvertDevmode exports that\n"
        "DEVMODEW again. Both tickets are read as the library hands them to the driver (an instance's\n"
        "driver data), and every setting that went in is set beside what came out, by section and name.\n"
        "Exit code: 0 when every setting came back unchanged, 1 when one was changed or lost or no ticket\n"
        "was written.\n\n"
        "Example: convertapi roundtrip --ticket examples/tickets/sample.xml");

    ShowDevmodeOptions showDevmode;
    CLI::App *showDevmodeCommand = app.add_subcommand("show-devmode", "Show a DEVMODEW file in readable form");
    showDevmodeCommand->add_option("file", showDevmode.file, "the DEVMODEW file")->required()->type_name("FILE");
    showDevmodeCommand->add_flag("--json", showDevmode.json, "print JSON instead of text");
    showDevmodeCommand->footer(
        "The public fields by name with what their values mean, the tag block that carries an instance's\n"
        "GUID and its slot (searched as the library searches), and the driver's private settings where\n"
        "the private part is the stand-in driver's.\n\n"
        "Example: convertapi show-devmode sample.devmode --json");

    RequestsOptions requests;
    CLI::App *requestsCommand =
        app.add_subcommand("requests", "List, or with --clean withdraw, the requests that callers left behind");
    requestsCommand->add_option("--printer", requests.printer,
                                "also this printer's data \"AlwaysExport\" and \"ExportTicketLocation\"")
        ->type_name("NAME");
    requestsCommand->add_flag("--clean", requests.clean, "delete what is listed (not while a caller converts)");
    requestsCommand->footer(
        "Lists the keys below HKEY_CURRENT_USER\\Software\\Varnholt: process keys (QXProcID + a GUID or a\n"
        "process id) with their values and driver-data keys, and the fallback key QXProcIDFallback. A\n"
        "caller that never called KillConvertAPI, or an export that failed half-way, leaves them. --clean\n"
        "deletes the process keys with everything below them, the fallback key and, with --printer, the\n"
        "printer's data; other keys stay.\n\n"
        "Example: convertapi requests --clean --printer \"Standin Printer\"");

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError &error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }

    PreparePlatform();
    Console console = {out, err};
    if (*versionCommand) return RunVersion(version, console);
    if (*toDevmodeCommand) return RunToDevmode(toDevmode, console);
    if (*toTicketCommand) return RunToTicket(toTicket, console);
    if (*roundTripCommand) return RunRoundTrip(roundTrip, console);
    if (*showDevmodeCommand) return RunShowDevmode(showDevmode, console);
    if (*requestsCommand) return RunRequests(requests, console);
    return kExitUsage;
}

}  // namespace convertapi_cli
