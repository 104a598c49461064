// Tag search: FindDevmodeTag over DEVMODEWs of 220 bytes, 4 KiB and 64 KiB,
// with contents from harmless to adversarial, against memchr over the same
// bytes and, where the data is full of candidates, a simple byte loop.
#pragma once

#include "bench/bench_case.h"

#include <vector>

namespace bench {

struct TagSearchRow {
    std::string label;    // "64 KiB, no block"
    double bytes;
    std::string library;  // case names
    std::string floor;
    double minRatio;  // library throughput / floor throughput must reach this
    std::string goal;
};

void AddTagSearchCases(std::vector<Case> *cases, std::vector<TagSearchRow> *rows);

}  // namespace bench
