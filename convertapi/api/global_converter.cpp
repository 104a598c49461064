#include "convertapi/api/global_converter.h"

namespace convertapi {
namespace {
// Constructed with every field zero at load; its destructor runs Close at unload.
Converter processConverter;
}  // namespace

Converter &GlobalConverter() { return processConverter; }

}  // namespace convertapi
