// The side-by-side table of a round trip: every setting that went in, what
// came out for it, and the settings that only came out (a driver's defaults).
// Settings are matched by section and name, the name ignoring the case of A
// to Z as the registry that carries them compares it; values must be equal.
#pragma once

#include "ticket_features.h"

#include <ostream>
#include <string>
#include <vector>

namespace convertapi_cli {

enum class RowState {
    Preserved,  // came out with the same value
    Changed,    // came out with another value
    Lost,       // did not come out
    Added,      // came out without going in
};

struct RoundTripRow {
    std::string section;
    std::string name;
    std::string in;
    std::string out;
    RowState state;
};

std::vector<RoundTripRow> CompareFeatures(const std::vector<TicketFeature> &in,
                                          const std::vector<TicketFeature> &out);

// True when every setting that went in came out unchanged.
bool AllPreserved(const std::vector<RoundTripRow> &rows);

// The table, then one line of counts.
void PrintRoundTripTable(const std::vector<RoundTripRow> &rows, std::ostream &out);

}  // namespace convertapi_cli
