// The fault sweep's replacement of operator new and delete: the library's
// allocations (new (std::nothrow), the only form it uses) ask hostwin whether
// to fail, as hostwin_alloc_hook does, and are also counted while they live,
// so that a test can tell whether a call gave back everything it took.
#pragma once

#include <cstddef>

namespace faults {

// Blocks from new (std::nothrow) that have not been deleted yet.
std::size_t LiveAllocations();

}  // namespace faults
