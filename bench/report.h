// The short report: every goal as a ratio of two measured times, and the
// memory of the library beside the ticket's size and depth.
#pragma once

#include "bench/bench_case.h"
#include "bench/conversion_cases.h"
#include "bench/memory_probe.h"
#include "bench/tag_search_cases.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

struct Report {
    std::string platform;
    std::vector<TagSearchRow> tagRows;
    std::vector<ConversionRow> conversionRows;
    std::vector<ScalingRow> scalingRows;
    bool floorChecked = false;
    bool floorSame = false;
    std::string floorCheck;
    bool memoryMeasured = false;
    std::vector<MemoryRow> memory;
    // Ratios time(first) / time(second) measured in pairs, iteration against
    // iteration, where a runner has them; they take the place of the ratio of
    // the two best times.
    std::map<std::pair<std::string, std::string>, double> pairedRatios;
};

// Prints the report; returns the number of goals missed.
int PrintReport(const Report &report, const Results &results);

}  // namespace bench
