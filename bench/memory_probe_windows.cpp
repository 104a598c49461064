// On Windows the library's operator new lives inside convertapi.dll (its C++
// runtime is linked in statically), out of this program's reach: the memory
// is measured on the host.
#include "bench/memory_probe.h"

namespace bench {

bool MeasureLibraryMemory(std::vector<MemoryRow> *) { return false; }

}  // namespace bench
