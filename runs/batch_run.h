#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/apply_settings.h"
#include "engine/intervals.h"
#include "statistics/confidence.h"
#include "statistics/measures.h"
#include "statistics/queue_theory.h"

// Runs of the demo without a window, as fast as the machine allows: the
// window's own controller and engine, driven the way the scenario runner
// drives the window, so that a seed gives the same statistics in both.
namespace waitline {
struct Form;
}

namespace waitline::batch {

struct Settings {
    std::string arrival{DistributionName(Distribution::Exponential)};  // one of kDistributionNames
    std::string service{DistributionName(Distribution::Exponential)};
    double arrivalRate = 1.0;  // packets per second
    double serviceRate = 1.0;
    int servers = 1;
    int queueLength = 3;
    std::int64_t seconds = 3600;  // simulated, after Go
    std::int64_t warmup = 360;    // seconds at the start left out of the intervals
    std::uint64_t seed = 1;       // replication i uses seed + i
    int replications = 1;
};

// What a run measured from Go to its end. The loss, the time in the system,
// its spread and the number in the system are the window's own statistics,
// read off the model as it shows them (the loss is its percentage dropped,
// as a share); the other measures come from the totals the run kept, as the
// analysis window's do.
struct DemoStatistics {
    std::int64_t sourced = 0;
    std::int64_t served = 0;
    std::int64_t lost = 0;
    MeasureValues values;
};

struct ReplicationResult {
    DemoStatistics demo;
    RunTotals afterWarmup;          // one independent estimate among replications
    MeasureIntervals batchMeans;    // the intervals from this run alone
    std::int64_t outOfPackets = 0;  // times "Ran Out of Packets" was shown
};

// Sets the window's boxes to the settings as a user would: the same actions,
// in the same order, as a scenario that chooses the distributions, types the
// rates and chooses the queue length before the servers.
void ApplySettings(Form& form, const Settings& settings);

// What runs report while they go, and how they are stopped early: a watcher
// on another thread reads the one and sets the other.
struct RunWatch {
    std::atomic<std::int64_t> secondsDone{0};  // simulated seconds run, all replications together
    std::atomic<bool> cancelled{false};        // runs stop at their next simulated second
};

// One run from the start-up of the window to `seconds` simulated seconds
// after Go. With a watch, counts each simulated second there and stops
// early, with a result that means nothing, once it is cancelled.
ReplicationResult RunReplication(const Settings& settings, std::uint64_t seed, RunWatch* watch = nullptr);

// WebAssembly without shared memory has one thread: there the replications
// run one after another.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
inline constexpr bool kRunsOnThreads = false;
#else
inline constexpr bool kRunsOnThreads = true;
#endif

// The threads that share a run's work: how many (0: one per usable core),
// and whether they leave the rest of the machine first call on the
// processors, as they should beside an animated window.
struct Workers {
    unsigned threads = 0;
    bool lowPriority = false;
};

// Calls work(i) for every i below count, on the workers; the first exception
// thrown stops the others and is thrown again here.
void ShareWork(std::size_t count, Workers workers, const std::function<void(std::size_t)>& work);

// All replications, replication i with seed + i. The results are in
// replication order whatever the number of threads.
std::vector<ReplicationResult> RunReplications(const Settings& settings, Workers workers = {},
                                               RunWatch* watch = nullptr);

struct Summary {
    DemoStatistics simulated;  // means over the replications; counts summed
    MeasureIntervals ci95;     // batch means for one replication, else across replications
    TheoryAnswer theory;
    std::int64_t outOfPackets = 0;
};

Summary Summarise(const Settings& settings, const std::vector<ReplicationResult>& replications);

// A measure's figures in a summary: its 95 % interval, when it has one and it
// is available, and its textbook value, when there is one.
std::optional<ConfidenceInterval> IntervalOf(const Summary& summary, const Measure& measure);
std::optional<double> TheoryValue(const Summary& summary, const Measure& measure);

}  // namespace waitline::batch
