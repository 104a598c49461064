// Small text helpers of the benchmarks: UTF-16 strings built from ASCII.
#pragma once

#include "convertapi/common/platform.h"

#include <string>

namespace bench {

using WString = std::basic_string<WCHAR>;

inline WString Widen(const std::string &text)
{
    WString wide;
    wide.reserve(text.size());
    for (unsigned char c : text) wide.push_back(static_cast<WCHAR>(c));
    return wide;
}

// ASCII only: the benchmarks make every name and path themselves.
inline std::string Narrow(const WString &text)
{
    std::string narrow;
    narrow.reserve(text.size());
    for (WCHAR c : text) narrow.push_back(static_cast<char>(c));
    return narrow;
}

}  // namespace bench
