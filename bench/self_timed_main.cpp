// The Windows runner (under Wine): Debian has Google Benchmark only for the
// host, so the same cases are timed here by hand, the same way: each case is
// run until a batch lasts long enough, several times in random order, and the
// best batch counts (for iterations of 100 us or more, the best single
// iteration). Options: --filter=<text> (cases whose name contains it),
// --repetitions=N, --min-time=<seconds>, --profile=<case> (bench_main.h).
#include "bench/bench_main.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// Wall-clock time under Wine also carries its server's work and whatever else
// the machine runs, so more rounds than on the host.
double g_minSeconds = 0.2;
int g_repetitions = 7;

}  // namespace

double bench::RunnerClock()
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

namespace {

double Now() { return bench::RunnerClock(); }

// Iterations at least this long are timed one by one.
constexpr double kLongIteration = 100e-6;

// Nanoseconds per iteration: of one batch that lasted at least g_minSeconds,
// or, for long iterations, of the fastest single iteration in it (the one
// that the server and the rest of the machine disturbed least).
double Measure(const bench::Case &c)
{
    c.setUp();
    const double warmStart = Now();
    c.run();  // warm
    // Short iterations are timed in batches only: the clock costs more than they do.
    const bool oneByOne = Now() - warmStart >= kLongIteration;
    long iterations = 1;
    double elapsed = 0;
    double fastest = 0;
    for (;;) {
        const double start = Now();
        if (oneByOne) {
            for (long i = 0; i < iterations; ++i) {
                const double before = Now();
                c.run();
                const double took = Now() - before;
                if (fastest == 0 || took < fastest) fastest = took;
            }
        } else {
            for (long i = 0; i < iterations; ++i) c.run();
        }
        elapsed = Now() - start;
        if (elapsed >= g_minSeconds || iterations >= 1000000000L) break;
        const double factor = elapsed > 0 ? g_minSeconds * 1.4 / elapsed : 10.0;
        iterations = std::max(iterations + 1, static_cast<long>(static_cast<double>(iterations) * std::min(factor, 10.0)));
    }
    c.tearDown();
    const double perIteration = elapsed / static_cast<double>(iterations);
    return (oneByOne ? fastest : perIteration) * 1e9;
}

bool Selected(const std::string &name, const char *filter) { return filter == nullptr || name.find(filter) != std::string::npos; }

}  // namespace

int main(int argc, char **argv)
{
    const int profiled = bench::ProfileRun(argc, argv);
    if (profiled >= 0) return profiled;
    // --filter=<text>: only the cases whose name contains the text.
    const char *filter = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--filter=", 9) == 0) filter = argv[i] + 9;
        if (std::strncmp(argv[i], "--repetitions=", 14) == 0) g_repetitions = std::max(1, std::atoi(argv[i] + 14));
        if (std::strncmp(argv[i], "--min-time=", 11) == 0) g_minSeconds = std::atof(argv[i] + 11);
    }

    std::vector<bench::Case> cases;
    bench::Report report;
    bench::PrepareRun("windows-x64 under Wine", &cases, &report);

    std::vector<size_t> order;
    for (size_t i = 0; i < cases.size(); ++i)
        if (Selected(cases[i].name, filter)) order.push_back(i);
    std::vector<double> best(cases.size(), 0);
    std::mt19937 random(1);
    for (int repetition = 0; repetition < g_repetitions; ++repetition) {
        std::shuffle(order.begin(), order.end(), random);
        for (size_t index : order) {
            const double ns = Measure(cases[index]);
            if (best[index] == 0 || ns < best[index]) best[index] = ns;
        }
        std::fprintf(stderr, "repetition %d of %d done\n", repetition + 1, g_repetitions);
    }

    // Wall-clock time under Wine carries the Wine server's work, and the time
    // the server gets on a busy machine varies by more than the library's share.
    bench::MeasurePairs(cases, &report, g_minSeconds * g_repetitions, filter);

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
