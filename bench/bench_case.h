// One benchmark body, shared by the Google Benchmark runner (host) and the
// self-timed runner (Windows): what runs before the clock, one timed
// iteration, and what runs after.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct Case {
    std::string name;
    double bytesPerIteration = 0;  // for a throughput, 0 when none
    std::function<void()> setUp = [] {};
    std::function<void()> run;
    std::function<void()> tearDown = [] {};
};

// Nanoseconds per iteration of each case that ran, by name.
using Results = std::map<std::string, double>;

// Keeps a result alive without the cost of a call.
extern volatile uintptr_t g_sink;

}  // namespace bench
