#pragma once

#include <array>
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

// The same for a share of events, such as packets lost per packet sourced,
// taken on the log-odds scale: the interval stays between 0 and 1 and, for a
// rare event, reaches further up than down, as the estimate itself scatters;
// a symmetric interval around a handful of losses per batch holds the true
// share markedly less often than it claims. Empty, besides, until the share
// is strictly between 0 and 1: a run that never lost a packet cannot say how
// rarely it loses one.
std::optional<ConfidenceInterval> ShareInterval95(std::span<const double> numerators,
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

// Batch means within one run whose length is known from the start: the ticks
// after the warm-up are split into kBatchCount batches of equal length (to a
// tick), each taken as one estimate. Fixed storage; after each tick the model
// is read once, which costs a few additions.
class RunBatches {
public:
    static constexpr int kBatchCount = 20;

    // Counts ticks from Go. A run whose part after the warm-up has fewer
    // ticks than batches gets no interval.
    RunBatches(std::int64_t warmupTicks, std::int64_t runTicks);

    // Call after every tick of the run, starting with the first after Go.
    void afterTick(const Simulation& sim)
    {
        now_.addTick(sim);
        servers_ = sim.NumServers;
        if (now_.ticks == boundaries_[next_]) {
            closeBatches(sim);
        }
    }

    // The totals from the end of the warm-up to the end of the run; all zero
    // until the run has ended.
    RunTotals afterWarmup() const;
    // The totals from Go to now.
    const RunTotals& fromGo() const { return now_; }
    // Empty until every batch is complete and has enough data.
    MeasureIntervals intervals() const;

private:
    void closeBatches(const Simulation& sim);

    // The tick at which each batch begins, then the end of the last, then a
    // tick that never comes.
    std::array<std::int64_t, kBatchCount + 2> boundaries_{};
    std::array<RunTotals, kBatchCount + 1> marks_{};
    int next_ = 0;
    int servers_ = 1;
    RunTotals now_;
};

}  // namespace waitline
