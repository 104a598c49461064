// The host runner: Google Benchmark times every case; the report follows.
// Without options of its own it repeats each case five times in random order
// (so that drift of the machine hits library and floor alike) and keeps the
// best repetition's CPU time: other processes on the machine slow a
// repetition down, they never speed one up.
#include "bench/bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <cstring>
#include <string>
#include <vector>

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    CollectingReporter(bench::Results *results, bool aggregatesOnly) : results_(results), aggregatesOnly_(aggregatesOnly) {}

    // Keeps the best repetition of each case and shows only the aggregates.
    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> shown;
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate || !aggregatesOnly_) shown.push_back(run);
            if (run.run_type == Run::RT_Aggregate) continue;
            if (run.error_occurred) continue;
            const std::string &name = run.run_name.function_name;
            const double time = run.GetAdjustedCPUTime();
            auto it = results_->find(name);
            if (it == results_->end() || time < it->second) (*results_)[name] = time;
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }

private:
    bench::Results *results_;
    bool aggregatesOnly_;
};

}  // namespace

double bench::RunnerClock()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

namespace {

int Repetitions(const std::vector<char *> &args)
{
    int repetitions = 1;
    for (const char *arg : args)
        if (std::strncmp(arg, "--benchmark_repetitions=", 24) == 0) repetitions = std::atoi(arg + 24);
    return repetitions;
}

}  // namespace

int main(int argc, char **argv)
{
    const int profiled = bench::ProfileRun(argc, argv);
    if (profiled >= 0) return profiled;

    std::vector<char *> args(argv, argv + argc);
    std::string defaults[] = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                              "--benchmark_min_time=0.1"};
    // Defaults first: an option given on the command line comes later and wins.
    for (int i = 2; i >= 0; --i) args.insert(args.begin() + 1, &defaults[i][0]);
    const bool repeated = Repetitions(args) > 1;  // before Initialize takes the options out
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    std::vector<bench::Case> cases;
    bench::Report report;
    bench::PrepareRun("host", &cases, &report);

    for (const bench::Case &c : cases) {
        benchmark::RegisterBenchmark(c.name.c_str(), [c](benchmark::State &state) {
            c.setUp();
            for (auto _ : state) c.run();
            c.tearDown();
            if (c.bytesPerIteration > 0)
                state.SetBytesProcessed(static_cast<int64_t>(static_cast<double>(state.iterations()) * c.bytesPerIteration));
        })->Unit(benchmark::kNanosecond);
    }

    bench::Results results;
    // Each repetition on its own line only when there is just one.
    CollectingReporter reporter(&results, repeated);
    const size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // The conversions' ratios once more, iteration against iteration (only
    // when the conversions were among the cases run).
    if (ran > 0 && results.count("ConvertTicket/1000 features") != 0) bench::MeasurePairs(cases, &report, 2.0, nullptr);
    bench::PrintReport(report, results);
    return 0;
}
