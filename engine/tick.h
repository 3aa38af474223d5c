#pragma once

#include "engine/simulation.h"

namespace waitline {

// One tick of the animation and of simulated time: the source, the occupancy
// sample, one step of every packet, the queue phase and the clock.
void TimerMoveTimer(Simulation& sim);

// The level of a packet: place j's packets stand at level j + 1, a new packet
// at 13. Levels are multiples of 0.5.
float PacketLevel(float top);
bool IsWholeLevel(float level);

}  // namespace waitline
