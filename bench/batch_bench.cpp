// The batch mode's speed: 10,000 simulated seconds of the heavy load on one
// core, and the same amount of work split into replications on one thread
// and on two. Wall-clock time, since the work runs on threads of its own.

#include <benchmark/benchmark.h>

#include "runs/batch_run.h"

namespace {

using namespace waitline::batch;

// The heavy load of the figures: rates 50, ten places, five servers.
Settings HeavyLoad(std::int64_t seconds, int replications)
{
    Settings s;
    s.arrivalRate = 50.0;
    s.serviceRate = 50.0;
    s.queueLength = 10;
    s.servers = 5;
    s.seconds = seconds;
    s.warmup = seconds / 10;
    s.replications = replications;
    return s;
}

void BM_BatchHeavyOneCore(benchmark::State& state)
{
    const Settings settings = HeavyLoad(state.range(0), 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunReplications(settings, {1}));
    }
    state.counters["simulated_s_per_s"] = benchmark::Counter(
        static_cast<double>(settings.seconds) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchHeavyOneCore)->ArgName("seconds")->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Four replications of 2,500 s each: the same 10,000 simulated seconds.
void BM_BatchReplications(benchmark::State& state)
{
    const Settings settings = HeavyLoad(2500, 4);
    const auto threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunReplications(settings, {threads}));
    }
    state.counters["simulated_s_per_s"] = benchmark::Counter(
        static_cast<double>(settings.seconds * settings.replications) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchReplications)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
