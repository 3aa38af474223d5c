#include "engine/intervals.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "engine/random_source.h"

namespace waitline {
namespace {

struct IntervalCase {
    const char* distribution;
    double rate;
    std::vector<float> draws;  // scripted values; all of them must be consumed
    std::int32_t expected;
};

class NextIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(NextIntervalTest, GivesTheWorkedResultAndConsumesExactlyItsDraws)
{
    const IntervalCase& c = GetParam();
    ScriptedRandom random;
    for (const float u : c.draws) {
        random.append(u);
    }
    random.append(0.123F);  // a sentinel that must be left over
    EXPECT_EQ(NextInterval(c.distribution, c.rate, random), c.expected);
    EXPECT_EQ(random.remaining(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, NextIntervalTest,
    ::testing::Values(
        IntervalCase{"Regular", 3.0, {}, 333}, IntervalCase{"Regular", 6.0, {}, 167},
        IntervalCase{"Regular", 0.1, {}, 10000}, IntervalCase{"Exponential", 1.0, {0.5F}, 693},
        IntervalCase{"Exponential", 1.0, {0.0F, 0.000001F, 0.5F}, 693}, IntervalCase{"Uniform", 2.0, {0.75F}, 750},
        IntervalCase{"Uniform", 2.0, {0.0F}, 0}, IntervalCase{"Pareto 0.1", 1.0, {0.5F}, 187},
        IntervalCase{"Pareto 0.2", 1.0, {0.5F}, 348}, IntervalCase{"Pareto 0.5", 5.0, {0.25F}, 62},
        // Unknown names draw nothing and give 0.
        IntervalCase{"exponential", 1.0, {}, 0}, IntervalCase{"Regular ", 1.0, {}, 0}, IntervalCase{"", 1.0, {}, 0},
        // The mean equal to the minimum gives the minimum.
        IntervalCase{"Pareto 0.1", 10.0, {0.3F}, 100}, IntervalCase{"Pareto 0.2", 5.0, {0.9F}, 200},
        IntervalCase{"Pareto 0.5", 2.0, {0.5F}, 500},
        // A Pareto draw of exactly 0 is drawn again.
        IntervalCase{"Pareto 0.2", 1.0, {0.0F, 0.5F}, 348}, IntervalCase{"Pareto 0.5", 5.0, {0.0F, 0.25F}, 62},
        // Far tails are bounded to the 32-bit range.
        IntervalCase{"Regular", 1e-7, {}, std::numeric_limits<std::int32_t>::max()},
        IntervalCase{"Pareto 0.5", 0.1, {1.0F / 16777216.0F}, std::numeric_limits<std::int32_t>::max()}));

TEST(NextIntervalTest, ExponentialMeanIsTheMeanInterval)
{
    SeededRandom random(12345);
    double sum = 0.0;
    constexpr int kDraws = 200000;
    for (int k = 0; k < kDraws; ++k) {
        sum += NextInterval("Exponential", 4.0, random);
    }
    EXPECT_NEAR(sum / kDraws, 250.0, 2.5);
}

TEST(SeededRandomTest, ValuesStayBelowOneAndRepeatForOneSeed)
{
    SeededRandom a(7);
    SeededRandom b(7);
    for (int k = 0; k < 100000; ++k) {
        const float u = a.nextSingle();
        ASSERT_GE(u, 0.0F);
        ASSERT_LT(u, 1.0F);
        ASSERT_EQ(u, b.nextSingle());
    }
}

TEST(ScriptedRandomTest, RunsOutLoudlyAndKeepsUnusedValuesWhileSeeded)
{
    ScriptedRandom random;
    random.append(0.25F);
    random.useSeed(3);
    random.nextSingle();
    EXPECT_EQ(random.remaining(), 1U);
    random.append(0.5F);
    EXPECT_EQ(random.nextSingle(), 0.25F);
    EXPECT_EQ(random.nextSingle(), 0.5F);
    EXPECT_THROW(random.nextSingle(), ScriptedRandom::Exhausted);
}

TEST(RateReaderTest, KeepsTheLastRateThatWasAPositiveNumber)
{
    RateReader reader;
    EXPECT_EQ(reader.read("abc"), 1.0);  // nothing good yet: the start-up rate
    EXPECT_EQ(reader.read(" 2.5 "), 2.5);
    for (const char* text : {"", "-", ".", "0", "-3", "1e999", "0.0000001", "1e-400", "3a", "NaN"}) {
        EXPECT_EQ(reader.read(text), 2.5) << '"' << text << '"';
    }
    EXPECT_EQ(reader.read("50"), 50.0);
}

TEST(RateReaderTest, ReadingATextAgainGivesWhatItGaveBefore)
{
    // The reader remembers the text it read last; a refused text read again
    // must still give the rate taken before it, and texts too long to be
    // remembered must be read in full every time.
    const std::string longFive = std::string(30, ' ') + "5";
    const std::string longBad = std::string(30, ' ') + "x";
    struct Step {
        std::string text;
        double rate;
    };
    RateReader reader;
    for (const Step& step : {Step{"2", 2.0}, Step{"2", 2.0}, Step{"x", 2.0}, Step{"x", 2.0}, Step{"4", 4.0},
                             Step{"x", 4.0}, Step{longFive, 5.0}, Step{longBad, 5.0}, Step{"2", 2.0},
                             Step{longFive, 5.0}, Step{std::string(23, ' ') + "7", 7.0}, Step{"2", 2.0},
                             Step{std::string(23, ' ') + "7", 7.0}, Step{"", 7.0}, Step{"", 7.0}}) {
        EXPECT_EQ(reader.read(step.text), step.rate) << '"' << step.text << '"';
    }
}

}  // namespace
}  // namespace waitline
