#include "engine/source.h"

#include <cmath>

#include "engine/geometry.h"
#include "engine/number_text.h"
#include "engine/shown_statistics.h"
#include "engine/translatable.h"

namespace waitline {

namespace {

using geometry::kStartTop;

std::uint8_t ColourChannel(RandomSource& random)
{
    return static_cast<std::uint8_t>(RoundHalfEven(255.0 * static_cast<double>(random.nextSingle())));
}

// Packet 0 is about to be taken again while it may still be on its way: free
// the place it holds so that the places and the depth agree with the packets.
void WithdrawPacket(Simulation& sim, int i)
{
    Packet& packet = sim.packets[i];
    switch (packet.PacketState) {
    case Pkt::Queueing:
    case Pkt::Serving:
        for (int j = 0; j <= MaxQueueLength; ++j) {
            const QueueSlot& slot = sim.slots[j];
            if (slot.SlotState == Slot::Full && slot.SlotPacket == i) {
                FreePlace(sim, j);
                --sim.QueueDepth;
            }
        }
        [[fallthrough]];
    case Pkt::Dropping:
    case Pkt::LeftFast:
    case Pkt::DropFast: sim.PacketsWithdrawn = AddSaturating(sim.PacketsWithdrawn, 1); break;
    case Pkt::Off:
    case Pkt::Right: break;
    }
}

int FindFreePacket(const Simulation& sim)
{
    // Packet MaxPacket itself is never taken: the scan stops on it.
    int i = 0;
    while (i < MaxPacket && sim.packets[i].Visible) {
        ++i;
    }
    return i;
}

void CreatePacket(Simulation& sim)
{
    int i = FindFreePacket(sim);
    if (i == MaxPacket) {
        if (sim.showMessage) {
            sim.showMessage(WAITLINE_TR("Messages", "Silly Error: Ran Out of Packets"));
        }
        i = 0;
        WithdrawPacket(sim, i);
    }
    Packet& packet = sim.packets[i];
    const std::uint8_t red = ColourChannel(*sim.random);
    const std::uint8_t green = ColourChannel(*sim.random);
    const std::uint8_t blue = ColourChannel(*sim.random);
    packet.FillColor = Rgb{red, green, blue};
    packet.Top = kStartTop;
    packet.Left = geometry::kColumnLeft;
    packet.Visible = true;
    sim.PacketsSourced = AddSaturating(sim.PacketsSourced, 1);
    sim.display.lblPacketsSourced.caption.show(sim.PacketsSourced, SpellCount);
    packet.PacketState = Pkt::Dropping;
    sim.packetsInPlay |= PacketBit(i);
}

}  // namespace

void SourceStartUpOrArrival(Simulation& sim, SourceCall call)
{
    // The tick comes here only with a countdown that has run out.
    std::int32_t& countdown = sim.source.TimeToNextArrival;
    if (call == SourceCall::StartUp) {
        countdown = -1;
    }
    if (!sim.Running) {
        return;
    }
    if (call == SourceCall::Tick) {
        CreatePacket(sim);
    }
    // Both texts are read now, so a change applies from the next interval.
    const double rate = sim.source.arrivalRate.read(sim.display.ArrivalCombo.text);
    countdown = AddSaturating(countdown, NextInterval(sim.display.SourceCombo.text, rate, *sim.random));
}

}  // namespace waitline
