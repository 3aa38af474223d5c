#include "statistics/run_record.h"

#include <algorithm>
#include <cmath>

#include "engine/intervals.h"

namespace waitline {

namespace {

// A step this long against the shorter of the mean intervals changes the
// long-run numbers by more than their usual intervals: 10 ms at 2 packets a
// second and above.
constexpr double kStepShareThatMatters = 0.02;

// The box's text when it names a distribution, or empty.
std::string_view NameOfDistribution(std::string_view text)
{
    const std::optional<Distribution> named = DistributionNamed(text);
    return named ? DistributionName(*named) : std::string_view{};
}

// The rate the next draw would read from the box: the reader is copied, so
// the model's own reader keeps what it has.
double RateInUse(RateReader reader, std::string_view text) { return reader.read(text); }

// The clock adds up steps of 10 ms, which a double holds only nearly: the
// series keeps the hundredth it stands for.
double ClockSeconds(const Simulation& sim) { return std::round(sim.SimTime * 100.0) / 100.0; }

}  // namespace

SeriesSettings SettingsInUse(const Simulation& sim)
{
    const DisplayModel& d = sim.display;
    return {NameOfDistribution(d.SourceCombo.text),
            NameOfDistribution(d.ServiceCombo.text),
            RateInUse(sim.source.arrivalRate, d.ArrivalCombo.text),
            RateInUse(sim.serviceRate, d.ServeRateCombo.text),
            sim.NumServers,
            sim.QueueLength};
}

bool TickStepMatters(const SeriesSettings& settings)
{
    return std::max(settings.arrivalRate, settings.serviceRate) * kTickSeconds >= kStepShareThatMatters;
}

RunRecord::RunRecord() : rows_(kRowCapacity) {}

void RunRecord::restart(const Simulation& sim)
{
    ++seriesNumber_;
    settings_ = SettingsInUse(sim);
    sourcedAtStart_ = sim.PacketsSourced;
    lostAtStart_ = sim.PacketsLost;
    now_ = Totals{};
    rowCount_ = 0;
    rowStepSeconds_ = 1;
    rowDue_ = kTicksPerSecond;
    lastRowTicks_ = 0;
    depthNext_ = 0;
    depthCount_ = 0;
    depthDue_ = kDepthSampleTicks;
    histogram_ = TimeHistogram{};
    batches_.clear();
    batchTicks_ = kTicksPerSecond;
    batchDue_ = kWarmupTicks;
}

bool RunRecord::followSettings(const Simulation& sim)
{
    if (SettingsInUse(sim) == settings_) {
        return false;
    }
    restart(sim);
    return true;
}

void RunRecord::afterTick(const Simulation& sim)
{
    RunTotals& run = now_.run;
    run.addTick(sim);
    for (int k = 0; k < sim.servedInTickCount; ++k) {
        const std::int32_t timeMs = std::max(sim.servedInTick[k], 0);
        now_.squaredMs += static_cast<double>(timeMs) * static_cast<double>(timeMs);
        addToHistogram(timeMs);
    }
    run.sourced = static_cast<std::int64_t>(sim.PacketsSourced) - sourcedAtStart_;
    run.lost = static_cast<std::int64_t>(sim.PacketsLost) - lostAtStart_;

    if (run.ticks == depthDue_) {
        depth_[depthNext_] = DepthSample{ClockSeconds(sim), sim.QueueDepth};
        depthNext_ = (depthNext_ + 1) % depth_.size();
        depthCount_ = std::min(depthCount_ + 1, depth_.size());
        depthDue_ += kDepthSampleTicks;
    }
    if (run.ticks == batchDue_) {
        closeBatch();
    }
    if (run.ticks == rowDue_) {
        addRow(sim);
    }
}

void RunRecord::addToHistogram(std::int32_t timeMs)
{
    std::array<std::int64_t, TimeHistogram::kBinCount>& counts = histogram_.counts;
    while (timeMs / histogram_.binWidthMs >= TimeHistogram::kBinCount) {
        // Wider bins, each the sum of two neighbours: nothing counted moves.
        for (std::size_t i = 0; i < counts.size() / 2; ++i) {
            counts[i] = counts[2 * i] + counts[2 * i + 1];
        }
        std::fill(counts.begin() + TimeHistogram::kBinCount / 2, counts.end(), 0);
        histogram_.binWidthMs *= 2;
    }
    ++counts[timeMs / histogram_.binWidthMs];
}

void RunRecord::closeBatch()
{
    batches_.mark(now_.run);
    if (batches_.full()) {
        // Twice as long batches, half as many: the run so far is still
        // covered from the end of the warm-up, in fixed storage.
        batches_.mergePairs();
        batchTicks_ *= 2;
    }
    batchDue_ = now_.run.ticks + batchTicks_;
}

void RunRecord::addRow(const Simulation& sim)
{
    if (rowCount_ == rows_.size()) {
        // Keep the rows at the even multiples of the step and double it; this
        // tick lies on an odd multiple, so it is not taken.
        for (std::size_t i = 0; i < rowCount_ / 2; ++i) {
            rows_[i] = rows_[2 * i + 1];
        }
        rowCount_ /= 2;
        rowDue_ = now_.run.ticks + static_cast<std::int64_t>(kTicksPerSecond) * rowStepSeconds_;
        rowStepSeconds_ *= 2;
        return;
    }
    rows_[rowCount_++] = rowOf(sim);
    lastRowTicks_ = now_.run.ticks;
    rowDue_ = now_.run.ticks + static_cast<std::int64_t>(kTicksPerSecond) * rowStepSeconds_;
}

SeriesRow RunRecord::rowOf(const Simulation& sim) const
{
    const RunTotals& run = now_.run;
    const auto served = static_cast<double>(run.served);
    SeriesRow row;
    row.time = ClockSeconds(sim);
    row.sourced = run.sourced;
    row.served = run.served;
    row.lost = run.lost;
    row.percentDropped = SafeRatio(static_cast<double>(run.lost) * 100.0, static_cast<double>(run.sourced));
    row.meanTimeInSystem = SafeRatio(static_cast<double>(run.timeInSystemMs), served) / 1000.0;
    row.sdTimeInSystem = SdSecondsOf(now_.squaredMs, static_cast<double>(run.timeInSystemMs), served);
    row.meanInSystem = SafeRatio(static_cast<double>(run.depthTicks), static_cast<double>(run.ticks));
    row.placesHeld = sim.QueueDepth;
    row.meanTimeBand = batches_.timeInSystemInterval(kMinBatches);
    return row;
}

std::optional<SeriesRow> RunRecord::rowNow(const Simulation& sim) const
{
    if (now_.run.ticks == lastRowTicks_) {
        return std::nullopt;
    }
    return rowOf(sim);
}

HistogramView ViewOfHistogram(const TimeHistogram& histogram, int mostBins)
{
    HistogramView view;
    const std::array<std::int64_t, TimeHistogram::kBinCount>& counts = histogram.counts;
    for (const std::int64_t count : counts) {
        view.total += count;
    }
    // The first bins that hold 99 % of the times.
    int shown = 0;
    std::int64_t held = 0;
    while (shown < TimeHistogram::kBinCount && (held * 100 < view.total * 99 || shown == 0)) {
        held += counts[static_cast<std::size_t>(shown)];
        ++shown;
    }
    const int group = (shown + mostBins - 1) / std::max(mostBins, 1);
    view.binSeconds = histogram.binWidthMs * group / 1000.0;
    std::int64_t inBins = 0;
    for (int first = 0; first < shown; first += group) {
        std::int64_t sum = 0;
        for (int bin = first; bin < std::min(first + group, TimeHistogram::kBinCount); ++bin) {
            sum += counts[static_cast<std::size_t>(bin)];
        }
        view.counts.push_back(sum);
        inBins += sum;
    }
    view.beyond = view.total - inBins;
    return view;
}

std::vector<DepthSample> RunRecord::depthSamples() const
{
    std::vector<DepthSample> samples;
    samples.reserve(depthCount_);
    const std::size_t oldest = (depthNext_ + depth_.size() - depthCount_) % depth_.size();
    for (std::size_t k = 0; k < depthCount_; ++k) {
        samples.push_back(depth_[(oldest + k) % depth_.size()]);
    }
    return samples;
}

SeriesMeasures RunRecord::measures() const
{
    const RunTotals& run = now_.run;
    SeriesMeasures m;
    m.elapsed = static_cast<double>(run.elapsedMs) / 1000.0;
    m.sourced = run.sourced;
    m.served = run.served;
    m.lost = run.lost;
    m.values = MeasuresOf(run, now_.squaredMs, settings_.servers);
    m.intervals = intervals();
    return m;
}

MeasureIntervals RunRecord::intervals() const { return batches_.intervals(settings_.servers, kMinBatches); }

}  // namespace waitline
