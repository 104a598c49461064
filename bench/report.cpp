#include "bench/report.h"

#include <cstdio>

namespace bench {
namespace {

bool Has(const Results &results, const std::string &name) { return results.find(name) != results.end(); }

double Ratio(const Report &report, const Results &results, const std::string &a, const std::string &b)
{
    auto paired = report.pairedRatios.find({a, b});
    if (paired != report.pairedRatios.end()) return paired->second;
    return results.at(a) / results.at(b);
}

std::string Time(double ns)
{
    char text[32];
    if (ns >= 1e6)
        std::snprintf(text, sizeof(text), "%.3f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(text, sizeof(text), "%.2f us", ns / 1e3);
    else
        std::snprintf(text, sizeof(text), "%.1f ns", ns);
    return text;
}

std::string Throughput(double bytes, double ns)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f GB/s", bytes / ns);
    return text;
}

struct Tally {
    int met = 0;
    int missed = 0;
    const char *Mark(bool ok)
    {
        ++(ok ? met : missed);
        return ok ? "met" : "MISSED";
    }
};

}  // namespace

int PrintReport(const Report &report, const Results &results)
{
    Tally tally;
    std::printf("\n== convertapi benchmarks (%s): the library against the floor ==\n", report.platform.c_str());

    std::printf("\nTag search: FindDevmodeTag (null GUID, as a stamp searches) against the floor\n");
    std::printf("  %-26s %12s %12s %7s  %s\n", "DEVMODEW", "library", "floor", "ratio", "goal");
    for (const TagSearchRow &row : report.tagRows) {
        if (!Has(results, row.library) || !Has(results, row.floor)) continue;
        const double bytes = row.bytes;
        const double library = results.at(row.library);
        const double floor = results.at(row.floor);
        const double ratio = floor / library;  // library throughput / floor throughput
        std::printf("  %-26s %12s %12s %7.2f  >= %.2f (%s): %s\n", row.label.c_str(),
                    Throughput(bytes, library).c_str(), Throughput(bytes, floor).c_str(), ratio, row.minRatio,
                    row.goal.c_str(), tally.Mark(ratio >= row.minRatio));
    }

    if (!report.conversionRows.empty()) {
        std::printf("\nConversion cost: the library against the same registry, spooler and ticket-library calls\n"
                    "made directly (nested tickets, depth 3)\n");
        std::printf("  %-44s %12s %12s %7s  %s\n", "conversion", "library", "floor", "ratio", "goal");
        for (const ConversionRow &row : report.conversionRows) {
            if (!Has(results, row.library) || !Has(results, row.floor)) continue;
            const double library = results.at(row.library);
            const double floor = results.at(row.floor);
            const double ratio = Ratio(report, results, row.library, row.floor);
            std::printf("  %-44s %12s %12s %7.3f", row.label.c_str(), Time(library).c_str(), Time(floor).c_str(),
                        ratio);
            if (row.goal)
                std::printf("  <= %.2f: %s", kMaxFloorRatio, tally.Mark(ratio <= kMaxFloorRatio));
            std::printf("\n");
        }
        for (const ScalingRow &row : report.scalingRows) {
            if (!Has(results, row.large) || !Has(results, row.small)) continue;
            const double ratio = Ratio(report, results, row.large, row.small);
            std::printf("  %-44s %12s %12s %7.2f  <= %.0f (linear): %s\n", row.label.c_str(),
                        Time(results.at(row.large)).c_str(), Time(results.at(row.small)).c_str(), ratio, kMaxScaling,
                        tally.Mark(ratio <= kMaxScaling));
            // The same growth of the floor: what the library cannot change.
            if (Has(results, row.largeFloor) && Has(results, row.smallFloor))
                std::printf("  %-44s %12s %12s %7.2f  (the floor's own growth)\n", "  its floor, 1000 / 100 features",
                            Time(results.at(row.largeFloor)).c_str(), Time(results.at(row.smallFloor)).c_str(),
                            Ratio(report, results, row.largeFloor, row.smallFloor));
        }
        if (!report.pairedRatios.empty())
            std::printf("  (ratios from iterations timed in pairs, the median of their ratios)\n");
        if (report.floorChecked)
            std::printf("  floor check: %s: %s\n", report.floorCheck.c_str(),
                        report.floorSame ? tally.Mark(true) : tally.Mark(false));
    }

    std::printf("\nMemory: the library's own peak heap during one conversion\n");
    if (!report.memoryMeasured) {
        std::printf("  not measured on this platform (the host build measures it)\n");
    } else {
        std::printf("  %-50s %9s %6s %10s %12s %10s\n", "conversion", "features", "depth", "peak", "allocations",
                    "LocalAlloc");
        for (const MemoryRow &row : report.memory)
            std::printf("  %-50s %9zu %6d %8ld B %12ld %10ld\n", row.label.c_str(), row.features, row.depth,
                        row.peakBytes, row.allocations, row.localBlocks);
        // Bounded by depth: at one depth the peak does not grow with the size.
        for (const MemoryRow &large : report.memory) {
            if (large.features != 1000 || large.depth != kTicketDepth) continue;
            for (const MemoryRow &small : report.memory) {
                if (small.label != large.label || small.features != 10 || small.depth != kTicketDepth) continue;
                // A few bytes of difference come from the longer file name.
                const bool ok = large.peakBytes <= small.peakBytes + 64;
                std::printf("  %s: peak at 1000 features %ld B, at 10 features %ld B (same depth): %s\n",
                            large.label.c_str(), large.peakBytes, small.peakBytes, tally.Mark(ok));
            }
        }
    }

    std::printf("\nGoals: %d met, %d missed\n", tally.met, tally.missed);
    return tally.missed;
}

}  // namespace bench
