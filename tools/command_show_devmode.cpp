// show-devmode: a DEVMODEW file in readable form, or as JSON.
#include "commands.h"

#include "devmode_buffer.h"
#include "devmode_view.h"
#include "exit_codes.h"

namespace convertapi_cli {

int RunShowDevmode(const ShowDevmodeOptions &options, Console &console)
{
    DevmodeBuffer devmode;
    std::string error;
    if (!LoadDevmodeFile(Widen(options.file), &devmode, &error)) {
        console.err << "convertapi: " << error << "\n";
        return kExitBadInput;
    }
    const DevmodeView view = DescribeDevmode(devmode.Bytes(), devmode.Size());
    if (options.json)
        PrintDevmodeJson(view, console.out);
    else
        PrintDevmodeText(view, console.out);
    return kExitOk;
}

}  // namespace convertapi_cli
