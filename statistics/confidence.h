#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/simulation.h"

// 95 % confidence intervals for what a run measures: from independent
// estimates (replications), or from batch means within one run. An interval
// exists only where the data can carry one; otherwise it is empty, never a
// guess.
namespace waitline {

struct ConfidenceInterval {
    double low = 0.0;
    double high = 0.0;
};

// The 97.5 % quantile of Student's t with the given degrees of freedom (1 or
// more): the factor for a two-sided 95 % interval. Within 2e-6 of the exact
// value for every count.
double StudentT975(std::int64_t degreesOfFreedom);

// The 95 % interval for a ratio of long-run means, such as the seconds spent
// in the system per packet served, from independent pairs (one per batch or replication): the
// centre is the ratio of the sums, so that a batch weighs by its denominator,
// and the spread comes from each pair's departure from that ratio. With equal
// denominators this is the usual interval for a mean. Where every value is 0
// or more, the interval does not reach below 0. Empty for fewer than two
// pairs, for a total denominator of 0, or when a value is not finite.
std::optional<ConfidenceInterval> RatioInterval95(std::span<const double> numerators,
                                                  std::span<const double> denominators);

// Running totals of a run from Go, read off the model after each tick. Two of
// them give what a stretch of the run saw.
struct RunTotals {
    std::int64_t ticks = 0;
    std::int64_t elapsedMs = 0;  // the simulated time of those ticks
    std::int64_t sourced = 0;
    std::int64_t lost = 0;
    std::int64_t served = 0;
    std::int64_t timeInSystemMs = 0;  // the times in the system of the packets served, summed
    std::int64_t waitMs = 0;          // the parts of those times spent waiting for a server, summed
    std::int64_t depthTicks = 0;      // packets holding places, summed over the ticks
    std::int64_t busyTicks = 0;       // servers busy, summed over the ticks

    RunTotals operator-(const RunTotals& start) const
    {
        return {ticks - start.ticks,   elapsedMs - start.elapsedMs,   sourced - start.sourced,
                lost - start.lost,     served - start.served,         timeInSystemMs - start.timeInSystemMs,
                waitMs - start.waitMs, depthTicks - start.depthTicks, busyTicks - start.busyTicks};
    }

    // Adds one tick of the model: its time, the places held and the servers
    // busy, and the packets served in it.
    void addTick(const Simulation& sim);
};

// Servers busy at the end of a tick: the packets holding places, up to the
// number of servers, since places fill from the bottom, where the servers
// are. Exact but for the tick after the server count was lowered.
int ServersBusy(const Simulation& sim);

// A stretch of a run counts as one estimate only when it served at least this
// many packets: fewer say little about a time in the system, and a stretch
// that short is too correlated with its neighbours to stand on its own.
inline constexpr std::int64_t kMinimumServedPerEstimate = 10;

bool EnoughData(const RunTotals& stretch);

// The 95 % intervals of the measures that have one; the spread of the time in
// the system has none.
struct MeasureIntervals {
    std::optional<ConfidenceInterval> loss;
    std::optional<ConfidenceInterval> meanTimeInSystem;
    std::optional<ConfidenceInterval> meanWaitBeforeService;
    std::optional<ConfidenceInterval> meanInSystem;
    std::optional<ConfidenceInterval> meanWaiting;
    std::optional<ConfidenceInterval> throughput;
    std::optional<ConfidenceInterval> utilisation;
};

// The intervals from independent stretches, one estimate each, of a queue
// with `servers` servers: all empty unless there are two or more and every
// one has enough data.
MeasureIntervals IntervalsFrom(std::span<const RunTotals> stretches, int servers);
// The same for the mean time in the system alone.
std::optional<ConfidenceInterval> TimeInSystemIntervalFrom(std::span<const RunTotals> stretches);

}  // namespace waitline
