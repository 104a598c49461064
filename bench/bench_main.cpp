#include "bench/bench_main.h"

#include "bench/bench_environment.h"

#include <cstdio>

namespace bench {

void PrepareRun(const char *platform, std::vector<Case> *cases, Report *report)
{
    report->platform = platform;
    AddTagSearchCases(cases, &report->tagRows);
    if (!PrepareEnvironment()) {
        std::fprintf(stderr, "bench: the stand-in printer or ticket library is missing; tag search only\n");
        return;
    }
    if (!AddConversionCases(cases, &report->conversionRows, &report->scalingRows)) return;
    report->floorChecked = true;
    report->floorSame = CheckFloorCalls(*cases, report->conversionRows, &report->floorCheck);
    report->memoryMeasured = MeasureLibraryMemory(&report->memory);
}

}  // namespace bench
