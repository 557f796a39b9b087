// The benchmark program: runs every case next to its floor and prints the
// ratios with their targets. TVX_BENCH_ITERATIONS=n fixes the iteration count
// of every case, for instruction counting under callgrind.
#include "bench/BenchSupport.h"

#include "sim/SimulatedIde.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace tvx::bench {

namespace {

struct Pair {
    std::string name;
    double target;
};

std::vector<Pair>& Pairs()
{
    static std::vector<Pair> pairs;
    return pairs;
}

benchmark::internal::Benchmark* Configure(benchmark::internal::Benchmark* b)
{
    if (const char* fixed = std::getenv("TVX_BENCH_ITERATIONS"))
        b->Iterations(std::atoll(fixed));
    else
        // The median of three runs: one run that another process disturbed
        // does not make the ratio.
        b->MinTime(0.1)->Repetitions(3)->DisplayAggregatesOnly(true);
    return b;
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // CPU time: on a shared machine the wall clock also counts the time
        // other processes held the core, which swamps the ratios.
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (single || median)
                nanoseconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\n%-56s %12s %12s %8s %8s\n", "Case", "cpu (ns)", "floor (ns)", "ratio", "target");
        for (const Pair& pair : Pairs()) {
            auto subject = nanoseconds_.find(pair.name);
            auto floor = nanoseconds_.find(pair.name + "/floor");
            if (subject == nanoseconds_.end() || floor == nanoseconds_.end() || floor->second <= 0)
                continue;
            double ratio = subject->second / floor->second;
            if (pair.target > 0)
                std::printf("%-56s %12.1f %12.1f %8.2f %7.2fx %s\n", pair.name.c_str(), subject->second, floor->second,
                            ratio, pair.target, ratio <= pair.target ? "met" : "MISSED");
            else
                std::printf("%-56s %12.1f %12.1f %8.2f %8s\n", pair.name.c_str(), subject->second, floor->second, ratio,
                            "report");
        }
        for (const auto& [name, ns] : nanoseconds_)
            if (name.rfind("Scaling/", 0) == 0)
                std::printf("%-56s %12.1f\n", name.c_str(), ns);
    }

private:
    std::map<std::string, double> nanoseconds_;
};

} // namespace

sim::SimulatedIde& BenchIde()
{
    static sim::SimulatedIde* ide = new sim::SimulatedIde();
    return *ide;
}

void RegisterPair(const std::string& name, double target, std::function<void(benchmark::State&)> subject,
                  std::function<void(benchmark::State&)> floor)
{
    Pairs().push_back({name, target});
    Configure(benchmark::RegisterBenchmark(name.c_str(), std::move(subject)));
    Configure(benchmark::RegisterBenchmark((name + "/floor").c_str(), std::move(floor)));
}

void RegisterSingle(const std::string& name, std::function<void(benchmark::State&)> body)
{
    Configure(benchmark::RegisterBenchmark(name.c_str(), std::move(body)));
}

void RegisterMessageHookBenchmarks();
void RegisterStartupBenchmarks();
void RegisterShortcutBenchmarks();
void RegisterInteropBenchmarks();
void RegisterMenuLookupBenchmarks();
void RegisterTabSetBenchmarks();
void RegisterNotifierBenchmarks();

} // namespace tvx::bench

int main(int argc, char** argv)
{
    using namespace tvx::bench;
    RegisterMessageHookBenchmarks();
    RegisterShortcutBenchmarks();
    RegisterInteropBenchmarks();
    RegisterMenuLookupBenchmarks();
    RegisterTabSetBenchmarks();
    RegisterNotifierBenchmarks();
    RegisterStartupBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
