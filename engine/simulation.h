#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "engine/display_model.h"
#include "engine/intervals.h"
#include "engine/packet.h"
#include "engine/random_source.h"

namespace waitline {

constexpr std::int16_t MaxQueueLength = 10;
constexpr std::int16_t MaxServers = 5;
constexpr std::int16_t MaxPacket = 50;
constexpr int kSlotCount = 13;  // places 0..10 are used; 11 and 12 are never touched

// Typed rates, in packets per second: once a second the check writes a rate
// above kRateCeiling back as kRateAfterCeiling, and one below 0 as 0.
inline constexpr std::int32_t kRateCeiling = 50;
inline constexpr std::int32_t kRateAfterCeiling = 20;
// The slowest rate a run is given from outside the window (the batch mode,
// a shared link): slower ones leave the demo's countdown range.
inline constexpr double kLowestRate = 0.000001;

// The arrival process's own state: it survives every reset.
struct PacketSource {
    std::int32_t TimeToNextArrival = -1;  // milliseconds; 0 or below: an arrival is due
    RateReader arrivalRate;
};

// Everything the simulation remembers between ticks, with the display model
// it reads its parameters from and writes its counts to.
struct Simulation {
    std::int16_t NumServers = 1;
    std::int16_t QueueLength = 3;
    bool Running = false;
    // Whether Pause froze the animation; the pause button's caption shows it.
    bool Paused = false;

    std::array<Packet, MaxPacket + 1> packets{};
    std::array<QueueSlot, kSlotCount> slots{};
    // The packets in play, those not Off: bit i for packet i. The tick visits
    // only these, in the order of their numbers. Whatever takes a packet out
    // of Off or puts it back sets or clears its bit.
    std::uint64_t packetsInPlay = 0;
    // The places taken, those Full: bit j for place j, kept by TakePlace and
    // FreePlace, so that the tick finds free and taken places without
    // looking at every one.
    std::uint16_t placesTaken = 0;

    std::int32_t PacketsSourced = 0;
    std::int32_t PacketsServiced = 0;
    std::int32_t PacketsLost = 0;
    // Packets taken out of the system on their way in, when the source ran out
    // of packets and took packet 0 back; they count neither as served nor lost.
    std::int32_t PacketsWithdrawn = 0;
    std::int16_t QueueDepth = 0;
    std::int32_t TickCount = 0;
    double SimTime = 0.0;

    double PercentDropped = 0.0;
    double MeanWaitingTime = 0.0;
    double StdDevWaitingTime = 0.0;
    double MeanPktsInQueue = 0.0;

    // The times in the system, in milliseconds, of the packets served in the
    // last tick, for whoever follows the run; every packet served held a place.
    // Beside each, the part of it the packet waited before its service began.
    std::array<std::int32_t, kSlotCount> servedInTick{};
    std::array<std::int32_t, kSlotCount> servedWaitInTick{};
    std::int16_t servedInTickCount = 0;

    PacketSource source;
    RateReader serviceRate;
    DisplayModel display;

    RandomSource* random = nullptr;
    // Shows a modal message with an OK button and returns once it is closed.
    std::function<void(std::string_view)> showMessage;

    std::int32_t tickInterval() const { return display.TimerMove.Interval; }
};

static_assert(MaxPacket < 64, "one bit of Simulation::packetsInPlay for each packet");
static_assert(kSlotCount <= 16, "one bit of Simulation::placesTaken for each place");

constexpr std::uint64_t PacketBit(int i) { return std::uint64_t{1} << static_cast<unsigned>(i); }
constexpr std::uint16_t PlaceBit(int j) { return static_cast<std::uint16_t>(1U << static_cast<unsigned>(j)); }

// Packet `packet` takes place j, or place j is freed.
inline void TakePlace(Simulation& sim, int j, std::int16_t packet)
{
    sim.slots[j].SlotState = Slot::Full;
    sim.slots[j].SlotPacket = packet;
    sim.placesTaken = static_cast<std::uint16_t>(sim.placesTaken | PlaceBit(j));
}
inline void FreePlace(Simulation& sim, int j)
{
    sim.slots[j].SlotState = Slot::Empty;
    sim.slots[j].SlotPacket = -1;
    sim.placesTaken = static_cast<std::uint16_t>(sim.placesTaken & ~PlaceBit(j));
}

// Rebuilds the packets in play and the places taken from the packets' states
// and the places, for code that writes those directly, as tests arranging a
// picture do.
void RecountPacketsAndPlaces(Simulation& sim);

// Clears packets, places, counters, clock and results, and their labels.
// Leaves the structural parameters, the run flag, the packets' positions,
// colours and times, and the arrival countdown as they are.
void ResetSimulation(Simulation& sim);

// Adds without overflowing: the counters stop at the ends of their range.
constexpr std::int32_t AddSaturating(std::int32_t value, std::int32_t delta)
{
#if defined(__GNUC__) || defined(__clang__)
    // The processor's overflow flag says it at once; the tick adds to a few
    // counters of every packet.
    std::int32_t result = 0;
    if (!__builtin_add_overflow(value, delta, &result)) {
        return result;
    }
    return delta > 0 ? std::numeric_limits<std::int32_t>::max() : std::numeric_limits<std::int32_t>::min();
#else
    const std::int64_t sum = static_cast<std::int64_t>(value) + delta;
    if (sum > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (sum < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(sum);
#endif
}

}  // namespace waitline
