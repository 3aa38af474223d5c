#include "engine/source.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "engine/invariants.h"
#include "engine/tick.h"
#include "tests/engine/test_simulation.h"

namespace waitline {
namespace {

using testing::TestSimulation;

std::vector<int> CreationTicks(TestSimulation& t, int ticks)
{
    std::vector<int> created;
    for (int tick = 1; tick <= ticks; ++tick) {
        const std::int32_t before = t.sim.PacketsSourced;
        TimerMoveTimer(t.sim);
        if (t.sim.PacketsSourced != before) {
            created.push_back(tick);
        }
    }
    return created;
}

TEST(SourceTest, FirstPacketComesInTheFirstTickAfterGo)
{
    TestSimulation t;
    t.sim.display.SourceCombo.text = "Regular";
    t.script({0.5F, 0.5F, 0.5F});
    t.go();
    TimerMoveTimer(t.sim);
    const Packet& p = t.sim.packets[0];
    EXPECT_EQ(p.PacketState, Pkt::Dropping);
    EXPECT_EQ(p.Left, 176.0F);
    EXPECT_EQ(p.Top, 68.0F);  // created at 52 and dropped once in the same tick
    EXPECT_EQ(p.FillColor, (Rgb{128, 128, 128}));
    EXPECT_EQ(t.sim.PacketsSourced, 1);
    EXPECT_EQ(t.sim.display.lblPacketsSourced.caption, "1");
    EXPECT_EQ(t.sim.source.TimeToNextArrival, 999);
}

TEST(SourceTest, RegularAtRateTenCreatesEveryElevenTicks)
{
    TestSimulation t;
    t.random.useSeed(1);
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "10";
    t.go();
    EXPECT_EQ(CreationTicks(t, 34), (std::vector<int>{1, 12, 23, 34}));
}

TEST(SourceTest, AnUnknownDistributionCreatesAPacketEveryTick)
{
    TestSimulation t;
    t.random.useSeed(1);
    t.sim.display.SourceCombo.text = "Poisson";
    t.go();
    EXPECT_EQ(CreationTicks(t, 4), (std::vector<int>{1, 2, 3, 4}));
}

TEST(SourceTest, StopFreezesTheCountdownAndGoDoesNotResetIt)
{
    TestSimulation t;
    t.random.useSeed(1);
    t.sim.display.SourceCombo.text = "Regular";
    t.go();
    TimerMoveTimer(t.sim);  // creates; countdown -1 + 1000
    TimerMoveTimer(t.sim);
    EXPECT_EQ(t.sim.source.TimeToNextArrival, 989);
    t.sim.Running = false;
    for (int k = 0; k < 50; ++k) {
        TimerMoveTimer(t.sim);
    }
    EXPECT_EQ(t.sim.source.TimeToNextArrival, 989);
    t.go();
    EXPECT_EQ(t.sim.source.TimeToNextArrival, 989);
    EXPECT_EQ(CreationTicks(t, 100), (std::vector<int>{100}));
}

struct SourceCallCase {
    std::int32_t countdown;
    bool running;
    SourceCall call;
    std::int32_t countdownAfter;
    int created;
};

class SourceTickTableTest : public ::testing::TestWithParam<SourceCallCase> {};

TEST_P(SourceTickTableTest, DoesWhatItsStateTableSays)
{
    const SourceCallCase& c = GetParam();
    TestSimulation t;
    t.random.useSeed(2);
    t.sim.display.SourceCombo.text = "Regular";  // 1000 ms, no draw
    t.sim.source.TimeToNextArrival = c.countdown;
    t.sim.Running = c.running;
    SourceTick(t.sim, c.call);
    EXPECT_EQ(t.sim.source.TimeToNextArrival, c.countdownAfter);
    EXPECT_EQ(t.sim.PacketsSourced, c.created);
}

INSTANTIATE_TEST_SUITE_P(States, SourceTickTableTest,
                         ::testing::Values(SourceCallCase{50, true, SourceCall::Tick, 40, 0},
                                           SourceCallCase{50, false, SourceCall::Tick, 50, 0},
                                           SourceCallCase{-5, true, SourceCall::Tick, 995, 1},
                                           SourceCallCase{0, false, SourceCall::Tick, 0, 0},
                                           SourceCallCase{500, true, SourceCall::StartUp, 999, 0},
                                           SourceCallCase{500, false, SourceCall::StartUp, -1, 0},
                                           SourceCallCase{2147483000, true, SourceCall::Tick, 2147482990, 0}));

TEST(SourceTest, TheCountdownNeverOverflows)
{
    TestSimulation t;
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "0.0000005";  // 2e9 ms: taken, and close to the limit
    t.sim.source.TimeToNextArrival = 0;
    t.sim.Running = true;
    t.random.useSeed(1);
    SourceTick(t.sim, SourceCall::Tick);
    EXPECT_EQ(t.sim.source.TimeToNextArrival, 2000000000);
    t.sim.source.TimeToNextArrival = -1;
    t.sim.display.SourceCombo.text = "Exponential";
    t.script({0.5F, 0.5F, 0.5F, 0.99999F});  // three colours, then a far tail
    SourceTick(t.sim, SourceCall::Tick);
    EXPECT_EQ(t.sim.source.TimeToNextArrival, std::numeric_limits<std::int32_t>::max() - 1);
}

TEST(SourceTest, RunningOutOfPacketsTakesPacketZeroBackAndKeepsTheModelWhole)
{
    TestSimulation t;
    t.random.useSeed(5);
    t.sim.display.SourceCombo.text = "Regular";
    t.go();
    // Packet 0 waits in place 1 of the queue; 1..49 are leaving; 50 is hidden.
    for (int i = 1; i < MaxPacket; ++i) {
        t.sim.packets[i].Visible = true;
        t.sim.packets[i].PacketState = Pkt::Right;
        t.sim.packets[i].Left = 400.0F;
        t.sim.packets[i].Top = 436.0F;
    }
    Packet& zero = t.sim.packets[0];
    zero.Visible = true;
    zero.PacketState = Pkt::Queueing;
    zero.Top = 404.0F;
    zero.Left = 176.0F;
    t.sim.slots[1] = QueueSlot{Slot::Full, 0};
    t.sim.QueueDepth = 1;
    t.sim.PacketsSourced = 50;
    t.sim.PacketsServiced = 49;
    RecountPacketsAndPlaces(t.sim);
    ASSERT_EQ(CheckInvariants(t.sim), "");

    SourceTick(t.sim, SourceCall::Tick);

    EXPECT_EQ(t.messages, std::vector<std::string>{"Silly Error: Ran Out of Packets"});
    EXPECT_EQ(zero.PacketState, Pkt::Dropping);
    EXPECT_EQ(zero.Top, 52.0F);
    EXPECT_EQ(zero.Left, 176.0F);
    EXPECT_FALSE(t.sim.packets[MaxPacket].Visible);
    EXPECT_EQ(t.sim.slots[1].SlotState, Slot::Empty);
    EXPECT_EQ(t.sim.QueueDepth, 0);
    EXPECT_EQ(t.sim.PacketsSourced, 51);
    EXPECT_EQ(t.sim.PacketsWithdrawn, 1);
    EXPECT_EQ(CheckInvariants(t.sim), "");
}

}  // namespace
}  // namespace waitline
