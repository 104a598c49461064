// What both runners do around the timing: gather the cases, check the floor,
// measure the memory, and print the report from the times they measured.
#pragma once

#include "bench/report.h"

#include <vector>

namespace bench {

// Builds every case and fills the report's rows; runs the floor check and the
// memory measurement before anything is timed.
void PrepareRun(const char *platform, std::vector<Case> *cases, Report *report);

// Seconds on the runner's clock: the thread's CPU time on the host, wall-clock
// time under Wine (where much of the work is the Wine server's).
double RunnerClock();

// The conversions' ratios (library / floor, 1,000 / 100 features) measured
// in pairs: iterations of the two cases in turn, the median of the pairs'
// ratios, so both halves of a pair see the machine alike however busy it is.
// `filter`, when not null, skips pairs whose names do not contain it.
void MeasurePairs(const std::vector<Case> &cases, Report *report, double budgetSeconds, const char *filter);

// For profiling (callgrind, perf): `--profile=<case name> [--iterations=N]`
// runs that one case N times (default 20) and nothing else. Returns -1 when
// the arguments ask for no profile run, else the program's exit code.
int ProfileRun(int argc, char **argv);

}  // namespace bench
