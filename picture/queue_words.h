#pragma once

#include <string>

#include "engine/simulation.h"

// The queue as a screen reader says it: how many places are taken and how
// many of those packets are being served.
namespace waitline {

struct QueueCount {
    int taken = 0;    // places holding a packet, those in service included
    int places = 0;   // the queue length
    int serving = 0;  // packets in service
};

QueueCount CountQueue(const Simulation& sim);

// "3 of 5 places taken, 2 in service".
std::string DescribeQueue(const QueueCount& count);

}  // namespace waitline
