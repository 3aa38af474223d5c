// Do the 95 % intervals hold the true value about 95 % of the time? Many
// short seeded runs at a setting whose long-run values are known.
//
// The setting: Exponential arrivals and service, both at 1 per second, one
// server, two places (M/M/1/2). The textbook gives loss 1/3, 1.5 s in the
// system and 1 packet holding places. The demo's 10 ms steps lengthen each
// interval between arrivals by one step and each service by about one and a
// half, which at rates this slow moves its long-run values by less than 1 %
// (1.6 million simulated seconds gave loss 0.3313, 1.511 s and 1.008); each
// run's interval is five to ten times wider than that, so the textbook values
// serve as the truth. The runs are as short as the batch means allow: each
// of the 20 batches still spans some 45 services.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/queue_theory.h"
#include "tools/batch/batch_run.h"

namespace waitline::batch {
namespace {

constexpr int kRuns = 200;

Settings SlowQueue(std::int64_t seconds, std::int64_t warmup, int replications)
{
    Settings s;
    s.arrivalRate = 1.0;
    s.serviceRate = 1.0;
    s.servers = 1;
    s.queueLength = 2;
    s.seconds = seconds;
    s.warmup = warmup;
    s.seed = 1000;
    s.replications = replications;
    return s;
}

struct Hits {
    int loss = 0;
    int timeInSystem = 0;
    int inSystem = 0;
    int missing = 0;  // runs without an interval

    void count(const MeasureIntervals& ci, const QueueTheory& truth)
    {
        if (!ci.loss || !ci.meanTimeInSystem || !ci.meanInSystem) {
            ++missing;
            return;
        }
        auto holds = [](const ConfidenceInterval& i, double value) { return i.low <= value && value <= i.high; };
        loss += holds(*ci.loss, truth.lossProbability) ? 1 : 0;
        timeInSystem += holds(*ci.meanTimeInSystem, truth.meanTimeInSystem) ? 1 : 0;
        inSystem += holds(*ci.meanInSystem, truth.meanInSystem) ? 1 : 0;
    }
};

void ExpectCoverage(const Hits& hits, const std::string& method)
{
    EXPECT_EQ(hits.missing, 0) << method;
    for (const auto& [name, count] : {std::pair{"loss", hits.loss}, std::pair{"time in system", hits.timeInSystem},
                                      std::pair{"number in system", hits.inSystem}}) {
        EXPECT_GE(count, kRuns * 90 / 100) << method << ": " << name << " held in " << count << " of " << kRuns;
        EXPECT_LE(count, kRuns * 99 / 100) << method << ": " << name << " held in " << count << " of " << kRuns;
        std::cout << method << ": the interval for the " << name << " held the true value in " << count << " of "
                  << kRuns << " runs\n";
    }
}

QueueTheory Truth(const Settings& s)
{
    const std::optional<QueueTheory> theory =
        MarkovianTheory(QueueSettings{s.arrivalRate, s.serviceRate, s.servers, s.queueLength});
    EXPECT_TRUE(theory);
    return theory.value_or(QueueTheory{});
}

// Within one run: 20 batch means of 47.5 s each.
TEST(Coverage, BatchMeansWithinOneRun)
{
    const Settings settings = SlowQueue(1000, 50, kRuns);
    const QueueTheory truth = Truth(settings);
    Hits hits;
    for (const ReplicationResult& run : RunReplications(settings)) {
        hits.count(run.batchMeans, truth);
    }
    ExpectCoverage(hits, "batch means");
}

// Across replications: each interval from three independent runs of 200 s.
TEST(Coverage, AcrossReplications)
{
    constexpr int kReplications = 3;
    Settings settings = SlowQueue(200, 20, kRuns * kReplications);
    const QueueTheory truth = Truth(settings);
    const std::vector<ReplicationResult> all = RunReplications(settings);
    settings.replications = kReplications;
    Hits hits;
    for (int run = 0; run < kRuns; ++run) {
        const auto first = all.begin() + static_cast<std::ptrdiff_t>(run) * kReplications;
        hits.count(Summarise(settings, {first, first + kReplications}).ci95, truth);
    }
    ExpectCoverage(hits, "replications");
}

}  // namespace
}  // namespace waitline::batch
