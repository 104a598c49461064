// The printer and the ticket library that a command works on. On the host the
// tool brings its own: hostwin's spooler with the stand-in driver installed as
// "Standin Printer", and the stand-in ticket library, so that it runs with no
// configuration. On Windows the caller names a real printer and library.
#pragma once

#include "text.h"

#include <ostream>
#include <string>

namespace convertapi_cli {

struct Target {
    WString printer;
    WString library;
};

// True where the tool runs on its embedded default (the host build).
bool HasEmbeddedDefault();
// The embedded printer's name, "Standin Printer".
const char *EmbeddedPrinterName();

// Makes the platform ready before a command runs: on the host it installs the
// embedded printer (again, if a test reset hostwin). Nothing on Windows.
void PreparePlatform();

// Fills `target` from the options; an empty option takes the embedded
// default. `needLibrary`: the command loads the ticket library. Returns
// kExitOk, or kExitUsage / kExitUnavailable with a message on `err`.
int ResolveTarget(const std::string &printer, const std::string &library, bool needLibrary, Target *target,
                  std::ostream &err);

// The folder of the running program, without a trailing separator.
std::string ExecutableFolder();

}  // namespace convertapi_cli
