// Sweeps: the values a range gives, every point the very run a single run of
// its settings is (the same seeds, the same textbook values), whatever the
// number of workers; cancelling; and the workers' lowered priority.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "runs/run_csv.h"
#include "runs/sweep.h"
#include "runs/what_if.h"
#include "tools/batch/batch_options.h"
#include "tools/batch/batch_report.h"

namespace waitline::batch {
namespace {

struct Range {
    double from, to, step;
    std::vector<double> values;  // empty: more than the most points
};

TEST(Sweep, ValuesAreTheDecimalsTheRangeNames)
{
    const std::vector<Range> ranges{
        {0.1, 0.3, 0.1, {0.1, 0.2, 0.3}},  // a double sum would give 0.30000000000000004
        {0.4, 3.0, 0.4, {0.4, 0.8, 1.2, 1.6, 2.0, 2.4, 2.8}},
        {1, 5, 2, {1, 3, 5}},
        {1, 6, 2, {1, 3, 5}},  // TO need not be a point
        {2, 2, 1, {2}},
        {0.000001, 0.000003, 0.000001, {0.000001, 0.000002, 0.000003}},
        {0.7, 1.0, 0.1, {0.7, 0.8, 0.9, 1.0}},
        {0.001, 1.001, 0.001, {}},  // 1001 points: 1000 is the most
        {0.01, 50, 0.01, {}},
    };
    for (const Range& r : ranges) {
        if (r.values.empty()) {
            EXPECT_EQ(SweepCount(r.from, r.to, r.step), std::nullopt) << r.from << ":" << r.to << ":" << r.step;
        } else {
            EXPECT_EQ(SweepValues(r.from, r.to, r.step), r.values) << r.from << ":" << r.to << ":" << r.step;
        }
    }
    const std::vector<double> most = SweepValues(0.001, 1.0, 0.001);
    ASSERT_EQ(most.size(), kMostSweepPoints);
    EXPECT_EQ(most[299], 0.3);
    EXPECT_EQ(most.back(), 1.0);
}

Options Parsed(std::vector<std::string_view> arguments)
{
    const ParsedOptions parsed = ParseOptions(arguments);
    EXPECT_EQ(parsed.action, ParsedOptions::Action::Run) << parsed.error;
    return parsed.options;
}

// A point's report holds its simulated values, intervals, textbook values and
// warnings: equal reports, equal runs.
std::string SingleRunReport(const Settings& settings)
{
    return JsonReport(settings, Summarise(settings, RunReplications(settings, {1})));
}

TEST(Sweep, EveryPointIsTheSingleRunOfItsSettings)
{
    const Options options = Parsed({"--sweep", "arrival-rate=1:3:2", "--sweep", "servers=1:2:1", "--seconds", "150",
                                    "--replications", "3", "--seed", "11"});
    const std::vector<SweepPoint> points = GridPoints(options.settings, options.sweeps);
    ASSERT_EQ(points.size(), 4U);
    const std::vector<Summary> summaries = *RunSweep(points, {3});
    for (std::size_t p = 0; p < points.size(); ++p) {
        const Settings& at = points[p].settings;
        EXPECT_EQ(at.arrivalRate, points[p].at[0]);
        EXPECT_EQ(at.servers, points[p].at[1]);
        EXPECT_EQ(at.seed, 11U);
        EXPECT_EQ(JsonReport(at, summaries[p]), SingleRunReport(at)) << "point " << p;
    }
    // Common random numbers: the same value in another sweep is the same run.
    const Options shifted = Parsed(
        {"--sweep", "arrival-rate=3:5:2", "--servers", "2", "--seconds", "150", "--replications", "3", "--seed", "11"});
    const std::vector<SweepPoint> others = GridPoints(shifted.settings, shifted.sweeps);
    EXPECT_EQ(JsonReport(others[0].settings, (*RunSweep(others, {1}))[0]),
              JsonReport(points[3].settings, summaries[3]));
}

// Random sweeps and grids, on a random number of workers: each point's line
// is the line a single run of its settings prints.
TEST(Sweep, RandomSweepsAreTheirPointsSingleRuns)
{
    std::mt19937 random(2026);
    const std::array<SweptSetting, 4> all{SweptSetting::ArrivalRate, SweptSetting::ServiceRate, SweptSetting::Servers,
                                          SweptSetting::QueueLength};
    for (int round = 0; round < 12; ++round) {
        Settings base;
        base.seconds = 40;
        base.warmup = 4;
        base.seed = random();
        base.replications = 1 + static_cast<int>(random() % 3);
        base.arrival = kDistributionNames[random() % kDistributionNames.size()];
        base.queueLength = 10;
        std::vector<SweepAxis> axes;
        for (const SweptSetting setting : {all[random() % 4], all[random() % 4]}) {
            if (!axes.empty() && axes.front().setting == setting) {
                continue;
            }
            const SettingLimits limits = LimitsOf(setting);
            // Never more servers than places: up to 5 servers, from 5 places.
            const double lowest = setting == SweptSetting::QueueLength ? 5.0 : 1.0;
            const double from = limits.whole ? lowest + double(random() % 3) : 0.25 * double(1 + random() % 20);
            const double step = limits.whole ? 1.0 : 0.25 * double(1 + random() % 4);
            axes.push_back({setting, SweepValues(from, from + 2 * step, step)});
        }
        const std::vector<SweepPoint> points = GridPoints(base, axes);
        const std::vector<Summary> summaries = *RunSweep(points, {1 + unsigned(random() % 4)});
        const std::string sweep = SweepCsv(points, summaries);
        std::string singles;
        for (std::size_t p = 0; p < points.size(); ++p) {
            const std::string single =
                CsvReport(points[p].settings, Summarise(points[p].settings, RunReplications(points[p].settings, {1})));
            singles += p == 0 ? single : single.substr(single.find('\n') + 1);
        }
        EXPECT_EQ(sweep, singles) << "round " << round;
        // The first axis is the outer one.
        if (axes.size() == 2) {
            EXPECT_EQ(points[0].at[0], points[2].at[0]);
            EXPECT_NE(points[0].at[0], points[3].at[0]);
        }
    }
}

TEST(Sweep, WorkersChangeNothingButTheTime)
{
    const Options options = Parsed({"--sweep", "queue-length=2:5:1", "--arrival-rate", "2", "--seconds", "120",
                                    "--replications", "2", "--format", "json"});
    const std::vector<SweepPoint> points = GridPoints(options.settings, options.sweeps);
    const std::string one = SweepReport(options, points, *RunSweep(points, {1}));
    EXPECT_EQ(SweepReport(options, points, *RunSweep(points, {5})), one);
    EXPECT_EQ(SweepReport(options, points, *RunSweep(points, {2, true})), one);
}

TEST(Sweep, CancelledSweepStopsAndGivesNothing)
{
    const Options options = Parsed({"--sweep", "arrival-rate=1:10:1", "--seconds", "2000000"});
    const std::vector<SweepPoint> points = GridPoints(options.settings, options.sweeps);
    RunWatch watch;
    std::thread canceller([&] {
        while (watch.secondsDone.load() < 1000) {
            std::this_thread::yield();
        }
        watch.cancelled = true;
    });
    EXPECT_EQ(RunSweep(points, {2}, &watch), std::nullopt);
    canceller.join();
    // Each worker stops within a simulated second of the cancel.
    EXPECT_LT(watch.secondsDone.load(), 1000 + 100'000);
}

TEST(Sweep, LowPriorityWorkersAreThreadsOfTheirOwnAndNice)
{
    const int callersNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    std::vector<pid_t> threads(6);
    std::vector<int> nice(6);
    ShareWork(6, {2, true}, [&](std::size_t i) {
        threads[i] = gettid();
        nice[i] = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    });
    for (std::size_t i = 0; i < threads.size(); ++i) {
        EXPECT_NE(threads[i], gettid());
        EXPECT_EQ(nice[i], 19);
    }
    EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), callersNice);
}

TEST(WhatIf, OffersTheLessonsRangeAndRefusesRangesThatCannotRun)
{
    Settings base = WhatIfBase(SeriesSettings{"Exponential", "Exponential", 1.0, 1.0, 2, 5}, 3600, 4);
    const SweepRange rates = FirstRange(base, SweptSetting::ArrivalRate);  // offered load 0.2 to 1.5
    EXPECT_EQ(SweepValues(rates.from, rates.to, rates.step).size(), 14U);
    EXPECT_EQ(rates.from, 0.4);
    EXPECT_EQ(rates.to, 3.0);
    base.queueLength = 3;
    const SweepRange servers = FirstRange(base, SweptSetting::Servers);
    EXPECT_EQ(SweepValues(servers.from, servers.to, servers.step), (std::vector<double>{1, 2, 3}));
    struct Refused {
        SweptSetting setting;
        SweepRange range;
        std::string reason;
    };
    const std::vector<Refused> refused{
        {SweptSetting::ArrivalRate, {2, 1, 0.5}, "must not be more than"},
        {SweptSetting::ServiceRate, {1, 2, 0}, "step must be more than 0"},
        {SweptSetting::ArrivalRate, {0.01, 20, 0.01}, "more than 1000 points"},
        {SweptSetting::ArrivalRate, {40, 60, 10}, "reaches 60"},
        {SweptSetting::Servers, {1, 2, 0.5}, "reaches 1.5"},
        {SweptSetting::Servers, {1, 5, 1}, "At 4 there would be more servers than places"},
        {SweptSetting::QueueLength, {1, 3, 1}, "At 1 there would be more servers than places"},
    };
    for (const Refused& r : refused) {
        EXPECT_NE(RangeProblem(base, r.setting, r.range).find(r.reason), std::string::npos)
            << SweptName(r.setting) << ": " << RangeProblem(base, r.setting, r.range);
    }
    EXPECT_EQ(RangeProblem(base, SweptSetting::Servers, servers), "");
    // The curve of a count has a value at each whole setting the places allow.
    const std::vector<CurvePoint> curve = TheoryCurve(base, SweptSetting::QueueLength, 1, 4, MeasureKeyed("loss"));
    ASSERT_EQ(curve.size(), 3U);
    EXPECT_EQ(curve.front().x, 2.0);
    EXPECT_EQ(curve.front().y,
              ExactTheory("Exponential", "Exponential", QueueSettings{1, 1, 2, 2}).theory->lossProbability);
}

}  // namespace
}  // namespace waitline::batch
