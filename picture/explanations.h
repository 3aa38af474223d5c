#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/translatable.h"

// What the window says about itself: the names a screen reader speaks and the
// sentences its tooltips and accessible descriptions give, for the controls,
// the queue picture and the labels painted on it. Tooltips, accessible names
// and the picture's accessible children all read this one table, so that a
// sighted student and one listening hear the same words.
namespace waitline {

enum class Explained : std::uint8_t {
    Control,  // a button or combo box
    Picture,  // the canvas the picture is painted on
    Caption,  // a fixed label painted on the canvas
    Value,    // a label painted on the canvas that shows a count or a statistic
};

struct Explanation {
    std::string_view object;  // the objectName of the widget or drawn label
    Explained kind;
    // The spoken name; empty for the buttons, whose changing caption is their
    // name. A caption's name spells out what its painted text abbreviates.
    std::string_view name;
    // One or two sentences for the tooltip and the accessible description;
    // empty where hovering shows nothing.
    std::string_view help;
    // The key, in the measures table, of the measure a statistic shows.
    std::string_view measure = {};
};

namespace explain {

inline constexpr std::string_view kStart = WAITLINE_TR(
    "Explanations",
    "Go starts a fresh run from an empty system. Stop ends the arrivals; packets already in the system finish their "
    "journeys and the clock runs on.");
inline constexpr std::string_view kPause =
    WAITLINE_TR("Explanations", "Pause freezes the whole animation and the simulated clock; Continue "
                                "resumes them.");
inline constexpr std::string_view kArrivalDistribution = WAITLINE_TR(
    "Explanations",
    "The distribution of the times between arrivals: Exponential, Regular, Uniform or Pareto 0.1 / 0.2 / 0.5; a "
    "change applies from the next interval drawn.");
inline constexpr std::string_view kArrivalRate = WAITLINE_TR(
    "Explanations",
    "Arrivals in packets per second: pick one or type any number. Once a second a typed rate below 0 becomes 0 and "
    "one above 50 becomes 20.");
inline constexpr std::string_view kQueueLength = WAITLINE_TR(
    "Explanations",
    "The number of places, servers included, from 1 to 10 and never fewer than the servers. A choice applies at "
    "once; a typed value is applied or put back within a second.");
inline constexpr std::string_view kServiceDistribution = WAITLINE_TR(
    "Explanations",
    "The distribution of the service times: Exponential, Regular, Uniform or Pareto 0.1 / 0.2 / 0.5; a change "
    "applies from the next service time drawn.");
inline constexpr std::string_view kServers = WAITLINE_TR(
    "Explanations",
    "The number of servers, which serve the bottom places: 1 to 5 and never more than the queue length. A choice "
    "applies at once; a typed value is applied or put back within a second.");
inline constexpr std::string_view kServiceRate = WAITLINE_TR(
    "Explanations",
    "Services in packets per second: pick one or type any number. Once a second a typed rate below 0 becomes 0 and "
    "one above 50 becomes 20.");
inline constexpr std::string_view kClock =
    WAITLINE_TR("Explanations", "The elapsed simulated seconds; every tick of 10 ms advances simulated "
                                "time by 10 ms.");
inline constexpr std::string_view kSourced =
    WAITLINE_TR("Explanations", "Packets the source has sent since Go; each appears under the funnel "
                                "and drops towards the queue.");
inline constexpr std::string_view kServiced =
    WAITLINE_TR("Explanations", "Packets whose service time is used up: each jumps right and leaves "
                                "along its server's exit line.");
inline constexpr std::string_view kLost =
    WAITLINE_TR("Explanations", "Packets turned away because every place was taken; each falls down the "
                                "left edge into the bin.");
inline constexpr std::string_view kDropped =
    WAITLINE_TR("Explanations", "Lost \u00f7 sourced \u00d7 100, refreshed once a second and cut, not "
                                "rounded, to hundredths.");
inline constexpr std::string_view kMeanWait = WAITLINE_TR(
    "Explanations",
    "The mean of each served packet's whole time in the system, from taking its queue place to the end of its "
    "service, in seconds; cut, not rounded, to hundredths.");
inline constexpr std::string_view kStdDevWait = WAITLINE_TR(
    "Explanations",
    "The standard deviation of each served packet's whole time in the system, from taking its queue place to the "
    "end of its service, in seconds; cut, not rounded, to hundredths.");
inline constexpr std::string_view kMeanInQueue = WAITLINE_TR(
    "Explanations",
    "The average number of packets holding places, those in service included, sampled every tick of a run; cut, "
    "not rounded, to hundredths.");

}  // namespace explain

// The picture's labels come in the order a screen reader reads them: top to
// bottom, each statistic's caption just before its value. The per-tick
// hundredths clock "lblSeconds" is left out: it is hidden from the first tick
// on, and "lblTime" says the same once a second.
inline constexpr auto kExplanations = std::to_array<Explanation>({
    {"StartButton", Explained::Control, "", explain::kStart},
    {"PauseButton", Explained::Control, "", explain::kPause},
    {"SourceCombo", Explained::Control, WAITLINE_TR("Explanations", "Arrival Distribution"),
     explain::kArrivalDistribution},
    {"ArrivalCombo", Explained::Control, WAITLINE_TR("Explanations", "Arrival Rate, packets per second"),
     explain::kArrivalRate},
    {"QueueCombo", Explained::Control, WAITLINE_TR("Explanations", "Queue Length"), explain::kQueueLength},
    {"ServiceCombo", Explained::Control, WAITLINE_TR("Explanations", "Service Time Distribution"),
     explain::kServiceDistribution},
    {"ServerCombo", Explained::Control, WAITLINE_TR("Explanations", "Number of Servers"), explain::kServers},
    {"ServeRateCombo", Explained::Control, WAITLINE_TR("Explanations", "Service Rate, packets per second"),
     explain::kServiceRate},

    {"canvas", Explained::Picture, WAITLINE_TR("Explanations", "Queue picture"), ""},

    {"lblTime", Explained::Value, WAITLINE_TR("Explanations", "Elapsed time, seconds"), explain::kClock},
    {"lblPacketsSourced", Explained::Value, WAITLINE_TR("Explanations", "Packets sourced"), explain::kSourced},
    {"Label1", Explained::Caption, WAITLINE_TR("Explanations", "Arrival Distribution"), explain::kArrivalDistribution},
    {"Label2", Explained::Caption, WAITLINE_TR("Explanations", "Arrival Rate"), explain::kArrivalRate},
    {"Label6", Explained::Caption, WAITLINE_TR("Explanations", "packets per second"), explain::kArrivalRate},
    {"Label21", Explained::Caption, WAITLINE_TR("Explanations", "Queue Length"), explain::kQueueLength},
    {"l_PercentDrop", Explained::Caption, WAITLINE_TR("Explanations", "Percentage Dropped"), explain::kDropped, "loss"},
    {"lblPercentDropped", Explained::Value, WAITLINE_TR("Explanations", "Percentage Dropped"), explain::kDropped,
     "loss"},
    {"Label7", Explained::Caption, WAITLINE_TR("Explanations", "Mean Waiting Time"), explain::kMeanWait,
     "mean_time_in_system"},
    {"lblMeanWaitingTime", Explained::Value, WAITLINE_TR("Explanations", "Mean Waiting Time"), explain::kMeanWait,
     "mean_time_in_system"},
    {"Label18", Explained::Caption, WAITLINE_TR("Explanations", "Standard Deviation of Waiting Time"),
     explain::kStdDevWait, "sd_time_in_system"},
    {"lblStdDevWaitingTime", Explained::Value, WAITLINE_TR("Explanations", "Standard Deviation of Waiting Time"),
     explain::kStdDevWait, "sd_time_in_system"},
    {"Label23", Explained::Caption, WAITLINE_TR("Explanations", "Mean Packets In Queue"), explain::kMeanInQueue,
     "mean_in_system"},
    {"lblMeanPktsInQueue", Explained::Value, WAITLINE_TR("Explanations", "Mean Packets In Queue"),
     explain::kMeanInQueue, "mean_in_system"},
    {"lblPacketsServiced", Explained::Value, WAITLINE_TR("Explanations", "Packets serviced"), explain::kServiced},
    {"Label24", Explained::Caption, WAITLINE_TR("Explanations", "Lost"), explain::kLost},
    {"lblPacketsLost", Explained::Value, WAITLINE_TR("Explanations", "Packets lost"), explain::kLost},
    {"Label5", Explained::Caption, WAITLINE_TR("Explanations", "Service Time Distribution"),
     explain::kServiceDistribution},
    {"Label20", Explained::Caption, WAITLINE_TR("Explanations", "Number of Servers"), explain::kServers},
    {"Label4", Explained::Caption, WAITLINE_TR("Explanations", "Service Rate"), explain::kServiceRate},
    {"Label3", Explained::Caption, WAITLINE_TR("Explanations", "packets per second"), explain::kServiceRate},
});

constexpr std::size_t CountExplained(Explained kind)
{
    std::size_t n = 0;
    for (const Explanation& row : kExplanations) {
        n += row.kind == kind ? 1 : 0;
    }
    return n;
}

// The row for this objectName, or null.
const Explanation* FindExplanation(std::string_view object);

// Added to a statistic's help: how the textbook and the analysis window write
// it (%1, a TextbookSymbol) and the measure's name (%2).
inline constexpr std::string_view kWrittenAs =
    WAITLINE_TR("Explanations", " The textbook and the analysis window write it %1, the %2.");

// How the textbook and the analysis window write what a statistic shows:
// "W", or "100 \u00d7 P(loss)" for a share shown as a percentage.
std::string TextbookSymbol(const Explanation& row);

}  // namespace waitline
