// Bounded wide-string functions: every text the library builds in a fixed
// buffer goes through these. Capacities and lengths count wide characters and
// a capacity includes the terminating zero. Results are HRESULT-style:
// 0 success, 0x80070057 invalid argument, 0x8007007A did not fit (the
// destination then holds the truncated, terminated text).
#pragma once

#include "convertapi/common/platform.h"

#include <cstddef>

namespace convertapi {

constexpr HRESULT kBoundedOk = 0;
constexpr HRESULT kBoundedInvalidArgument = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kBoundedInsufficientBuffer = static_cast<HRESULT>(0x8007007A);
constexpr size_t kBoundedMaxCapacity = 0x7FFFFFFF;

HRESULT BoundedCopy(WCHAR *destination, size_t capacity, const WCHAR *source);
HRESULT BoundedCat(WCHAR *destination, size_t capacity, const WCHAR *source);
HRESULT BoundedLength(const WCHAR *text, size_t maximum, size_t *length);
// printf-style: %lu, %u, %lx, %x, %d, %ld, %s (wide text), %c (wide character) and %%.
HRESULT BoundedFormat(WCHAR *destination, size_t capacity, const WCHAR *format, ...);

}  // namespace convertapi
