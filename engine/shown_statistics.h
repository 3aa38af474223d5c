#pragma once

#include <cstdint>
#include <string>

#include "engine/simulation.h"

namespace waitline {

// How the labels spell what they show, for Caption::show: a count, the
// clock in hundredths cut from the seconds, the clock's whole seconds, and the
// statistics in seconds, in percent and without a unit.
void SpellCount(std::string& text, double count);
void SpellHundredths(std::string& text, double seconds);
void SpellWholeSeconds(std::string& text, double seconds);
void SpellSecondsStatistic(std::string& text, double value);
void SpellPercentStatistic(std::string& text, double value);
void SpellStatistic(std::string& text, double value);

// Folds the time in the system of a packet whose service has just ended into
// the mean and standard deviation. PacketsServiced already counts it.
void RecordWaitingTime(Simulation& sim, std::int32_t age);

// The once-a-tick sample of the queue occupancy, then the tick count.
inline void SampleOccupancy(Simulation& sim)
{
    if (sim.Running && sim.TickCount > 0 && sim.SimTime > 0.0) {
        const double ticks = sim.TickCount;
        sim.MeanPktsInQueue = ((ticks - 1.0) * sim.MeanPktsInQueue + sim.QueueDepth) / ticks;
    }
    sim.TickCount = AddSaturating(sim.TickCount, 1);
}

// The once-a-second refresh of the percentage dropped and the mean number of
// packets in the queue.
void RefreshStatistics(Simulation& sim);

}  // namespace waitline
