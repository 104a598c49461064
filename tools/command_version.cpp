// version: both version exports.
#include "commands.h"

#include "convertapi.h"
#include "instance_run.h"
#include "text.h"

namespace convertapi_cli {

int RunVersion(const VersionOptions &options, Console &console)
{
    console.out << "convertapi " << CONVERTAPI_CLI_PACKAGE_VERSION << "\n";
    DWORD version = 0;
    const DWORD result = GetConvertAPIVersion(&version);
    PrintCall(console, "GetConvertAPIVersion", result,
              result == ConvertAPISuccess ? "interface version " + std::to_string(version) : std::string());

    const WString printer = Widen(options.printer);
    DWORD versionEx = 0;
    const DWORD resultEx = GetConvertAPIVersionEx(&versionEx, options.printer.empty() ? nullptr : printer.c_str());
    std::string note = resultEx == ConvertAPISuccess ? "interface version " + std::to_string(versionEx) + ", " : "";
    note += options.printer.empty() ? std::string("no printer") : "printer \"" + options.printer + "\"";
    PrintCall(console, "GetConvertAPIVersionEx", resultEx, note);
    return static_cast<int>(result != ConvertAPISuccess ? result : resultEx);
}

}  // namespace convertapi_cli
