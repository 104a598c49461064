#include "bench/bench_main.h"

#include "bench/bench_environment.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

int ProfileRun(int argc, char **argv)
{
    std::string name;
    long iterations = 20;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--profile=", 10) == 0) name = argv[i] + 10;
        if (std::strncmp(argv[i], "--iterations=", 13) == 0) iterations = std::atol(argv[i] + 13);
    }
    if (name.empty()) return -1;

    std::vector<Case> cases;
    Report report;
    AddTagSearchCases(&cases, &report.tagRows);
    if (PrepareEnvironment()) AddConversionCases(&cases, &report.conversionRows, &report.scalingRows);
    for (const Case &c : cases) {
        if (c.name != name) continue;
        c.setUp();
        for (long i = 0; i < iterations; ++i) c.run();
        c.tearDown();
        std::printf("%s: %ld iterations\n", name.c_str(), iterations);
        return 0;
    }
    std::fprintf(stderr, "bench: no case named \"%s\"; the cases are:\n", name.c_str());
    for (const Case &c : cases) std::fprintf(stderr, "  %s\n", c.name.c_str());
    return 2;
}

}  // namespace bench
