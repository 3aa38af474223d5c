#include "engine/tick.h"

#include <bit>
#include <cmath>

#include "engine/geometry.h"
#include "engine/number_text.h"
#include "engine/shown_statistics.h"
#include "engine/source.h"

namespace waitline {

namespace {

using geometry::kExitJump;
using geometry::kPlacePitch;
using geometry::PlaceTop;

using geometry::kBottomEdge;
using geometry::kDropStep;
using geometry::kFallColumn;
using geometry::kFallStep;
using geometry::kLeftEdge;
using geometry::kLeftStep;
using geometry::kRightEdge;
using geometry::kRightStep;

bool AnyEmptyPlaceBelow(const Simulation& sim, int length)
{
    const unsigned below = (1U << static_cast<unsigned>(length)) - 1U;
    return (sim.placesTaken & below) != below;
}

// Places at or above the queue length hold packets only after the user has
// shortened the queue; until they have come down, the queue counts as full so
// that newcomers cannot overtake them.
bool AnyPlaceTakenFrom(const Simulation& sim, int first)
{
    return (static_cast<unsigned>(sim.placesTaken) >> static_cast<unsigned>(first)) != 0;
}

// overfull: places at or above the queue length were taken when the tick
// began, which happens only after the user shortened the queue. Returns
// whether the packet waits in the queue after its step.
bool StepDropping(Simulation& sim, int i, bool overfull)
{
    Packet& packet = sim.packets[i];
    const float level = PacketLevel(packet.Top);
    const int entryLevel = sim.QueueLength + 1;
    // A packet at or below the entry level counts as level with it: after the
    // queue was lengthened it may already have passed the new entry place.
    // A whole level above it is never level with it, whether whole or not.
    if (level >= static_cast<float>(entryLevel + 1) || !IsWholeLevel(level) ||
        std::floor(level) > static_cast<float>(entryLevel)) {
        packet.Top += kDropStep;
        return false;
    }
    const int entry = sim.QueueLength;
    if (!AnyEmptyPlaceBelow(sim, entry) || overfull) {
        packet.PacketState = Pkt::LeftFast;  // turned away; it stands still this tick
        return false;
    }
    if (sim.slots[entry].SlotState == Slot::Full) {
        // Another packet that had passed the new entry place took it in this
        // tick; this one waits where it stands and enters in a later tick.
        return false;
    }
    // The entry place is taken for the rest of the tick; the queue phase
    // moves the packet down to where it belongs.
    ++sim.QueueDepth;
    TakePlace(sim, entry, static_cast<std::int16_t>(i));
    packet.Top = PlaceTop(entry);
    packet.PacketState = Pkt::Queueing;
    packet.PacketAge = 0;
    return true;
}

void StepDropFast(Simulation& sim, int i)
{
    Packet& packet = sim.packets[i];
    packet.Top += kFallStep;
    if (packet.Top > kBottomEdge) {
        packet.PacketState = Pkt::Off;
        packet.Visible = false;
        sim.packetsInPlay &= ~PacketBit(i);
        sim.PacketsLost = AddSaturating(sim.PacketsLost, 1);
        sim.display.lblPacketsLost.caption.show(sim.PacketsLost, SpellCount);
    }
}

void StepLeftFast(Packet& packet)
{
    packet.Left -= kLeftStep;
    if (packet.Left < kLeftEdge) {
        packet.PacketState = Pkt::DropFast;
        packet.Left = kFallColumn;
    }
}

void StepRight(Simulation& sim, int i)
{
    Packet& packet = sim.packets[i];
    packet.Left += kRightStep;
    if (packet.Left > kRightEdge) {
        packet.PacketState = Pkt::Off;
        packet.Visible = false;
        sim.packetsInPlay &= ~PacketBit(i);
    }
}

void StepServing(Simulation& sim, int i)
{
    Packet& packet = sim.packets[i];
    const std::int32_t interval = sim.tickInterval();
    if (packet.ServiceLeft > 0) {
        packet.ServiceLeft = AddSaturating(packet.ServiceLeft, -interval);
        packet.PacketAge = AddSaturating(packet.PacketAge, interval);
        return;
    }
    const float place = (PlaceTop(0) - packet.Top) / kPlacePitch;
    FreePlace(sim, static_cast<int>(RoundHalfEven(place)));
    packet.PacketState = Pkt::Right;
    --sim.QueueDepth;
    packet.Left += kExitJump;
    sim.PacketsServiced = AddSaturating(sim.PacketsServiced, 1);
    sim.display.lblPacketsServiced.caption.show(sim.PacketsServiced, SpellCount);
    RecordWaitingTime(sim, packet.PacketAge);
    if (sim.servedInTickCount < static_cast<std::int16_t>(sim.servedInTick.size())) {
        sim.servedWaitInTick[sim.servedInTickCount] = packet.WaitBeforeService;
        sim.servedInTick[sim.servedInTickCount++] = packet.PacketAge;
    }
}

// Returns whether the packet waits in the queue after its step.
bool StepPacket(Simulation& sim, int i, bool overfull)
{
    Packet& packet = sim.packets[i];
    switch (packet.PacketState) {
    case Pkt::Dropping: return StepDropping(sim, i, overfull);
    case Pkt::DropFast: StepDropFast(sim, i); break;
    case Pkt::LeftFast: StepLeftFast(packet); break;
    case Pkt::Right: StepRight(sim, i); break;
    case Pkt::Serving: StepServing(sim, i); break;
    case Pkt::Queueing: packet.PacketAge = AddSaturating(packet.PacketAge, sim.tickInterval()); return true;
    case Pkt::Off: break;
    }
    return false;
}

void StartService(Simulation& sim, int q)
{
    Packet& packet = sim.packets[q];
    packet.PacketState = Pkt::Serving;
    packet.WaitBeforeService = packet.PacketAge;
    // Both texts are read now: services already running keep their times.
    const double rate = sim.serviceRate.read(sim.display.ServeRateCombo.text);
    packet.ServiceLeft = NextInterval(sim.display.ServiceCombo.text, rate, *sim.random);
}

bool HoldsWaitingPacket(const Simulation& sim, int k)
{
    const QueueSlot& slot = sim.slots[k];
    return slot.SlotState == Slot::Full && sim.packets[slot.SlotPacket].PacketState == Pkt::Queueing;
}

// The highest place a packet waiting above place j could be in is the
// highest place of all: packets left above a shortened queue come down too.
// Only the places taken can hold one; they are looked at from below.
int FindWaitingAbove(const Simulation& sim, int j)
{
    const unsigned from = static_cast<unsigned>(j) + 1U;
    for (unsigned above = static_cast<unsigned>(sim.placesTaken) >> from << from; above != 0; above &= above - 1U) {
        const int k = std::countr_zero(above);
        if (HoldsWaitingPacket(sim, k)) {
            return k;
        }
    }
    return -1;
}

// Compacts the queue in one pass, first in first out, and starts service at
// free servers.
void QueuePhase(Simulation& sim)
{
    const int length = sim.QueueLength;
    for (int j = 0; j < length; ++j) {
        const QueueSlot& place = sim.slots[j];
        if (place.SlotState == Slot::Empty) {
            const int k = FindWaitingAbove(sim, j);
            if (k < 0) {
                // Nothing waits above j, so nothing is left to move down or
                // to start.
                return;
            }
            const std::int16_t q = sim.slots[k].SlotPacket;
            sim.packets[q].Top = PlaceTop(j);
            FreePlace(sim, k);
            TakePlace(sim, j, q);
            if (j < sim.NumServers) {
                StartService(sim, q);
            }
        } else if (j < sim.NumServers && HoldsWaitingPacket(sim, j)) {
            StartService(sim, place.SlotPacket);
        }
    }
}

void AdvanceClock(Simulation& sim)
{
    sim.SimTime += static_cast<double>(sim.tickInterval()) / 1000.0;
    Label& seconds = sim.display.lblSeconds;
    seconds.caption.show(sim.SimTime, SpellHundredths);
    seconds.visible = false;
}

}  // namespace

float PacketLevel(float top) { return (PlaceTop(0) - top + kPlacePitch) / kPlacePitch; }

bool IsWholeLevel(float level)
{
    const auto raised = static_cast<float>(std::floor(static_cast<double>(level) + 0.99));
    return raised == std::floor(level);
}

void TimerMoveTimer(Simulation& sim)
{
    sim.servedInTickCount = 0;
    SourceTick(sim, SourceCall::Tick);
    SampleOccupancy(sim);
    const bool overfull = AnyPlaceTakenFrom(sim, sim.QueueLength);
    // Only the packets in play move, in the order of their numbers. A step
    // changes no other packet's state, so the packets left waiting are those
    // seen waiting after their own step; with none, the queue phase would
    // move and start nothing.
    bool anyWaiting = false;
    for (std::uint64_t left = sim.packetsInPlay; left != 0; left &= left - 1) {
        if (StepPacket(sim, std::countr_zero(left), overfull)) {
            anyWaiting = true;
        }
    }
    if (sim.QueueDepth >= 1 && anyWaiting) {
        QueuePhase(sim);
    }
    AdvanceClock(sim);
}

}  // namespace waitline
