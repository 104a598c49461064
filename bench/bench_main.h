// What both runners do around the timing: gather the cases, check the floor,
// measure the memory, and print the report from the times they measured.
#pragma once

#include "bench/report.h"

#include <vector>

namespace bench {

// Builds every case and fills the report's rows; runs the floor check and the
// memory measurement before anything is timed.
void PrepareRun(const char *platform, std::vector<Case> *cases, Report *report);

// For profiling (callgrind, perf): `--profile=<case name> [--iterations=N]`
// runs that one case N times (default 20) and nothing else. Returns -1 when
// the arguments ask for no profile run, else the program's exit code.
int ProfileRun(int argc, char **argv);

}  // namespace bench
