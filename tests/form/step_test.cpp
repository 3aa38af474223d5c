// A single tick while paused, for following one packet during a lecture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/form.h"

namespace waitline {
namespace {

// The same run in any number of forms: a fixed seed, a long queue and
// frequent arrivals, so that packets are falling, queueing and being served.
void StartBusyRun(Form& form, int ticks)
{
    FormLoad(form);
    form.clockRandom.seed(11);
    ASSERT_TRUE(ChooseEntry(form, ComboId::QueueCombo, "10"));
    ASSERT_TRUE(ChooseEntry(form, ComboId::ServerCombo, "2"));
    ASSERT_TRUE(TypeText(form, ComboId::ArrivalCombo, "5"));
    Click(form, ButtonId::StartButton);
    for (int k = 0; k < ticks; ++k) {
        ASSERT_TRUE(DeliverTimerMove(form));
    }
}

// What a tick changes, packet by packet and place by place, as text, so that a
// difference names the field.
std::vector<std::string> TickState(const Simulation& sim)
{
    std::vector<std::string> state;
    for (const Packet& p : sim.packets) {
        state.push_back(std::string(ToText(p.PacketState)) + ' ' + std::to_string(p.Left) + ' ' +
                        std::to_string(p.Top) + ' ' + std::to_string(p.Visible) + ' ' + std::to_string(p.ServiceLeft) +
                        ' ' + std::to_string(p.PacketAge));
    }
    for (const QueueSlot& s : sim.slots) {
        state.push_back(std::string(ToText(s.SlotState)) + ' ' + std::to_string(s.SlotPacket));
    }
    for (const std::int32_t n : {sim.PacketsSourced, sim.PacketsServiced, sim.PacketsLost, sim.TickCount,
                                 sim.source.TimeToNextArrival, std::int32_t{sim.QueueDepth}}) {
        state.push_back(std::to_string(n));
    }
    state.push_back(std::to_string(sim.MeanPktsInQueue));
    return state;
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
