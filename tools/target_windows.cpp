// Windows: the real spooler and a real ticket library, named by the caller.
#include "target.h"

#include "exit_codes.h"

namespace convertapi_cli {

bool HasEmbeddedDefault() { return false; }
const char *EmbeddedPrinterName() { return ""; }

std::string ExecutableFolder()
{
    WCHAR path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::string program = Narrow(path, length);
    size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? "." : program.substr(0, slash);
}

void PreparePlatform() {}

int ResolveTarget(const std::string &printer, const std::string &library, bool needLibrary, Target *target,
                  std::ostream &err)
{
    if (printer.empty()) {
        err << "convertapi: --printer is required: name a printer as the spooler knows it\n";
        return kExitUsage;
    }
    if (needLibrary && library.empty()) {
        err << "convertapi: --library is required: the path of the printer maker's ticket library\n";
        return kExitUsage;
    }
    target->printer = Widen(printer);
    target->library = needLibrary ? Widen(library) : WString();
    return kExitOk;
}

}  // namespace convertapi_cli
