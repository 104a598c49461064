// A loadable module with one export and no driver entry points. It calls
// malloc, so the C library is among its dependencies.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int TestModuleValue(void)
{
    void *p = std::malloc(1);
    std::free(p);
    return 42;
}
