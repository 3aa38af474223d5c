#pragma once

#include <cstdint>

#include "engine/simulation.h"

namespace waitline {

// Who calls the arrival process: start-up, once, which makes an arrival due at
// the first tick after Go; or the tick, every time.
enum class SourceCall : std::uint8_t { StartUp, Tick };

// What SourceTick does at start-up and once the countdown has run out.
void SourceStartUpOrArrival(Simulation& sim, SourceCall call);

// The arrival process's step: the countdown runs while the run does, and a
// countdown that has run out brings a packet in and begins the next.
inline void SourceTick(Simulation& sim, SourceCall call)
{
    std::int32_t& countdown = sim.source.TimeToNextArrival;
    if (call == SourceCall::Tick && countdown > 0) {
        if (sim.Running) {
            countdown = AddSaturating(countdown, -sim.tickInterval());
        }
        return;
    }
    SourceStartUpOrArrival(sim, call);
}

}  // namespace waitline
