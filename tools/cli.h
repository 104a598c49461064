// The convertapi command line: the subcommands, their options and help, and
// the exit code. Kept apart from main() so that tests run it in-process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace convertapi_cli {

// Runs the tool on `args` (without the program name), writing its output to
// `out` and its messages to `err`. Returns the exit code.
int RunCli(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

}  // namespace convertapi_cli
