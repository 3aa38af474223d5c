#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translatable.h"
#include "statistics/confidence.h"
#include "statistics/queue_theory.h"

// The measures of a queue that the program reports, each described once: its
// name, its textbook symbol, its unit, one sentence of meaning and its key in
// the batch mode's CSV and JSON. The analysis window, the batch mode, the
// exported series, the tooltips and the README all take them from here.
namespace waitline {

// One value of each measure, as simulated.
struct MeasureValues {
    double loss = 0.0;                   // of the packets sourced, the share turned away
    double meanTimeInSystem = 0.0;       // seconds
    double sdTimeInSystem = 0.0;         // seconds
    double meanWaitBeforeService = 0.0;  // seconds
    double meanInSystem = 0.0;           // packets
    double meanWaiting = 0.0;            // packets
    double throughput = 0.0;             // packets per second
    double utilisation = 0.0;            // a share
};

struct Measure {
    std::string_view name;
    std::string_view symbol;
    std::string_view unit;  // of the value as kept: empty, "s", "packets" or "packets/s"
    std::string_view meaning;
    std::string_view key;
    double MeasureValues::*simulated;
    double QueueTheory::*theory;
    // Null for the one measure without an interval.
    std::optional<ConfidenceInterval> MeasureIntervals::*interval;
    // Shown as a percentage rather than as a share.
    bool percent;
};

inline constexpr auto kMeasures = std::to_array<Measure>({
    {WAITLINE_TR("Measures", "loss probability"), "P(loss)", "",
     WAITLINE_TR("Measures", "The share of the packets sourced that find every place taken and are turned away."),
     "loss", &MeasureValues::loss, &QueueTheory::lossProbability, &MeasureIntervals::loss, true},
    {WAITLINE_TR("Measures", "time in the system"), "W", WAITLINE_TR("Measures", "s"),
     WAITLINE_TR("Measures",
                 "The mean time a served packet spends in the system, from taking a place to the end of its service."),
     "mean_time_in_system", &MeasureValues::meanTimeInSystem, &QueueTheory::meanTimeInSystem,
     &MeasureIntervals::meanTimeInSystem, false},
    {WAITLINE_TR("Measures", "standard deviation of the time in the system"), "\u03c3(W)", WAITLINE_TR("Measures", "s"),
     WAITLINE_TR("Measures", "How widely the times in the system of the served packets spread around their mean."),
     "sd_time_in_system", &MeasureValues::sdTimeInSystem, &QueueTheory::sdTimeInSystem, nullptr, false},
    {WAITLINE_TR("Measures", "wait before service"), "Wq", WAITLINE_TR("Measures", "s"),
     WAITLINE_TR("Measures",
                 "The mean time a served packet waits for a server, from taking a place to the start of its service."),
     "mean_waiting_time", &MeasureValues::meanWaitBeforeService, &QueueTheory::meanTimeBeforeService,
     &MeasureIntervals::meanWaitBeforeService, false},
    {WAITLINE_TR("Measures", "number in the system"), "L", WAITLINE_TR("Measures", "packets"),
     WAITLINE_TR("Measures", "The mean number of packets holding places, those in service included, over time."),
     "mean_in_system", &MeasureValues::meanInSystem, &QueueTheory::meanInSystem, &MeasureIntervals::meanInSystem,
     false},
    {WAITLINE_TR("Measures", "number waiting"), "Lq", WAITLINE_TR("Measures", "packets"),
     WAITLINE_TR("Measures", "The mean number of packets holding places and waiting for a server, over time."),
     "mean_queue", &MeasureValues::meanWaiting, &QueueTheory::meanWaiting, &MeasureIntervals::meanWaiting, false},
    {WAITLINE_TR("Measures", "throughput"), "X", WAITLINE_TR("Measures", "packets/s"),
     WAITLINE_TR("Measures", "The packets served per second."), "throughput", &MeasureValues::throughput,
     &QueueTheory::throughput, &MeasureIntervals::throughput, false},
    {WAITLINE_TR("Measures", "utilisation per server"), "\u03c1", "",
     WAITLINE_TR("Measures", "The share of the time a server is busy, over all the servers."), "utilisation",
     &MeasureValues::utilisation, &QueueTheory::utilisation, &MeasureIntervals::utilisation, true},
});

// The measure with this key; the key must be one of the table's.
const Measure& MeasureKeyed(std::string_view key);

// The measures of a run from the totals it kept and the squared times in
// the system of its packets, in milliseconds, summed.
MeasureValues MeasuresOf(const RunTotals& totals, double squaredMs, int servers);

// Why the 95 % intervals of a run at these settings cannot be trusted, a
// sentence for each reason; none when they can. A Pareto distribution of
// shape 2 or less has infinite variance: its batch means scatter far more
// than an interval allows for, and the intervals hold the true value much
// less often than they claim.
std::vector<std::string> IntervalWarnings(std::string_view arrival, double arrivalRate, std::string_view service,
                                          double serviceRate);

// numerator / denominator, or 0 while there is no denominator.
double SafeRatio(double numerator, double denominator);

// The standard deviation in seconds from the sums of the times and of their
// squares in milliseconds, and their count.
double SdSecondsOf(double squaredMs, double sumMs, double count);

}  // namespace waitline
