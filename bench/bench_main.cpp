#include "bench/bench_main.h"

#include "bench/bench_environment.h"

#include <cstdio>
#include <cstdlib>
#include <algorithm>
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

namespace {

double PairedRatio(const Case &a, const Case &b, double budgetSeconds)
{
    a.setUp();
    b.setUp();
    a.run();
    b.run();
    std::vector<double> ratios;
    const double start = RunnerClock();
    for (int i = 0; i < 1000 && (i < 7 || RunnerClock() - start < budgetSeconds); ++i) {
        double times[2] = {0, 0};
        for (int half = 0; half < 2; ++half) {
            // Which one goes first alternates.
            const int which = (half + i) % 2;
            const double before = RunnerClock();
            (which == 0 ? a : b).run();
            times[which] = RunnerClock() - before;
        }
        if (times[1] > 0) ratios.push_back(times[0] / times[1]);
    }
    b.tearDown();
    a.tearDown();
    std::sort(ratios.begin(), ratios.end());
    return ratios.empty() ? 0 : ratios[ratios.size() / 2];
}

const Case *FindCase(const std::vector<Case> &cases, const std::string &name)
{
    for (const Case &c : cases)
        if (c.name == name) return &c;
    return nullptr;
}

}  // namespace

void MeasurePairs(const std::vector<Case> &cases, Report *report, double budgetSeconds, const char *filter)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const ConversionRow &row : report->conversionRows) pairs.push_back({row.library, row.floor});
    for (const ScalingRow &row : report->scalingRows) {
        pairs.push_back({row.large, row.small});
        pairs.push_back({row.largeFloor, row.smallFloor});
    }
    for (const auto &pair : pairs) {
        const Case *a = FindCase(cases, pair.first);
        const Case *b = FindCase(cases, pair.second);
        if (a == nullptr || b == nullptr) continue;
        if (filter != nullptr && (a->name.find(filter) == std::string::npos || b->name.find(filter) == std::string::npos))
            continue;
        const double ratio = PairedRatio(*a, *b, budgetSeconds);
        report->pairedRatios[pair] = ratio;
        std::fprintf(stderr, "paired %s / %s: %.3f\n", pair.first.c_str(), pair.second.c_str(), ratio);
    }
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
