#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "engine/simulation.h"
#include "statistics/confidence.h"

// Batch means within one run: the run's totals are marked where one batch ends
// and the next begins, and each batch, the difference of two marks, is taken
// as one estimate. The batch mode and the analysis window both keep their
// batches here, and differ only in where they put the marks.
namespace waitline {

class BatchMeans {
public:
    static constexpr int kMaxBatches = 20;

    void clear() { marksTaken_ = 0; }
    // Ends the batch under way, if any, and begins the next. At most
    // kMaxBatches batches: merge them before marking again.
    void mark(const RunTotals& now) { marks_[static_cast<std::size_t>(marksTaken_++)] = now; }
    int complete() const { return marksTaken_ > 0 ? marksTaken_ - 1 : 0; }
    bool full() const { return complete() == kMaxBatches; }
    // Neighbouring batches merged in pairs: half as many, each twice as long,
    // still covering the run from the first mark, in the same storage. Only
    // for an even number of complete batches, as when full: an odd last batch
    // would have no partner and be dropped.
    void mergePairs();

    // From the first mark to the last; all zero before two marks.
    RunTotals covered() const;
    // The intervals of a queue with `servers` servers: all empty until there
    // are at least `fewest` complete batches, each with enough data.
    MeasureIntervals intervals(int servers, int fewest) const;
    // The same for the mean time in the system alone.
    std::optional<ConfidenceInterval> timeInSystemInterval(int fewest) const;

private:
    using Batches = std::array<RunTotals, kMaxBatches>;
    // The complete batches written into `batches`; empty while there are
    // fewer than `fewest`.
    std::span<const RunTotals> batches(Batches& batches, int fewest) const;

    // marks_[k] holds the totals at the start of batch k.
    std::array<RunTotals, kMaxBatches + 1> marks_{};
    int marksTaken_ = 0;
};

// Batch means within one run whose length is known from the start: the ticks
// after the warm-up are split into kBatchCount batches of equal length (to a
// tick), each taken as one estimate. Fixed storage; after each tick the model
// is read once, which costs a few additions.
class RunBatches {
public:
    static constexpr int kBatchCount = BatchMeans::kMaxBatches;

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
    MeasureIntervals intervals() const { return batches_.intervals(servers_, kBatchCount); }

private:
    void closeBatches(const Simulation& sim);

    // The tick at which each batch begins, then the end of the last, then a
    // tick that never comes.
    std::array<std::int64_t, kBatchCount + 2> boundaries_{};
    int next_ = 0;
    int servers_ = 1;
    RunTotals now_;
    BatchMeans batches_;
};

}  // namespace waitline
