#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "control/form.h"

// A busy run, the same in any number of forms and windows: a fixed seed, ten
// places, two servers and five arrivals a second, so that packets are
// falling, queueing and being served at once. Twin runs compare it tick by
// tick.
namespace waitline::test {

inline constexpr unsigned kBusyRunSeed = 11;

struct BusyRunEntry {
    ComboId box;
    const char* entry;
    bool typed;  // typed into the box rather than chosen from its list
};
inline constexpr std::array<BusyRunEntry, 3> kBusyRunEntries{{
    {ComboId::QueueCombo, "10", false},
    {ComboId::ServerCombo, "2", false},
    {ComboId::ArrivalCombo, "5", true},
}};

// Loads the form, sets it up for the busy run and presses Go.
inline void StartBusyRun(Form& form)
{
    FormLoad(form);
    form.clockRandom.seed(kBusyRunSeed);
    for (const BusyRunEntry& e : kBusyRunEntries) {
        ASSERT_TRUE(e.typed ? TypeText(form, e.box, e.entry) : ChooseEntry(form, e.box, e.entry));
    }
    Click(form, ButtonId::StartButton);
}

// What a tick changes, packet by packet and place by place, and the counters,
// as text, so that a difference names the field.
inline std::vector<std::string> TickState(const Simulation& sim)
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

}  // namespace waitline::test
