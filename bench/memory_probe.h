// The library's own heap during a conversion: the bytes it holds at its
// peak, counted from the allocations whose caller lies inside the library's
// module (not the platform's, the stand-ins' or this program's).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct MemoryRow {
    std::string label;
    size_t features;
    int depth;
    long peakBytes;    // most bytes the library held at once
    long allocations;  // operator new calls of the library
    long localBlocks;  // LocalAlloc calls (-1 when not counted)
};

// False when the platform offers no way to attribute allocations (Windows).
bool MeasureLibraryMemory(std::vector<MemoryRow> *rows);

}  // namespace bench
