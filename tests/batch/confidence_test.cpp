// The interval arithmetic and the batch bookkeeping: the t factor against the
// t distribution itself, when an interval may exist, and the per-batch sums
// against what the engine itself counts.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <ostream>
#include <string_view>
#include <vector>

#include "control/form.h"
#include "engine/geometry.h"
#include "statistics/batch_means.h"
#include "statistics/confidence.h"

namespace waitline {
namespace {

// P(T <= q) for Student's t, by Simpson's rule over the density from 0 to q;
// far more accurate than the 2e-6 the factor promises.
double StudentCdf(double q, double df)
{
    const double logScale =
        std::lgamma((df + 1.0) / 2.0) - std::lgamma(df / 2.0) - 0.5 * std::log(df * std::numbers::pi);
    auto density = [&](double x) { return std::exp(logScale - (df + 1.0) / 2.0 * std::log1p(x * x / df)); };
    constexpr int kSteps = 20000;
    const double h = q / kSteps;
    double sum = density(0.0) + density(q);
    for (int k = 1; k < kSteps; ++k) {
        sum += density(k * h) * (k % 2 == 1 ? 4.0 : 2.0);
    }
    return 0.5 + sum * h / 3.0;
}

class StudentFactor : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(StudentFactor, IsTheQuantileThatLeavesTwoAndAHalfPercentAbove)
{
    const std::int64_t df = GetParam();
    EXPECT_NEAR(StudentCdf(StudentT975(df), static_cast<double>(df)), 0.975, 1e-6) << df << " degrees of freedom";
}

// Every table entry's neighbourhood, the switch to the expansion at 31, and far beyond.
INSTANTIATE_TEST_SUITE_P(DegreesOfFreedom, StudentFactor,
                         ::testing::Values(1, 2, 3, 4, 5, 7, 10, 13, 19, 24, 29, 30, 31, 32, 40, 60, 120, 1000,
                                           100000));

TEST(RatioInterval, ExistsOnlyForTwoOrMoreFinitePairsWithSomeDenominator)
{
    using Values = std::vector<double>;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(RatioInterval95(Values{}, Values{}));
    EXPECT_FALSE(RatioInterval95(Values{2.0}, Values{1.0}));
    EXPECT_FALSE(RatioInterval95(Values{2.0, 3.0}, Values{1.0}));
    EXPECT_FALSE(RatioInterval95(Values{2.0, nan, 3.0}, Values{1.0, 1.0, 1.0}));
    EXPECT_FALSE(RatioInterval95(Values{2.0, 3.0}, Values{1.0, infinity}));
    EXPECT_FALSE(RatioInterval95(Values{2.0, 3.0}, Values{0.0, 0.0}));
}

TEST(RatioInterval, WeighsEachPairByItsDenominator)
{
    // Equal denominators: the mean 2 with a standard error of 0.1.
    const std::optional<ConfidenceInterval> mean = RatioInterval95(std::vector{1.9, 2.1}, std::vector{1.0, 1.0});
    ASSERT_TRUE(mean);
    EXPECT_NEAR(mean->low, 2.0 - 0.1 * 12.706205, 1e-9);
    EXPECT_NEAR(mean->high, 2.0 + 0.1 * 12.706205, 1e-9);
    // 2 lost of 10 and 9 of 30, twice: the centre is 11/40, not the mean of
    // 0.2 and 0.3.
    const std::optional<ConfidenceInterval> ratio =
        RatioInterval95(std::vector{2.0, 9.0, 2.0, 9.0}, std::vector{10.0, 30.0, 10.0, 30.0});
    ASSERT_TRUE(ratio);
    EXPECT_NEAR((ratio->low + ratio->high) / 2.0, 0.275, 1e-12);
}

TEST(RatioInterval, OfQuantitiesThatCannotBeNegativeStopsAtZero)
{
    struct Case {
        std::vector<double> numerators, denominators;
        double low, high;
    };
    const double t1 = 12.706205;  // one degree of freedom
    const std::vector<Case> cases{
        // The mean 2 with a standard error of 1 would reach down to -10.7.
        {{1.0, 3.0}, {1.0, 1.0}, 0.0, 2.0 + t1},
        // Heavy-tailed: one long batch among short ones.
        {{0.1, 0.1, 0.1, 50.0}, {1.0, 1.0, 1.0, 1.0}, 0.0, 12.575 + 3.182446 * 12.475},
        // A quantity that may be negative keeps its whole interval.
        {{-1.0, 5.0}, {1.0, 1.0}, 2.0 - 3.0 * t1, 2.0 + 3.0 * t1},
    };
    for (const Case& c : cases) {
        const std::optional<ConfidenceInterval> interval = RatioInterval95(c.numerators, c.denominators);
        ASSERT_TRUE(interval);
        EXPECT_NEAR(interval->low, c.low, 1e-5) << c.numerators.back();
        EXPECT_NEAR(interval->high, c.high, 1e-5) << c.numerators.back();
    }
}

// The controller at given settings, just after Go, seeded.
void StartRun(Form& form, std::string_view distribution, std::string_view arrivalRate, std::string_view serviceRate,
              std::string_view places, std::string_view servers, std::uint64_t seed)
{
    FormLoad(form);
    form.clockRandom.seed(seed);
    ASSERT_TRUE(ChooseEntry(form, ComboId::SourceCombo, distribution));
    ASSERT_TRUE(ChooseEntry(form, ComboId::ServiceCombo, distribution));
    ASSERT_TRUE(TypeText(form, ComboId::ArrivalCombo, arrivalRate));
    ASSERT_TRUE(TypeText(form, ComboId::ServeRateCombo, serviceRate));
    ASSERT_TRUE(ChooseEntry(form, ComboId::QueueCombo, places));
    ASSERT_TRUE(ChooseEntry(form, ComboId::ServerCombo, servers));
    Click(form, ButtonId::StartButton);
}

void RunTicks(Form& form, RunBatches& batches, std::int64_t ticks)
{
    for (std::int64_t k = 1; k <= ticks; ++k) {
        DeliverTimerMove(form);
        batches.afterTick(form.sim);
        if (k % 100 == 0) {
            DeliverTimerCheck(form);
        }
    }
}

// The batches recover each served packet's time in the system from the
// engine's running mean. Checked against the packets themselves, read as each
// one leaves its server, at heavy load with heavy-tailed times, where many
// packets leave in one tick and the counts run into the hundreds of thousands.
TEST(RunBatches, SumsExactlyWhatTheEngineCounts)
{
    Form form;
    StartRun(form, "Pareto 0.1", "50", "12", "10", "5", 11);
    constexpr std::int64_t kTicks = 400000;
    RunBatches batches(0, kTicks);
    std::int64_t exactMs = 0;
    std::int64_t lastDepth = 0;
    for (std::int64_t k = 1; k <= kTicks; ++k) {
        DeliverTimerMove(form);
        batches.afterTick(form.sim);
        if (k % 100 == 0) {
            DeliverTimerCheck(form);
        }
        // A packet whose service ended in this tick has just jumped right and
        // not moved on yet.
        for (const Packet& packet : form.sim.packets) {
            if (packet.PacketState == Pkt::Right && packet.Left == geometry::kColumnLeft + geometry::kExitJump) {
                exactMs += packet.PacketAge;
            }
        }
        lastDepth = form.sim.QueueDepth;
    }
    const Simulation& sim = form.sim;
    const RunTotals totals = batches.afterWarmup();
    ASSERT_GT(sim.PacketsServiced, 100000);
    EXPECT_EQ(totals.ticks, kTicks);
    EXPECT_EQ(totals.sourced, sim.PacketsSourced);
    EXPECT_EQ(totals.lost, sim.PacketsLost);
    EXPECT_EQ(totals.served, sim.PacketsServiced);
    EXPECT_EQ(totals.timeInSystemMs, exactMs);
    // The engine samples the depth at the start of every tick but the first:
    // the depth at the end of every tick but the last.
    EXPECT_NEAR(static_cast<double>(totals.depthTicks - lastDepth) / static_cast<double>(kTicks - 1),
                sim.MeanPktsInQueue, 1e-9 * sim.MeanPktsInQueue);
}

struct AvailabilityCase {
    const char* name;
    const char* arrivalRate;
    std::int64_t warmupTicks;
    std::int64_t runTicks;
    std::int64_t ticksRun;  // may stop short of runTicks
    bool available;
};

void PrintTo(const AvailabilityCase& c, std::ostream* out) { *out << c.name; }

class IntervalAvailability : public ::testing::TestWithParam<AvailabilityCase> {};

TEST_P(IntervalAvailability, NeedsEveryBatchCompleteAndWithEnoughServed)
{
    const AvailabilityCase& c = GetParam();
    Form form;
    StartRun(form, "Exponential", c.arrivalRate, "5", "3", "1", 5);
    RunBatches batches(c.warmupTicks, c.runTicks);
    RunTicks(form, batches, c.ticksRun);
    const MeasureIntervals ci = batches.intervals();
    EXPECT_EQ(ci.loss.has_value(), c.available);
    EXPECT_EQ(ci.meanTimeInSystem.has_value(), c.available);
    EXPECT_EQ(ci.meanInSystem.has_value(), c.available);
    if (c.available) {
        EXPECT_LT(ci.meanInSystem->low, ci.meanInSystem->high);
        EXPECT_EQ(batches.afterWarmup().ticks, c.runTicks - c.warmupTicks);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, IntervalAvailability,
                         ::testing::Values(
                             // About 2.6 packets served a second: some 26 in each batch of 10 seconds.
                             AvailabilityCase{"enough", "3", 0, 20000, 20000, true},
                             AvailabilityCase{"enoughAfterWarmup", "3", 10000, 30000, 30000, true},
                             AvailabilityCase{"runNotFinished", "3", 0, 20000, 19999, false},
                             // About 2 packets in each batch.
                             AvailabilityCase{"tooFewServedInABatch", "0.2", 0, 20000, 20000, false},
                             // Fewer ticks after the warm-up than batches.
                             AvailabilityCase{"warmupLeavesTooLittle", "3", 19990, 20000, 20000, false}),
                         [](const ::testing::TestParamInfo<AvailabilityCase>& param) {
                             return std::string(param.param.name);
                         });

// Merging keeps every batch's data: each merged batch is two neighbours
// summed, and together they still cover the run from the first mark.
TEST(BatchMeans, MergedPairsAreTheSumsOfNeighbours)
{
    BatchMeans means;
    std::vector<RunTotals> marks;
    RunTotals now;
    for (int k = 0; k <= BatchMeans::kMaxBatches; ++k) {
        marks.push_back(now);
        means.mark(now);
        // Uneven batches, so that a wrong pairing shows in the intervals.
        now.ticks += 100 + k;
        now.elapsedMs += 1000 + 10 * k;
        now.sourced += 20 + k % 3;
        now.lost += 1 + k % 2;
        now.served += 15 + k % 4;
        now.timeInSystemMs += 9000 + 700 * (k % 5);
        now.waitMs += 3000 + 100 * (k % 7);
        now.depthTicks += 250 + 3 * k;
        now.busyTicks += 120 + k;
    }
    ASSERT_TRUE(means.full());
    means.mergePairs();
    EXPECT_EQ(means.complete(), BatchMeans::kMaxBatches / 2);
    EXPECT_EQ(means.covered().served, (marks.back() - marks.front()).served);
    std::vector<RunTotals> merged;
    for (std::size_t k = 0; k + 2 < marks.size(); k += 2) {
        merged.push_back(marks[k + 2] - marks[k]);
    }
    const MeasureIntervals expected = IntervalsFrom(merged, 2);
    const MeasureIntervals got = means.intervals(2, BatchMeans::kMaxBatches / 2);
    ASSERT_TRUE(expected.meanTimeInSystem && got.meanTimeInSystem);
    EXPECT_DOUBLE_EQ(got.meanTimeInSystem->low, expected.meanTimeInSystem->low);
    EXPECT_DOUBLE_EQ(got.utilisation->high, expected.utilisation->high);
    EXPECT_DOUBLE_EQ(got.loss->low, expected.loss->low);
}

}  // namespace
}  // namespace waitline
