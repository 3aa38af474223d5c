#include "engine/invariants.h"

#include <cmath>
#include <sstream>
#include <string_view>

#include "engine/geometry.h"

namespace waitline {

namespace {

bool IsWhole(float x) { return std::isfinite(x) && std::floor(x) == x; }

bool IsOnItsWayIn(Pkt state)
{
    return state == Pkt::Dropping || state == Pkt::LeftFast || state == Pkt::DropFast || state == Pkt::Queueing ||
           state == Pkt::Serving;
}

// Keeps the first disagreement found; formatting happens only on failure, so
// checking a sound model after every tick stays cheap.
class Report {
public:
    template <typename... Parts>
    void fail(const Parts&... parts)
    {
        if (text_.empty()) {
            std::ostringstream out;
            (out << ... << parts);
            text_ = out.str();
        }
    }
    std::string text() const { return text_; }

private:
    std::string text_;
};

void CheckPlaces(const Simulation& sim, Report& report)
{
    int full = 0;
    for (int j = 0; j <= MaxQueueLength; ++j) {
        const QueueSlot& slot = sim.slots[j];
        const bool names = slot.SlotPacket >= 0 && slot.SlotPacket <= MaxPacket;
        if ((slot.SlotState == Slot::Full) != names) {
            report.fail("place ", j, " is ", ToText(slot.SlotState), " naming packet ", slot.SlotPacket);
        }
        if (slot.SlotState == Slot::Empty && slot.SlotPacket != -1) {
            report.fail("empty place ", j, " names ", slot.SlotPacket);
        }
        if (slot.SlotState == Slot::Full) {
            ++full;
            const Pkt state = sim.packets[slot.SlotPacket].PacketState;
            if (state != Pkt::Queueing && state != Pkt::Serving) {
                report.fail("place ", j, " names packet ", slot.SlotPacket, " which is ", ToText(state));
            }
        }
    }
    for (int j = 0; j < 16; ++j) {
        const bool taken = (sim.placesTaken & PlaceBit(j)) != 0;
        const bool isFull = j <= MaxQueueLength && sim.slots[j].SlotState == Slot::Full;
        if (taken != isFull) {
            report.fail("place ", j, isFull ? " is Full" : " is not Full", " but ", taken ? "" : "not ", "taken");
        }
    }
    if (full != sim.QueueDepth) {
        report.fail("QueueDepth ", sim.QueueDepth, " but ", full, " places are full");
    }
}

void CheckPackets(const Simulation& sim, Report& report)
{
    if ((sim.packetsInPlay >> (MaxPacket + 1)) != 0) {
        report.fail("packets in play beyond packet ", MaxPacket, ": ", sim.packetsInPlay);
    }
    for (int i = 0; i <= MaxPacket; ++i) {
        const Packet& packet = sim.packets[i];
        if (!IsWhole(packet.Left) || !IsWhole(packet.Top)) {
            report.fail("packet ", i, " stands at ", packet.Left, ", ", packet.Top);
        }
        if (packet.PacketState != Pkt::Off && !packet.Visible) {
            report.fail("packet ", i, " is ", ToText(packet.PacketState), " but hidden");
        }
        const bool inPlay = (sim.packetsInPlay & PacketBit(i)) != 0;
        if (inPlay != (packet.PacketState != Pkt::Off)) {
            report.fail("packet ", i, " is ", ToText(packet.PacketState), inPlay ? " but" : " and not", " in play");
        }
        if (packet.PacketState != Pkt::Queueing && packet.PacketState != Pkt::Serving) {
            continue;
        }
        int held = 0;
        for (int j = 0; j <= MaxQueueLength; ++j) {
            const QueueSlot& slot = sim.slots[j];
            if (slot.SlotState == Slot::Full && slot.SlotPacket == i) {
                ++held;
                if (packet.Top != geometry::PlaceTop(j)) {
                    report.fail("packet ", i, " holds place ", j, " but stands at Top ", packet.Top);
                }
            }
        }
        if (held != 1) {
            report.fail("packet ", i, " is ", ToText(packet.PacketState), " holding ", held, " places");
        }
    }
}

void CheckNumbers(const Simulation& sim, Report& report)
{
    const double results[] = {sim.SimTime, sim.PercentDropped, sim.MeanWaitingTime, sim.StdDevWaitingTime,
                              sim.MeanPktsInQueue};
    for (const double value : results) {
        if (!std::isfinite(value) || value < 0.0) {
            report.fail("a result is ", value);
        }
    }
    if (sim.PacketsSourced < 0 || sim.PacketsServiced < 0 || sim.PacketsLost < 0 || sim.TickCount < 0) {
        report.fail("a counter is negative");
    }
    if (!(1 <= sim.NumServers && sim.NumServers <= sim.QueueLength && sim.QueueLength <= MaxQueueLength &&
          sim.NumServers <= MaxServers)) {
        report.fail("NumServers ", sim.NumServers, " and QueueLength ", sim.QueueLength, " out of range");
    }
}

// Every packet sourced since the reset has been served, lost, withdrawn when
// its packet was taken again, or is still on its way in.
void CheckBooks(const Simulation& sim, Report& report)
{
    long long onTheWay = 0;
    for (const Packet& packet : sim.packets) {
        if (IsOnItsWayIn(packet.PacketState)) {
            ++onTheWay;
        }
    }
    const long long accounted =
        static_cast<long long>(sim.PacketsServiced) + sim.PacketsLost + sim.PacketsWithdrawn + onTheWay;
    if (accounted != sim.PacketsSourced) {
        report.fail("books: ", sim.PacketsSourced, " sourced but ", sim.PacketsServiced, " served + ", sim.PacketsLost,
                    " lost + ", sim.PacketsWithdrawn, " withdrawn + ", onTheWay, " on the way");
    }
}

// The pause is a state of its own; the button's caption and the move timer
// follow it.
void CheckPause(const Simulation& sim, Report& report)
{
    const std::string_view caption = sim.display.PauseButton;
    if (caption != PauseCaption(sim.Paused)) {
        report.fail("paused ", sim.Paused, " but the pause button says ", caption);
    }
    if (sim.Paused && sim.display.TimerMove.Enabled) {
        report.fail("paused with the move timer on");
    }
}

}  // namespace

std::string CheckInvariants(const Simulation& sim)
{
    Report report;
    CheckPause(sim, report);
    CheckPlaces(sim, report);
    CheckPackets(sim, report);
    CheckNumbers(sim, report);
    CheckBooks(sim, report);
    return report.text();
}

}  // namespace waitline
