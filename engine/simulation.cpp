#include "engine/simulation.h"

#include <limits>

namespace waitline {

void RecountPacketsAndPlaces(Simulation& sim)
{
    sim.packetsInPlay = 0;
    for (int i = 0; i <= MaxPacket; ++i) {
        if (sim.packets[i].PacketState != Pkt::Off) {
            sim.packetsInPlay |= PacketBit(i);
        }
    }
    sim.placesTaken = 0;
    for (int j = 0; j <= MaxQueueLength; ++j) {
        if (sim.slots[j].SlotState == Slot::Full) {
            sim.placesTaken = static_cast<std::uint16_t>(sim.placesTaken | PlaceBit(j));
        }
    }
}

void ResetSimulation(Simulation& sim)
{
    DisplayModel& d = sim.display;
    sim.SimTime = 0.0;
    for (Packet& packet : sim.packets) {
        packet.Visible = false;
        packet.PacketState = Pkt::Off;
    }
    sim.packetsInPlay = 0;
    for (int j = 0; j <= MaxQueueLength; ++j) {
        FreePlace(sim, j);
    }
    sim.PercentDropped = 0.0;
    sim.QueueDepth = 0;
    d.lblPercentDropped.caption = "0";
    sim.MeanWaitingTime = 0.0;
    d.lblMeanWaitingTime.caption = "0";
    sim.StdDevWaitingTime = 0.0;
    d.lblStdDevWaitingTime.caption = "0";
    sim.MeanPktsInQueue = 0.0;
    d.lblMeanPktsInQueue.caption = "0";
    sim.PacketsSourced = 0;
    d.lblPacketsSourced.caption = "0";
    sim.PacketsServiced = 0;
    d.lblPacketsServiced.caption = "0";
    sim.PacketsLost = 0;
    d.lblPacketsLost.caption = "0";
    sim.PacketsWithdrawn = 0;
    sim.servedInTickCount = 0;
    sim.SimTime = 0.0;
    sim.TickCount = 0;
}

}  // namespace waitline
