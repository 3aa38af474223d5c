// The lecture speeds: how the move timer paces the ticks at each.
#include "control/lecture_speed.h"

#include <gtest/gtest.h>

#include <string>

namespace waitline {
namespace {

struct SpeedCase {
    LectureSpeed speed;
    double factor;  // against real time
    const char* name;
    LectureSpeed faster;
    LectureSpeed slower;
};

constexpr SpeedCase kCases[] = {
    {LectureSpeed::Quarter, 0.25, "\u00bc\u00d7", LectureSpeed::Half, LectureSpeed::Quarter},
    {LectureSpeed::Half, 0.5, "\u00bd\u00d7", LectureSpeed::RealTime, LectureSpeed::Quarter},
    {LectureSpeed::RealTime, 1.0, "1\u00d7", LectureSpeed::Double, LectureSpeed::Half},
    {LectureSpeed::Double, 2.0, "2\u00d7", LectureSpeed::Quadruple, LectureSpeed::RealTime},
    {LectureSpeed::Quadruple, 4.0, "4\u00d7", LectureSpeed::Quadruple, LectureSpeed::Double},
};

TEST(LectureSpeed, TicksPerWallSecondFollowTheFactorAtEveryInterval)
{
    for (const SpeedCase& c : kCases) {
        for (const std::int32_t interval : {10, 15, 40}) {
            const TickPacing pacing = Pacing(c.speed, interval);
            ASSERT_GT(pacing.timerInterval, 0) << c.name;
            const double ticksPerSecond = 1000.0 / pacing.timerInterval * pacing.ticksPerEvent;
            EXPECT_DOUBLE_EQ(ticksPerSecond, 1000.0 / interval * c.factor) << c.name << " at " << interval << " ms";
            // Faster than real time never shortens the timer below the model's
            // interval; slower never runs more than one tick an event.
            EXPECT_GE(pacing.timerInterval, interval) << c.name;
            EXPECT_TRUE(pacing.ticksPerEvent == 1 || pacing.timerInterval == interval) << c.name;
        }
    }
}

TEST(LectureSpeed, RealTimeIsTheModelsOwnTimer)
{
    const TickPacing pacing = Pacing(LectureSpeed::RealTime, 10);
    EXPECT_EQ(pacing.timerInterval, 10);
    EXPECT_EQ(pacing.ticksPerEvent, 1);
}

TEST(LectureSpeed, FasterAndSlowerStepThroughTheSpeedsAndStopAtTheEnds)
{
    for (const SpeedCase& c : kCases) {
        EXPECT_EQ(Faster(c.speed), c.faster) << c.name;
        EXPECT_EQ(Slower(c.speed), c.slower) << c.name;
        EXPECT_EQ(std::string(SpeedName(c.speed)), c.name);
        EXPECT_EQ(kLectureSpeeds[SpeedIndex(c.speed)], c.speed) << c.name;
    }
}

}  // namespace
}  // namespace waitline
