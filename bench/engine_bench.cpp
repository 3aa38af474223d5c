// Benchmarks of the simulation without a window: one tick at light and heavy
// load (and at heavy load with the analysis record following it),
// one interval draw for each distribution, and the statistics format.

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "control/form.h"
#include "engine/intervals.h"
#include "engine/number_text.h"
#include "statistics/run_record.h"
#include "tests/support/load.h"

namespace {

using namespace waitline;

// Ticks a warm run, with the once-a-second check outside the timing.
void TickWarmRun(benchmark::State& state, Form& form)
{
    int ticks = 0;
    for (auto _ : state) {
        DeliverTimerMove(form);
        if (++ticks == 100) {
            ticks = 0;
            state.PauseTiming();
            DeliverTimerCheck(form);
            state.ResumeTiming();
        }
    }
    int inFlight = 0;
    for (const Packet& packet : form.sim.packets) {
        inFlight += packet.Visible ? 1 : 0;
    }
    state.counters["packets_visible"] = inFlight;
}

void BM_Tick(benchmark::State& state)
{
    Form form;
    StartWarmRun(form, state.range(0) != 0 ? Load::Heavy : Load::Light);
    TickWarmRun(state, form);
}
BENCHMARK(BM_Tick)->Arg(0)->ArgName("heavy")->Arg(1);

// The same heavy tick while the analysis window follows the run: the record
// adds its collection to every tick.
void BM_TickRecorded(benchmark::State& state)
{
    Form form;
    RunRecord record;
    StartWarmRun(form, Load::Heavy);
    form.record = &record;
    record.restart(form.sim);
    TickWarmRun(state, form);
}
BENCHMARK(BM_TickRecorded);

void BM_NextInterval(benchmark::State& state)
{
    const std::string_view name = kDistributionNames[static_cast<std::size_t>(state.range(0))];
    SeededRandom random(5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(NextInterval(name, 2.0, random));
    }
    state.SetLabel(std::string(name));
}
BENCHMARK(BM_NextInterval)->DenseRange(0, 5);

void BM_FormatStatistic(benchmark::State& state)
{
    double value = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatStatistic(value, " s"));
        value += 0.013;
    }
}
BENCHMARK(BM_FormatStatistic);

}  // namespace

BENCHMARK_MAIN();
