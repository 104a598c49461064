// to-devmode: a ticket applied to a DEVMODEW, through ConvertTicket or, with
// --instance, InitializeConvertAPI, ReadTicket, ConvertTicketEx, KillConvertAPI.
#include "commands.h"

#include "convertapi.h"
#include "devmode_buffer.h"
#include "devmode_view.h"
#include "exit_codes.h"
#include "files.h"
#include "instance_run.h"
#include "target.h"

namespace convertapi_cli {

int RunToDevmode(const ToDevmodeOptions &options, Console &console)
{
    Target target;
    int exitCode = ResolveTarget(options.printer, options.library, true, &target, console.err);
    if (exitCode != kExitOk) return exitCode;
    const WString ticket = Widen(options.ticket);
    if (!FileReadable(ticket)) {
        console.err << "convertapi: cannot read the ticket " << options.ticket << "\n";
        return kExitBadInput;
    }
    DevmodeBuffer devmode;
    std::string error;
    if (!options.devmodeIn.empty()) {
        if (!LoadDevmodeFile(Widen(options.devmodeIn), &devmode, &error)) {
            console.err << "convertapi: " << error << "\n";
            return kExitBadInput;
        }
    } else if (!PrinterDefaultDevmode(target.printer, &devmode, &error)) {
        console.err << "convertapi: " << error << "\n";
        return kExitUnavailable;
    }

    DWORD failure = ConvertAPISuccess;
    if (!options.instance) {
        ConvertTicket(target.printer.c_str(), ticket.c_str(), devmode.Devmode(), target.library.c_str(),
                      options.type);
        console.out << "ConvertTicket           (returns no result)\n";
    } else {
        InstanceRun run(console);
        if (run.Initialize(target) &&
            run.Record("ReadTicket", ReadTicket(options.type, ticket.c_str(), run.Instance()))) {
            run.Record("ConvertTicketEx", ConvertTicketEx(devmode.Devmode(), run.Instance(), options.flags),
                       "flags " + std::to_string(options.flags));
        }
        run.End();
        failure = run.FirstFailure();
    }
    console.out << "\n";
    PrintDevmodeText(DescribeDevmode(devmode.Bytes(), devmode.Size()), console.out);
    if (!options.out.empty()) {
        if (!SaveDevmodeFile(Widen(options.out), devmode, &error)) {
            console.err << "convertapi: " << error << "\n";
            return failure != ConvertAPISuccess ? static_cast<int>(failure) : kExitCannotWrite;
        }
        console.out << "\nDEVMODEW written to " << options.out << " (" << devmode.Size() << " bytes)\n";
    }
    return static_cast<int>(failure);
}

}  // namespace convertapi_cli
