// Conversion cost: ConvertTicket, and ReadTicket + ConvertTicketEx on an
// instance, for nested tickets of 10, 100 and 1,000 features, each against its
// floor (floor_calls.h). Also the check that the floor makes the very calls
// the library makes.
#pragma once

#include "bench/bench_case.h"

#include <string>
#include <vector>

namespace bench {

struct ConversionRow {
    std::string label;
    std::string library;
    std::string floor;
    bool goal;  // the ratio goal applies (1,000 features)
};

struct ScalingRow {
    std::string label;
    std::string large;  // 1,000 features
    std::string small;  // 100 features
    std::string largeFloor;
    std::string smallFloor;
};

extern const size_t kFeatureCounts[3];
constexpr int kTicketDepth = 3;
constexpr double kMaxFloorRatio = 1.2;
constexpr double kMaxScaling = 12.0;

// False (after a message) when a ticket cannot be written.
bool AddConversionCases(std::vector<Case> *cases, std::vector<ConversionRow> *rows, std::vector<ScalingRow> *scaling);

// Runs each library case and its floor once, counting the platform's,
// the ticket library's and the driver's calls; prints any difference.
// True when they made the same calls (or nothing could be counted).
bool CheckFloorCalls(const std::vector<Case> &cases, const std::vector<ConversionRow> &rows, std::string *summary);

}  // namespace bench
