// roundtrip: ticket -> DEVMODEW (ConvertTicket) -> ticket (ConvertDevmode) on
// one printer, and a table of what went in against what came out. Both
// tickets are read the way the library reads them (ticket_features.h).
#include "commands.h"

#include "convertapi.h"
#include "devmode_buffer.h"
#include "exit_codes.h"
#include "files.h"
#include "roundtrip_table.h"
#include "spooler_support.h"
#include "target.h"
#include "ticket_features.h"

namespace convertapi_cli {
namespace {

int ReportUnreadable(const TicketReading &reading, const char *which, const std::string &path, Console &console)
{
    console.err << "convertapi: the library cannot read the " << which << " ticket " << path << ": "
                << reading.failedExport << " answered " << ResultText(reading.result) << "\n";
    return static_cast<int>(reading.result);
}

}  // namespace

int RunRoundTrip(const RoundTripOptions &options, Console &console)
{
    Target target;
    int exitCode = ResolveTarget(options.printer, options.library, true, &target, console.err);
    if (exitCode != kExitOk) return exitCode;
    if (!SpoolerCanWithdrawExport("the", console.err)) return kExitUnavailable;
    const WString ticketIn = Widen(options.ticket);
    if (!FileReadable(ticketIn)) {
        console.err << "convertapi: cannot read the ticket " << options.ticket << "\n";
        return kExitBadInput;
    }
    const bool keepTicket = !options.ticketOut.empty();
    const WString ticketOut = keepTicket ? Widen(options.ticketOut) : TempFilePath("roundtrip.xml");
    const std::string ticketOutText = Narrow(ticketOut);

    console.out << "Round trip of " << options.ticket << " on \"" << Narrow(target.printer) << "\"\n";
    const TicketReading in = ReadTicketFeatures(target, ticketIn, options.type);
    if (in.result != ConvertAPISuccess) return ReportUnreadable(in, "input", options.ticket, console);

    DevmodeBuffer devmode;
    std::string error;
    if (!PrinterDefaultDevmode(target.printer, &devmode, &error)) {
        console.err << "convertapi: " << error << "\n";
        return kExitUnavailable;
    }
    console.out << "  1. ticket -> DEVMODEW  ConvertTicket on the driver's default DEVMODEW (" << devmode.Size()
                << " bytes)\n";
    ConvertTicket(target.printer.c_str(), ticketIn.c_str(), devmode.Devmode(), target.library.c_str(), options.type);
    if (!options.devmodeOut.empty()) {
        if (!SaveDevmodeFile(Widen(options.devmodeOut), devmode, &error)) {
            console.err << "convertapi: " << error << "\n";
            return kExitCannotWrite;
        }
        console.out << "                         saved to " << options.devmodeOut << "\n";
    }

    if (!RemoveFile(ticketOut)) {
        console.err << "convertapi: cannot replace " << ticketOutText << "\n";
        return kExitCannotWrite;
    }
    console.out << "  2. DEVMODEW -> ticket  ConvertDevmode into " << ticketOutText << "\n\n";
    ConvertDevmode(target.printer.c_str(), ticketOut.c_str(), devmode.Devmode(), target.library.c_str(),
                   options.type);
    if (!FileReadable(ticketOut)) {
        console.err << "convertapi: the driver wrote no ticket to " << ticketOutText << "\n";
        return kExitDiffers;
    }
    const TicketReading out = ReadTicketFeatures(target, ticketOut, options.type);
    if (!keepTicket) RemoveFile(ticketOut);
    if (out.result != ConvertAPISuccess) return ReportUnreadable(out, "exported", ticketOutText, console);

    const std::vector<RoundTripRow> rows = CompareFeatures(in.features, out.features);
    PrintRoundTripTable(rows, console.out);
    return AllPreserved(rows) ? kExitOk : kExitDiffers;
}

}  // namespace convertapi_cli
