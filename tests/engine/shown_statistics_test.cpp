#include "engine/shown_statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/number_text.h"

#include "tests/engine/test_simulation.h"

namespace waitline {
namespace {

using testing::TestSimulation;

void Serve(Simulation& sim, std::int32_t age)
{
    ++sim.PacketsServiced;
    RecordWaitingTime(sim, age);
}

// A caption spells the last value it was given, whenever it is read, and
// whatever it was copied into before.
TEST(CaptionTest, ReadsAsTheLastValueGivenSpelt)
{
    Caption caption("0");
    caption.show(12, SpellCount);
    caption.show(13, SpellCount);
    const Caption copied = caption;
    EXPECT_EQ(caption, "13");
    EXPECT_EQ(copied, "13");
    EXPECT_EQ(caption, copied);
    caption.show(1234.5678, SpellHundredths);
    EXPECT_NE(caption, copied);
    EXPECT_EQ(caption.text(), "1234.56");
    caption.show(0.256, SpellSecondsStatistic);
    caption = "typed over";
    EXPECT_EQ(std::string_view(caption), "typed over");
    caption.show(12.5, SpellPercentStatistic);
    EXPECT_EQ(caption.text(), " 12.5 %");
    caption.show(59.99, SpellWholeSeconds);
    EXPECT_EQ(caption, std::string("59"));
    caption.show(0.5, SpellStatistic);
    EXPECT_EQ(caption, " .5");
}

TEST(RecordWaitingTimeTest, FirstSampleHasNoSpread)
{
    TestSimulation t;
    Serve(t.sim, 1500);
    EXPECT_EQ(t.sim.MeanWaitingTime, 1.5);
    EXPECT_EQ(t.sim.StdDevWaitingTime, 0.0);
    EXPECT_EQ(t.sim.display.lblMeanWaitingTime.caption, " 1.5 s");
    EXPECT_EQ(t.sim.display.lblStdDevWaitingTime.caption, " 0 s");
}

TEST(RecordWaitingTimeTest, TwoSamplesGiveThePopulationDeviation)
{
    TestSimulation t;
    Serve(t.sim, 1000);
    Serve(t.sim, 3000);
    EXPECT_EQ(t.sim.MeanWaitingTime, 2.0);
    EXPECT_EQ(t.sim.StdDevWaitingTime, 1.0);
    EXPECT_EQ(t.sim.display.lblMeanWaitingTime.caption, " 2 s");
    EXPECT_EQ(t.sim.display.lblStdDevWaitingTime.caption, " 1 s");
}

TEST(RecordWaitingTimeTest, ShortTimesShowNoLeadingZero)
{
    TestSimulation t;
    Serve(t.sim, 250);
    EXPECT_EQ(t.sim.display.lblMeanWaitingTime.caption, " .25 s");
}

TEST(RecordWaitingTimeTest, EqualTimesKeepTheirExactMeanAndNoSpread)
{
    // The running update would drift a hair below the mean of equal times,
    // and the cut to hundredths would then show 0.05 s as " .04 s".
    for (const std::int32_t age : {10, 50, 130, 330, 1110, 2470}) {
        TestSimulation t;
        const std::string mean = FormatStatistic(age / 1000.0, " s");
        for (int k = 0; k < 5000; ++k) {
            Serve(t.sim, age);
            ASSERT_EQ(t.sim.display.lblMeanWaitingTime.caption, mean) << age << " sample " << k;
            ASSERT_EQ(t.sim.StdDevWaitingTime, 0.0) << age << " sample " << k;
        }
    }
}

TEST(RecordWaitingTimeTest, DeviationIsNeverNegativeNorNaN)
{
    TestSimulation t;
    for (int k = 0; k < 20000; ++k) {
        Serve(t.sim, (k % 7 == 0) ? 30 : 20);
        ASSERT_GE(t.sim.StdDevWaitingTime, 0.0) << k;
        ASSERT_FALSE(std::isnan(t.sim.StdDevWaitingTime)) << k;
    }
    EXPECT_NEAR(t.sim.StdDevWaitingTime, 0.0035, 0.0001);
}

struct PercentCase {
    std::int32_t lost;
    std::int32_t sourced;
    const char* caption;
};

class PercentDroppedTest : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentDroppedTest, IsRefreshedFromTheCounts)
{
    TestSimulation t;
    t.sim.PacketsLost = GetParam().lost;
    t.sim.PacketsSourced = GetParam().sourced;
    RefreshStatistics(t.sim);
    EXPECT_EQ(t.sim.display.lblPercentDropped.caption, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Counts, PercentDroppedTest,
                         ::testing::Values(PercentCase{1, 3, " 33.33 %"}, PercentCase{1, 8, " 12.5 %"},
                                           PercentCase{0, 5, " 0 %"}, PercentCase{5, 5, " 100 %"},
                                           PercentCase{29, 10000, " .28 %"},
                                           // Lost × 100 no longer fits 32 bits here.
                                           PercentCase{30000000, 60000000, " 50 %"}, PercentCase{0, 0, "0"}));

TEST(OccupancyTest, AveragesTheDepthFromTheSecondTickOn)
{
    TestSimulation t;
    t.go();
    const std::vector<std::int16_t> depths{7, 0, 1, 2, 3};  // at the starts of ticks 1..5
    for (const std::int16_t depth : depths) {
        t.sim.QueueDepth = depth;
        SampleOccupancy(t.sim);
        t.sim.SimTime += 0.01;
    }
    EXPECT_EQ(t.sim.TickCount, 5);
    EXPECT_EQ(t.sim.MeanPktsInQueue, 1.5);
    RefreshStatistics(t.sim);
    EXPECT_EQ(t.sim.display.lblMeanPktsInQueue.caption, " 1.5");
    EXPECT_EQ(t.sim.display.lblPercentDropped.caption, "0");  // nothing sourced yet
}

TEST(OccupancyTest, IsFrozenWhileStoppedButTicksAreCounted)
{
    TestSimulation t;
    t.go();
    t.sim.SimTime = 1.0;
    t.sim.TickCount = 1;
    t.sim.QueueDepth = 4;
    SampleOccupancy(t.sim);
    EXPECT_EQ(t.sim.MeanPktsInQueue, 4.0);
    t.sim.Running = false;
    t.sim.QueueDepth = 0;
    SampleOccupancy(t.sim);
    EXPECT_EQ(t.sim.MeanPktsInQueue, 4.0);
    EXPECT_EQ(t.sim.TickCount, 3);
}

}  // namespace
}  // namespace waitline
