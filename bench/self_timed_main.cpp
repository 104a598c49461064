// The Windows runner (under Wine): Debian has Google Benchmark only for the
// host, so the same cases are timed here by hand, the same way: each case is
// run until a batch lasts long enough, five times in random order, and the
// best batch counts.
#include "bench/bench_main.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kMinSeconds = 0.1;
constexpr int kRepetitions = 5;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Nanoseconds per iteration of one batch that lasted at least kMinSeconds.
double Measure(const bench::Case &c)
{
    c.setUp();
    c.run();  // warm
    long iterations = 1;
    double elapsed = 0;
    for (;;) {
        const double start = Now();
        for (long i = 0; i < iterations; ++i) c.run();
        elapsed = Now() - start;
        if (elapsed >= kMinSeconds || iterations >= 1000000000L) break;
        const double factor = elapsed > 0 ? kMinSeconds * 1.4 / elapsed : 10.0;
        iterations = std::max(iterations + 1, static_cast<long>(static_cast<double>(iterations) * std::min(factor, 10.0)));
    }
    c.tearDown();
    return elapsed * 1e9 / static_cast<double>(iterations);
}

bool Selected(const std::string &name, const char *filter) { return filter == nullptr || name.find(filter) != std::string::npos; }

}  // namespace

int main(int argc, char **argv)
{
    const int profiled = bench::ProfileRun(argc, argv);
    if (profiled >= 0) return profiled;
    // --filter=<text>: only the cases whose name contains the text.
    const char *filter = nullptr;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--filter=", 9) == 0) filter = argv[i] + 9;

    std::vector<bench::Case> cases;
    bench::Report report;
    bench::PrepareRun("windows-x64 under Wine", &cases, &report);

    std::vector<size_t> order;
    for (size_t i = 0; i < cases.size(); ++i)
        if (Selected(cases[i].name, filter)) order.push_back(i);
    std::vector<double> best(cases.size(), 0);
    std::mt19937 random(1);
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
        std::shuffle(order.begin(), order.end(), random);
        for (size_t index : order) {
            const double ns = Measure(cases[index]);
            if (best[index] == 0 || ns < best[index]) best[index] = ns;
        }
        std::fprintf(stderr, "repetition %d of %d done\n", repetition + 1, kRepetitions);
    }

    bench::Results results;
    std::printf("%-60s %16s\n", "case", "best ns/iter");
    for (size_t index = 0; index < cases.size(); ++index) {
        if (best[index] == 0) continue;
        results[cases[index].name] = best[index];
        std::printf("%-60s %16.1f\n", cases[index].name.c_str(), best[index]);
    }
    bench::PrintReport(report, results);
    return 0;
}
