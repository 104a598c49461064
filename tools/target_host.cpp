// The host build's embedded default: the stand-in modules are found beside the
// program (build/<preset>/bin), in an installed tree's lib/convertapi, or at
// the paths where this build made them.
#include "target.h"

#include "exit_codes.h"
#include "hostwin/control.h"

#include <unistd.h>

#include <climits>

namespace convertapi_cli {
namespace {

const char kPrinterName[] = "Standin Printer";

bool FileExists(const std::string &path) { return !path.empty() && access(path.c_str(), R_OK) == 0; }

// The first of the places a stand-in module can be; empty when it is nowhere.
std::string FindModule(const char *file, const char *builtPath)
{
    const std::string folder = ExecutableFolder();
    const std::string candidates[] = {folder + "/" + file, folder + "/../lib/convertapi/" + file, builtPath};
    for (const std::string &path : candidates)
        if (FileExists(path)) return path;
    return std::string();
}

std::string DriverModule() { return FindModule("standin_driver.so", CONVERTAPI_CLI_STANDIN_DRIVER); }
std::string TicketLibraryModule() { return FindModule("standin_ticketlib.so", CONVERTAPI_CLI_STANDIN_TICKETLIB); }

}  // namespace

bool HasEmbeddedDefault() { return true; }
const char *EmbeddedPrinterName() { return kPrinterName; }

std::string ExecutableFolder()
{
    char path[PATH_MAX + 1] = {};
    ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0) return ".";
    std::string program(path, static_cast<size_t>(length));
    size_t slash = program.find_last_of('/');
    return slash == std::string::npos ? "." : program.substr(0, slash);
}

void PreparePlatform()
{
    const std::string driver = DriverModule();
    // Fails harmlessly when the printer is already there.
    if (!driver.empty()) HostWinAddPrinter(Widen(kPrinterName).c_str(), driver.c_str(), 0);
}

int ResolveTarget(const std::string &printer, const std::string &library, bool needLibrary, Target *target,
                  std::ostream &err)
{
    if (printer.empty() && DriverModule().empty()) {
        err << "convertapi: the stand-in driver (standin_driver.so) is neither beside " << ExecutableFolder()
            << " nor where this build made it; build the standin_driver target\n";
        return kExitUnavailable;
    }
    target->printer = Widen(printer.empty() ? kPrinterName : printer);
    target->library.clear();
    if (!needLibrary) return kExitOk;
    std::string path = library.empty() ? TicketLibraryModule() : library;
    if (path.empty()) {
        err << "convertapi: the stand-in ticket library (standin_ticketlib.so) is neither beside "
            << ExecutableFolder() << " nor where this build made it; build the standin_ticketlib target\n";
        return kExitUnavailable;
    }
    target->library = Widen(path);
    return kExitOk;
}

}  // namespace convertapi_cli
