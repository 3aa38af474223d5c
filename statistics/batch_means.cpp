#include "statistics/batch_means.h"

namespace waitline {

void BatchMeans::mergePairs()
{
    const int merged = complete() / 2;
    for (std::size_t k = 0; k <= static_cast<std::size_t>(merged); ++k) {
        marks_[k] = marks_[2 * k];
    }
    marksTaken_ = merged + 1;
}

RunTotals BatchMeans::covered() const
{
    if (marksTaken_ < 2) {
        return {};
    }
    return marks_[static_cast<std::size_t>(marksTaken_ - 1)] - marks_[0];
}

std::span<const RunTotals> BatchMeans::batches(Batches& batches, int fewest) const
{
    const int count = complete();
    if (count < fewest || count == 0) {
        return {};
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
        batches[k] = marks_[k + 1] - marks_[k];
    }
    return {batches.data(), static_cast<std::size_t>(count)};
}

MeasureIntervals BatchMeans::intervals(int servers, int fewest) const
{
    Batches storage;
    return IntervalsFrom(batches(storage, fewest), servers);
}

std::optional<ConfidenceInterval> BatchMeans::timeInSystemInterval(int fewest) const
{
    Batches storage;
    return TimeInSystemIntervalFrom(batches(storage, fewest));
}

RunBatches::RunBatches(std::int64_t warmupTicks, std::int64_t runTicks)
{
    const std::int64_t measured = runTicks - warmupTicks;
    if (warmupTicks < 0 || measured < kBatchCount) {
        boundaries_.fill(-1);  // no batch ever closes: no interval
        return;
    }
    for (int k = 0; k <= kBatchCount; ++k) {
        boundaries_[k] = warmupTicks + measured * k / kBatchCount;
    }
    boundaries_[kBatchCount + 1] = -1;
    // Without a warm-up the first batch begins at Go, before any tick.
    if (boundaries_[0] == 0) {
        batches_.mark(RunTotals{});
        ++next_;
    }
}

void RunBatches::closeBatches(const Simulation& sim)
{
    now_.sourced = sim.PacketsSourced;
    now_.lost = sim.PacketsLost;
    do {
        batches_.mark(now_);
        ++next_;
    } while (next_ <= kBatchCount && boundaries_[next_] == now_.ticks);
}

RunTotals RunBatches::afterWarmup() const { return next_ <= kBatchCount ? RunTotals{} : batches_.covered(); }

}  // namespace waitline
