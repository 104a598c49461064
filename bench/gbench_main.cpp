// The host runner: Google Benchmark times every case; the report follows.
// Without options of its own it repeats each case five times in random order
// (so that drift of the machine hits library and floor alike) and keeps the
// best repetition's CPU time: other processes on the machine slow a
// repetition down, they never speed one up.
#include "bench/bench_main.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

class CollectingReporter : public benchmark::ConsoleReporter {
public:
    explicit CollectingReporter(bench::Results *results) : results_(results) {}

    // Keeps the best repetition of each case and shows only the aggregates.
    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> shown;
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                shown.push_back(run);
                continue;
            }
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
};

}  // namespace

int main(int argc, char **argv)
{
    std::vector<char *> args(argv, argv + argc);
    std::string defaults[] = {"--benchmark_repetitions=5", "--benchmark_enable_random_interleaving=true",
                              "--benchmark_min_time=0.1"};
    // Defaults first: an option given on the command line comes later and wins.
    for (int i = 2; i >= 0; --i) args.insert(args.begin() + 1, &defaults[i][0]);
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
    CollectingReporter reporter(&results);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bench::PrintReport(report, results);
    return 0;
}
