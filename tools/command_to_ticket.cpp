// to-ticket: a DEVMODEW turned into a ticket by the printer's driver, through
// ConvertDevmode or, with --instance, InitializeConvertAPI, ConvertDevModeEx,
// KillConvertAPI.
#include "commands.h"

#include "convertapi.h"
#include "devmode_buffer.h"
#include "exit_codes.h"
#include "files.h"
#include "instance_run.h"
#include "spooler_support.h"
#include "target.h"

namespace convertapi_cli {

int RunToTicket(const ToTicketOptions &options, Console &console)
{
    Target target;
    int exitCode = ResolveTarget(options.printer, options.library, true, &target, console.err);
    if (exitCode != kExitOk) return exitCode;
    if (!SpoolerCanWithdrawExport("an", console.err)) return kExitUnavailable;
    DevmodeBuffer devmode;
    std::string error;
    if (!LoadDevmodeFile(Widen(options.devmode), &devmode, &error)) {
        console.err << "convertapi: " << error << "\n";
        return kExitBadInput;
    }
    // The driver replaces the file; one that stays would hide a ticket that was never written.
    const WString out = Widen(options.out);
    if (!RemoveFile(out)) {
        console.err << "convertapi: cannot replace " << options.out << "\n";
        return kExitCannotWrite;
    }

    DWORD failure = ConvertAPISuccess;
    if (!options.instance) {
        ConvertDevmode(target.printer.c_str(), out.c_str(), devmode.Devmode(), target.library.c_str(), options.type);
        console.out << "ConvertDevmode          (returns no result)\n";
    } else {
        InstanceRun run(console);
        if (run.Initialize(target))
            run.Record("ConvertDevModeEx", ConvertDevModeEx(out.c_str(), devmode.Devmode(), run.Instance(), options.flags),
                       "flags " + std::to_string(options.flags));
        run.End();
        failure = run.FirstFailure();
    }
    if (failure != ConvertAPISuccess) return static_cast<int>(failure);
    const long long size = FileSize(out);
    if (size < 0) {
        console.err << "convertapi: the driver wrote no ticket to " << options.out << "\n";
        return kExitDiffers;
    }
    console.out << "\nticket written to " << options.out << " (" << size << " bytes)\n";
    return kExitOk;
}

}  // namespace convertapi_cli
