#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/translatable.h"

namespace waitline {

// A queue as the window sets it up. The places count every packet the system
// holds, those in service included, as the queue length box does.
struct QueueSettings {
    double arrivalRate = 1.0;  // packets per second
    double serviceRate = 1.0;  // packets per second, for each server
    std::int32_t servers = 1;
    std::int32_t places = 1;
};

// The long-run values of a queue in its steady state.
struct QueueTheory {
    double lossProbability = 0.0;  // the share of arrivals turned away
    double throughput = 0.0;       // packets admitted (and so served) per second
    double utilisation = 0.0;      // the share of time a server is busy
    double meanInSystem = 0.0;     // packets holding places; the demo's "Mean Packets In Queue"
    double meanWaiting = 0.0;      // packets holding places but not yet in service
    // Seconds an admitted packet spends holding a place; the demo's "Mean
    // Waiting Time" measures this, not the wait before service.
    double meanTimeInSystem = 0.0;
    double meanTimeBeforeService = 0.0;
    // The standard deviation of an admitted packet's time in the system,
    // first come, first served; the demo's "Std.Dev. Waiting Time" measures
    // this.
    double sdTimeInSystem = 0.0;
};

// The textbook's letters for the number of servers and of places.
inline constexpr std::string_view kServersSymbol = "c";
inline constexpr std::string_view kPlacesSymbol = "K";

// The queue in Kendall's notation, A/S/c/K: M for exponential times, D for
// regular ones and G for any other distribution (uniform, Pareto).
std::string KendallNotation(std::string_view arrival, std::string_view service, std::int32_t servers,
                            std::int32_t places);

inline constexpr std::string_view kNeedsExponential =
    WAITLINE_TR("Theory", "no exact value: the textbook formulas need exponential arrivals and service");
inline constexpr std::string_view kSettingsOutOfRange =
    WAITLINE_TR("Theory", "no exact value: the rates must be positive and finite, with 1 <= servers <= places");

// The exact values for Poisson arrivals and exponential service (the M/M/c/K
// queue), or none for settings that describe no queue. Accurate to a few
// units in the last place for any load and any number of places; the work
// grows linearly with the places.
std::optional<QueueTheory> MarkovianTheory(const QueueSettings& settings);

// The share of admitted packets whose time in the system is at most t
// seconds, first come, first served, in the M/M/c/K queue: a packet that
// finds a server free is served at once; one that finds n >= c packets waits
// for n - c + 1 departures, each after an exponential time of rate c mu.
// Settings that describe no queue give 0.
double TimeInSystemShareWithin(const QueueSettings& settings, double t);

// The exact values for the distributions chosen in the window, by the names
// in kDistributionNames. Only exponential arrivals with exponential service
// have them; for any other pair the theory stays empty and the reason says
// why, so that the window never shows a value nobody can vouch for.
struct TheoryAnswer {
    std::optional<QueueTheory> theory;
    std::string_view reason;  // empty when there is a theory
};
TheoryAnswer ExactTheory(std::string_view arrivalDistribution, std::string_view serviceDistribution,
                         const QueueSettings& settings);

}  // namespace waitline
