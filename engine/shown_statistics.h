#pragma once

#include <cstdint>

#include "engine/simulation.h"

namespace waitline {

// Folds the time in the system of a packet whose service has just ended into
// the mean and standard deviation. PacketsServiced already counts it.
void RecordWaitingTime(Simulation& sim, std::int32_t age);

// The once-a-tick sample of the queue occupancy, then the tick count.
void SampleOccupancy(Simulation& sim);

// The once-a-second refresh of the percentage dropped and the mean number of
// packets in the queue.
void RefreshStatistics(Simulation& sim);

}  // namespace waitline
