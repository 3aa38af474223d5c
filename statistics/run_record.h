#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "engine/simulation.h"
#include "statistics/batch_means.h"
#include "statistics/confidence.h"
#include "statistics/measures.h"

// What a run looks like over time, for the analysis window: a series that
// begins at Go or at a change of the settings in use, collected after every
// tick into storage that is reserved once, when the record is made.
namespace waitline {

// The settings a draw would use now: the distributions in the boxes, the
// rates the next draws would read from the rate boxes, and the structure.
struct SeriesSettings {
    std::string_view arrival;  // one of kDistributionNames, or empty
    std::string_view service;
    double arrivalRate = 1.0;
    double serviceRate = 1.0;
    int servers = 1;
    int queueLength = 3;

    friend bool operator==(const SeriesSettings&, const SeriesSettings&) = default;
};

SeriesSettings SettingsInUse(const Simulation& sim);

// Whether the demo's 10 ms step is long enough, against the mean time between
// arrivals or a mean service time, to move its long-run numbers visibly away
// from the textbook's.
bool TickStepMatters(const SeriesSettings& settings);

// One row of the series, taken every whole simulated second of it (every few
// seconds once a long series has been thinned). Counts and statistics are
// those of the series alone: after a change of settings they start again
// from 0, unlike the window's, which run from Go.
struct SeriesRow {
    double time = 0.0;  // simulated seconds since Go, to the hundredth
    std::int64_t sourced = 0;
    std::int64_t served = 0;
    std::int64_t lost = 0;
    double percentDropped = 0.0;
    double meanTimeInSystem = 0.0;  // seconds
    double sdTimeInSystem = 0.0;    // seconds
    double meanInSystem = 0.0;      // packets holding places, averaged over the ticks
    int placesHeld = 0;             // packets holding places at this tick
    // The 95 % interval of the mean time in the system at this second; empty
    // while the data cannot carry one.
    std::optional<ConfidenceInterval> meanTimeBand;
};

struct DepthSample {
    double time = 0.0;
    int placesHeld = 0;
};

// The times in the system of the packets served, counted into bins of equal
// width from 0. The width starts at one tick and doubles, merging pairs of
// bins, whenever a time lies beyond the last bin. So many bins that one long
// outlier still leaves the bulk of the times finely counted.
struct TimeHistogram {
    static constexpr int kBinCount = 2048;
    std::int32_t binWidthMs = kTickMs;
    std::array<std::int64_t, kBinCount> counts{};
};

// What the histogram chart shows: bins of equal width from 0 to about the
// 99th percentile of the times, at most `mostBins` of them, and one more for
// every time beyond, so that one long outlier cannot squash the picture.
struct HistogramView {
    double binSeconds = kTickSeconds;
    std::vector<std::int64_t> counts;  // the bins from 0
    std::int64_t beyond = 0;           // the times from the end of the last bin on
    std::int64_t total = 0;
};
HistogramView ViewOfHistogram(const TimeHistogram& histogram, int mostBins);

// The measures of the series so far, with the intervals from its batch
// means after the warm-up.
struct SeriesMeasures {
    double elapsed = 0.0;  // simulated seconds in the series
    std::int64_t sourced = 0;
    std::int64_t served = 0;
    std::int64_t lost = 0;
    MeasureValues values;
    MeasureIntervals intervals;
};

class RunRecord {
public:
    // Rows before the series is thinned: four hours at one row a second.
    static constexpr std::size_t kRowCapacity = 14400;
    static constexpr int kTicksPerSecond = waitline::kTicksPerSecond;
    // The places held over the last minute, one sample every tenth of a second.
    static constexpr int kDepthSampleTicks = kTicksPerSecond / 10;
    static constexpr std::size_t kDepthSamples = 600;
    // The first seconds of a series, while the queue fills from empty, are
    // left out of its intervals.
    static constexpr std::int64_t kWarmupTicks = 30 * std::int64_t{kTicksPerSecond};
    // Batch means: the batches after the warm-up start at one second each;
    // whenever the batch means hold as many as they can, they are merged in
    // pairs. An interval needs kMinBatches complete batches, each with enough
    // data: ten, so that at slow rates a student sees a band within minutes.
    static constexpr int kMinBatches = BatchMeans::kMaxBatches / 2;

    RunRecord();

    // Begins a new, empty series with the settings now in use.
    void restart(const Simulation& sim);
    // Begins a new series when the settings in use differ from the series'
    // own. Returns whether it did.
    bool followSettings(const Simulation& sim);
    // Call after every tick of the run.
    void afterTick(const Simulation& sim);

    // Counts the series begun since the record was made: a reader that saw
    // another number must start its pictures afresh.
    std::uint64_t seriesNumber() const { return seriesNumber_; }
    const SeriesSettings& settings() const { return settings_; }
    std::span<const SeriesRow> rows() const { return {rows_.data(), rowCount_}; }
    // Simulated seconds between rows: 1, doubled at every thinning.
    int rowStepSeconds() const { return rowStepSeconds_; }
    // The samples of the last minute, oldest first.
    std::vector<DepthSample> depthSamples() const;
    const TimeHistogram& histogram() const { return histogram_; }
    SeriesMeasures measures() const;
    // The series as it stands after the last tick, as a row: empty when no
    // tick has passed since the last row taken, so that rows() and this
    // together end with the state the window shows now.
    std::optional<SeriesRow> rowNow(const Simulation& sim) const;
    // The current batch-means intervals; all empty until there is enough data.
    MeasureIntervals intervals() const;

private:
    struct Totals {
        RunTotals run;
        double squaredMs = 0.0;  // the squared times in the system, summed
    };

    void addToHistogram(std::int32_t timeMs);
    void addRow(const Simulation& sim);
    SeriesRow rowOf(const Simulation& sim) const;
    void closeBatch();

    std::uint64_t seriesNumber_ = 0;
    SeriesSettings settings_;
    // The model's counters when the series began.
    std::int32_t sourcedAtStart_ = 0;
    std::int32_t lostAtStart_ = 0;

    Totals now_;
    std::vector<SeriesRow> rows_;  // kRowCapacity rows, made once
    std::size_t rowCount_ = 0;
    int rowStepSeconds_ = 1;
    std::int64_t rowDue_ = kTicksPerSecond;  // the series' tick that takes the next row
    std::int64_t lastRowTicks_ = 0;          // the series' tick that took the last row

    std::array<DepthSample, kDepthSamples> depth_{};
    std::size_t depthNext_ = 0;
    std::size_t depthCount_ = 0;
    std::int64_t depthDue_ = kDepthSampleTicks;

    TimeHistogram histogram_;

    // The first batch begins at the end of the warm-up.
    BatchMeans batches_;
    std::int64_t batchTicks_ = kTicksPerSecond;
    std::int64_t batchDue_ = kWarmupTicks;  // the tick that takes the next mark
};

}  // namespace waitline
