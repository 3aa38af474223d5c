#include "engine/tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/invariants.h"
#include "tests/engine/test_simulation.h"

namespace waitline {
namespace {

using testing::TestSimulation;

void Ticks(Simulation& sim, int n)
{
    for (int k = 0; k < n; ++k) {
        TimerMoveTimer(sim);
    }
}

// The counters stop at the ends of their range, and add exactly within it.
TEST(AddSaturatingTest, AgreesWithA64BitSumCutToTheRange)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    static_assert(AddSaturating(kMax, 1) == kMax && AddSaturating(kMin, -1) == kMin);
    static_assert(AddSaturating(kMax - 10, 10) == kMax && AddSaturating(kMin, kMax) == -1);
    std::mt19937 pick(5);
    const std::int32_t edges[] = {kMin, kMin + 1, -10, -1, 0, 1, 10, kMax - 10, kMax - 1, kMax};
    for (int k = 0; k < 100000; ++k) {
        const auto value = k < 100 ? edges[k % 10] : static_cast<std::int32_t>(pick());
        const auto delta = k < 100 ? edges[k / 10] : static_cast<std::int32_t>(pick() >> (pick() % 32));
        const std::int64_t sum = static_cast<std::int64_t>(value) + delta;
        const std::int64_t expected = std::clamp<std::int64_t>(sum, kMin, kMax);
        ASSERT_EQ(AddSaturating(value, delta), expected) << value << " + " << delta;
    }
}

// One packet through an empty queue of 3 places and 1 server, with a
// one-second service.
class PacketRoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t.random.useSeed(9);
        t.sim.display.SourceCombo.text = "Regular";
        t.sim.display.ArrivalCombo.text = "0.1";  // one packet in the first ten seconds
        t.sim.display.ServiceCombo.text = "Regular";
        t.go();
    }
    TestSimulation t;
    const Packet& packet = t.sim.packets[0];
};

TEST_F(PacketRoadTest, EntersInTickNineteenAndIsServedAtOnce)
{
    Ticks(t.sim, 18);
    EXPECT_EQ(packet.PacketState, Pkt::Dropping);
    EXPECT_EQ(packet.Top, 340.0F);  // level with the entry place
    Ticks(t.sim, 1);
    EXPECT_EQ(packet.PacketState, Pkt::Serving);
    EXPECT_EQ(packet.Top, 436.0F);
    EXPECT_EQ(packet.ServiceLeft, 1000);
    EXPECT_EQ(packet.PacketAge, 0);
    EXPECT_EQ(t.sim.QueueDepth, 1);
    EXPECT_EQ(t.sim.slots[0].SlotPacket, 0);
    EXPECT_EQ(t.sim.slots[3].SlotState, Slot::Empty);
}

TEST_F(PacketRoadTest, LeavesAtLeft816InItsThirtySecondRightTick)
{
    Ticks(t.sim, 19 + 100);
    EXPECT_EQ(packet.PacketState, Pkt::Serving);
    EXPECT_EQ(packet.ServiceLeft, 0);
    Ticks(t.sim, 1);
    EXPECT_EQ(packet.PacketState, Pkt::Right);
    EXPECT_EQ(packet.Left, 304.0F);
    EXPECT_EQ(t.sim.PacketsServiced, 1);
    EXPECT_EQ(t.sim.MeanWaitingTime, 1.0);
    EXPECT_EQ(t.sim.display.lblPacketsServiced.caption, "1");
    Ticks(t.sim, 31);
    EXPECT_EQ(packet.Left, 800.0F);
    EXPECT_TRUE(packet.Visible);
    Ticks(t.sim, 1);
    EXPECT_EQ(packet.Left, 816.0F);
    EXPECT_FALSE(packet.Visible);
    EXPECT_EQ(packet.PacketState, Pkt::Off);
    EXPECT_EQ(t.sim.PacketsServiced, 1);
}

TEST_F(PacketRoadTest, ClockAndSecondsLabelAdvanceEveryTick)
{
    Ticks(t.sim, 1);
    EXPECT_EQ(t.sim.TickCount, 1);
    EXPECT_EQ(t.sim.SimTime, 0.01);
    EXPECT_EQ(t.sim.MeanPktsInQueue, 0.0);
    EXPECT_EQ(t.sim.display.lblSeconds.caption, "0.01");
    EXPECT_FALSE(t.sim.display.lblSeconds.visible);
    Ticks(t.sim, 99);
    EXPECT_EQ(t.sim.display.lblSeconds.caption, "1");
}

TEST(TurnedAwayTest, MovesLeftThenFallsAndIsLostOnlyAtTheBottom)
{
    TestSimulation t;
    t.random.useSeed(3);
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "50";  // a packet every third tick
    t.sim.display.ServiceCombo.text = "Regular";
    t.sim.display.ServeRateCombo.text = "0.1";  // ten-second services
    t.go();
    // Packets 0..2 fill the three places; packet 3 finds them full.
    Ticks(t.sim, 9 + 18);
    const Packet& p = t.sim.packets[3];
    ASSERT_EQ(p.Top, 340.0F);
    Ticks(t.sim, 1);
    EXPECT_EQ(p.PacketState, Pkt::LeftFast);
    EXPECT_EQ(p.Top, 340.0F);
    EXPECT_EQ(p.Left, 176.0F);
    std::vector<float> lefts;
    for (int k = 0; k < 5; ++k) {
        TimerMoveTimer(t.sim);
        lefts.push_back(p.Left);
    }
    EXPECT_EQ(lefts, (std::vector<float>{144, 112, 80, 48, 32}));
    EXPECT_EQ(p.PacketState, Pkt::DropFast);
    std::vector<float> tops;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(t.sim.PacketsLost, 0);
        TimerMoveTimer(t.sim);
        tops.push_back(p.Top);
    }
    EXPECT_EQ(tops, (std::vector<float>{372, 404, 436, 468}));
    EXPECT_EQ(t.sim.PacketsLost, 1);
    EXPECT_FALSE(p.Visible);
    EXPECT_EQ(t.sim.display.lblPacketsLost.caption, "1");
}

TEST(ServiceTest, AFreedServerTakesTheNextWaitingPacketInTheSameTick)
{
    TestSimulation t;
    t.random.useSeed(4);
    t.sim.NumServers = 2;
    t.sim.QueueLength = 4;
    t.sim.display.ServiceCombo.text = "Regular";
    t.go();
    // Place 0 serves for long, place 1 finishes now, place 2 waits.
    auto place = [&](int i, int j, Pkt state, std::int32_t serviceLeft) {
        Packet& p = t.sim.packets[i];
        p = Packet{state, 176.0F, 436.0F - 32.0F * static_cast<float>(j), true, {}, serviceLeft, 0};
        t.sim.slots[j] = QueueSlot{Slot::Full, static_cast<std::int16_t>(i)};
        ++t.sim.QueueDepth;
        ++t.sim.PacketsSourced;
    };
    place(0, 0, Pkt::Serving, 5000);
    place(1, 1, Pkt::Serving, 0);
    place(2, 2, Pkt::Queueing, 0);
    RecountPacketsAndPlaces(t.sim);
    t.sim.Running = false;
    ASSERT_EQ(CheckInvariants(t.sim), "");
    TimerMoveTimer(t.sim);
    EXPECT_EQ(t.sim.packets[1].PacketState, Pkt::Right);
    EXPECT_EQ(t.sim.packets[2].PacketState, Pkt::Serving);
    EXPECT_EQ(t.sim.packets[2].Top, 404.0F);
    EXPECT_EQ(t.sim.packets[2].ServiceLeft, 1000);
    EXPECT_EQ(t.sim.packets[0].Top, 436.0F);
    EXPECT_EQ(t.sim.packets[0].ServiceLeft, 4990);
    EXPECT_EQ(CheckInvariants(t.sim), "");
}

TEST(ServiceTest, AServiceTimeOfZeroEndsInTheNextTick)
{
    TestSimulation t;
    t.random.useSeed(4);
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "0.1";
    t.sim.display.ServiceCombo.text = "none of the six";
    t.go();
    Ticks(t.sim, 19);
    EXPECT_EQ(t.sim.packets[0].PacketState, Pkt::Serving);
    Ticks(t.sim, 1);
    EXPECT_EQ(t.sim.packets[0].PacketState, Pkt::Right);
    EXPECT_EQ(t.sim.MeanWaitingTime, 0.0);
}

// Records, tick by tick, the order in which packets enter the queue and the
// order in which their services start.
struct OrderLog {
    std::vector<int> entered;
    std::vector<int> started;
    std::array<Pkt, MaxPacket + 1> statesBefore{};

    void before(const Simulation& sim)
    {
        for (int i = 0; i <= MaxPacket; ++i) {
            statesBefore[i] = sim.packets[i].PacketState;
        }
    }
    void after(const Simulation& sim)
    {
        for (int i = 0; i <= MaxPacket; ++i) {
            const Pkt now = sim.packets[i].PacketState;
            if (statesBefore[i] == Pkt::Dropping && (now == Pkt::Queueing || now == Pkt::Serving)) {
                entered.push_back(i);
            }
            if (statesBefore[i] != Pkt::Serving && now == Pkt::Serving) {
                started.push_back(i);
            }
        }
    }
};

TEST(ShortenedQueueTest, WaitingPacketsAboveTheNewLengthAreStillServedInOrder)
{
    TestSimulation t;
    t.random.useSeed(11);
    t.sim.QueueLength = 10;
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "50";
    t.sim.display.ServiceCombo.text = "Regular";
    t.sim.display.ServeRateCombo.text = "2";
    t.go();
    OrderLog log;
    bool shortened = false;
    for (int tick = 0; tick < 6000; ++tick) {
        if (!shortened && t.sim.QueueDepth == 10) {
            t.sim.QueueLength = 3;  // seven packets now stand above the length
            shortened = true;
        }
        if (tick == 1000) {
            t.sim.Running = false;
        }
        log.before(t.sim);
        TimerMoveTimer(t.sim);
        log.after(t.sim);
        ASSERT_EQ(CheckInvariants(t.sim), "") << "tick " << tick;
    }
    ASSERT_TRUE(shortened);
    EXPECT_EQ(t.sim.QueueDepth, 0);
    EXPECT_EQ(log.started, log.entered);
    EXPECT_EQ(static_cast<std::int32_t>(log.entered.size()), t.sim.PacketsServiced);
}

TEST(LengthenedQueueTest, APacketBelowTheNewEntryPlaceStillEnters)
{
    TestSimulation t;
    t.random.useSeed(12);
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "0.1";
    t.go();
    Ticks(t.sim, 17);  // Top 324: half a place above the entry place of 3
    ASSERT_EQ(t.sim.packets[0].Top, 324.0F);
    t.sim.QueueLength = 7;
    Ticks(t.sim, 2);
    EXPECT_EQ(t.sim.packets[0].PacketState, Pkt::Serving);
    EXPECT_EQ(t.sim.packets[0].Top, 436.0F);
    EXPECT_EQ(CheckInvariants(t.sim), "");
}

TEST(LengthenedQueueTest, SeveralPacketsBelowTheNewEntryPlaceAllEnterInTurn)
{
    TestSimulation t;
    t.random.useSeed(13);
    t.sim.display.SourceCombo.text = "Regular";
    t.sim.display.ArrivalCombo.text = "100";  // a packet every second tick
    t.sim.display.ServiceCombo.text = "Regular";
    t.sim.display.ServeRateCombo.text = "0.5";
    t.go();
    Ticks(t.sim, 12);
    t.sim.Running = false;
    t.sim.QueueLength = 10;  // packets 0..5 have all passed the new entry place
    OrderLog log;
    for (int tick = 0; tick < 40; ++tick) {
        log.before(t.sim);
        TimerMoveTimer(t.sim);
        log.after(t.sim);
        ASSERT_EQ(CheckInvariants(t.sim), "") << "tick " << tick;
    }
    EXPECT_EQ(log.entered, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(t.sim.QueueDepth, 6);
    for (const Packet& p : t.sim.packets) {
        EXPECT_NE(p.PacketState, Pkt::LeftFast);
        EXPECT_NE(p.PacketState, Pkt::DropFast);
    }
}

// Thousands of ticks with parameters, texts and run control changed at random
// between ticks: the model must agree with itself after every one of them.
TEST(RandomRunTest, InvariantsHoldAfterEveryTick)
{
    const std::vector<std::string> distributions{"Exponential", "Regular",    "Uniform", "Pareto 0.1",
                                                 "Pareto 0.2",  "Pareto 0.5", "bogus"};
    const std::vector<std::string> rates{"0.1", "0.5", "1", "2", "5", "10", "20", "50", "0", "-1", "", "abc", "1e9"};
    for (unsigned seed = 1; seed <= 8; ++seed) {
        std::mt19937 pick(seed);
        auto any = [&](const std::vector<std::string>& from) { return from[pick() % from.size()]; };
        TestSimulation t;
        t.random.useSeed(seed);
        t.go();
        std::int64_t sourced = 0;
        for (int tick = 0; tick < 20000; ++tick) {
            switch (pick() % 400) {
            case 0: t.sim.display.SourceCombo.text = any(distributions); break;
            case 1: t.sim.display.ServiceCombo.text = any(distributions); break;
            case 2: t.sim.display.ArrivalCombo.text = any(rates); break;
            case 3: t.sim.display.ServeRateCombo.text = any(rates); break;
            case 4:
                t.sim.QueueLength = static_cast<std::int16_t>(t.sim.NumServers + pick() % (11 - t.sim.NumServers));
                break;
            case 5:
                t.sim.NumServers = static_cast<std::int16_t>(1 + pick() % std::min<int>(5, t.sim.QueueLength));
                break;
            case 6: t.sim.Running = !t.sim.Running; break;
            case 7:
                sourced += t.sim.PacketsSourced;
                t.go();
                break;
            default: break;
            }
            TimerMoveTimer(t.sim);
            ASSERT_EQ(CheckInvariants(t.sim), "") << "seed " << seed << " tick " << tick;
        }
        EXPECT_GT(sourced + t.sim.PacketsSourced, 200) << "the run hardly ran";
    }
}

}  // namespace
}  // namespace waitline
