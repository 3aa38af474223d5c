// A single tick while paused, for following one packet during a lecture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/form.h"
#include "tests/support/busy_run.h"

namespace waitline {
namespace {

using test::StartBusyRun;
using test::TickState;

// The busy run, some ticks after Go.
void StartBusyRun(Form& form, int ticks)
{
    StartBusyRun(form);
    for (int k = 0; k < ticks; ++k) {
        ASSERT_TRUE(DeliverTimerMove(form));
    }
}

TEST(StepOneTick, WhilePausedIsOneMoveTimerTickAndStaysPaused)
{
    Form stepped;
    Form ticked;
    StartBusyRun(stepped, 437);
    StartBusyRun(ticked, 437);
    ASSERT_EQ(TickState(stepped.sim), TickState(ticked.sim));
    const std::vector<std::string> before = TickState(stepped.sim);
    const double time = stepped.sim.SimTime;

    Click(stepped, ButtonId::PauseButton);
    ASSERT_TRUE(IsPaused(stepped));
    EXPECT_TRUE(StepOneTick(stepped));
    EXPECT_TRUE(DeliverTimerMove(ticked));

    EXPECT_NE(TickState(stepped.sim), before) << "the step should have moved packets";
    EXPECT_EQ(TickState(stepped.sim), TickState(ticked.sim));
    EXPECT_EQ(stepped.sim.SimTime, ticked.sim.SimTime);
    EXPECT_NEAR(stepped.sim.SimTime - time, 0.01, 1e-9);
    // Still paused: the move timer stays off and the button still offers Continue.
    EXPECT_TRUE(IsPaused(stepped));
    EXPECT_FALSE(stepped.sim.display.TimerMove.Enabled);
    EXPECT_FALSE(DeliverTimerMove(stepped));
    EXPECT_EQ(stepped.sim.TickCount, ticked.sim.TickCount);
}

TEST(StepOneTick, DoesNothingUnlessPaused)
{
    struct Case {
        const char* name;
        bool started;  // Go pressed and the run ticked for a while
        std::vector<ButtonId> presses;
    };
    const Case cases[] = {{"before Go", false, {}},
                          {"running", true, {}},
                          {"stopped", true, {ButtonId::StartButton}},
                          {"continued", true, {ButtonId::PauseButton, ButtonId::PauseButton}}};
    for (const Case& c : cases) {
        Form form;
        if (c.started) {
            StartBusyRun(form, 120);
        } else {
            FormLoad(form);
        }
        for (const ButtonId press : c.presses) {
            Click(form, press);
        }
        const std::vector<std::string> before = TickState(form.sim);
        const double time = form.sim.SimTime;
        EXPECT_FALSE(IsPaused(form)) << c.name;
        EXPECT_FALSE(StepOneTick(form)) << c.name;
        EXPECT_EQ(TickState(form.sim), before) << c.name;
        EXPECT_EQ(form.sim.SimTime, time) << c.name;
    }
}

}  // namespace
}  // namespace waitline
