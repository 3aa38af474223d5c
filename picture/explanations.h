#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

inline constexpr std::string_view kStart =
    "Go starts a fresh run from an empty system. Stop ends the arrivals; packets already in the system finish their "
    "journeys and the clock runs on.";
inline constexpr std::string_view kPause = "Pause freezes the whole animation and the simulated clock; Continue "
                                           "resumes them.";
inline constexpr std::string_view kArrivalDistribution =
    "The distribution of the times between arrivals: Exponential, Regular, Uniform or Pareto 0.1 / 0.2 / 0.5; a "
    "change applies from the next interval drawn.";
inline constexpr std::string_view kArrivalRate =
    "Arrivals in packets per second: pick one or type any number. Once a second a typed rate below 0 becomes 0 and "
    "one above 50 becomes 20.";
inline constexpr std::string_view kQueueLength =
    "The number of places, servers included, from 1 to 10 and never fewer than the servers. A choice applies at "
    "once; a typed value is applied or put back within a second.";
inline constexpr std::string_view kServiceDistribution =
    "The distribution of the service times: Exponential, Regular, Uniform or Pareto 0.1 / 0.2 / 0.5; a change "
    "applies from the next service time drawn.";
inline constexpr std::string_view kServers =
    "The number of servers, which serve the bottom places: 1 to 5 and never more than the queue length. A choice "
    "applies at once; a typed value is applied or put back within a second.";
inline constexpr std::string_view kServiceRate =
    "Services in packets per second: pick one or type any number. Once a second a typed rate below 0 becomes 0 and "
    "one above 50 becomes 20.";
inline constexpr std::string_view kClock = "The elapsed simulated seconds; every tick of 10 ms advances simulated "
                                           "time by 10 ms.";
inline constexpr std::string_view kSourced = "Packets the source has sent since Go; each appears under the funnel "
                                             "and drops towards the queue.";
inline constexpr std::string_view kServiced = "Packets whose service time is used up: each jumps right and leaves "
                                              "along its server's exit line.";
inline constexpr std::string_view kLost = "Packets turned away because every place was taken; each falls down the "
                                          "left edge into the bin.";
inline constexpr std::string_view kDropped = "Lost \u00f7 sourced \u00d7 100, refreshed once a second and cut, not "
                                             "rounded, to hundredths.";
inline constexpr std::string_view kMeanWait =
    "The mean of each served packet's whole time in the system, from taking its queue place to the end of its "
    "service, in seconds; cut, not rounded, to hundredths.";
inline constexpr std::string_view kStdDevWait =
    "The standard deviation of each served packet's whole time in the system, from taking its queue place to the "
    "end of its service, in seconds; cut, not rounded, to hundredths.";
inline constexpr std::string_view kMeanInQueue =
    "The average number of packets holding places, those in service included, sampled every tick of a run; cut, "
    "not rounded, to hundredths.";

}  // namespace explain

// The picture's labels come in the order a screen reader reads them: top to
// bottom, each statistic's caption just before its value. The per-tick
// hundredths clock "lblSeconds" is left out: it is hidden from the first tick
// on, and "lblTime" says the same once a second.
inline constexpr auto kExplanations = std::to_array<Explanation>({
    {"StartButton", Explained::Control, "", explain::kStart},
    {"PauseButton", Explained::Control, "", explain::kPause},
    {"SourceCombo", Explained::Control, "Arrival Distribution", explain::kArrivalDistribution},
    {"ArrivalCombo", Explained::Control, "Arrival Rate, packets per second", explain::kArrivalRate},
    {"QueueCombo", Explained::Control, "Queue Length", explain::kQueueLength},
    {"ServiceCombo", Explained::Control, "Service Time Distribution", explain::kServiceDistribution},
    {"ServerCombo", Explained::Control, "Number of Servers", explain::kServers},
    {"ServeRateCombo", Explained::Control, "Service Rate, packets per second", explain::kServiceRate},

    {"canvas", Explained::Picture, "Queue picture", ""},

    {"lblTime", Explained::Value, "Elapsed time, seconds", explain::kClock},
    {"lblPacketsSourced", Explained::Value, "Packets sourced", explain::kSourced},
    {"Label1", Explained::Caption, "Arrival Distribution", explain::kArrivalDistribution},
    {"Label2", Explained::Caption, "Arrival Rate", explain::kArrivalRate},
    {"Label6", Explained::Caption, "packets per second", explain::kArrivalRate},
    {"Label21", Explained::Caption, "Queue Length", explain::kQueueLength},
    {"l_PercentDrop", Explained::Caption, "Percentage Dropped", explain::kDropped, "loss"},
    {"lblPercentDropped", Explained::Value, "Percentage Dropped", explain::kDropped, "loss"},
    {"Label7", Explained::Caption, "Mean Waiting Time", explain::kMeanWait, "mean_time_in_system"},
    {"lblMeanWaitingTime", Explained::Value, "Mean Waiting Time", explain::kMeanWait, "mean_time_in_system"},
    {"Label18", Explained::Caption, "Standard Deviation of Waiting Time", explain::kStdDevWait, "sd_time_in_system"},
    {"lblStdDevWaitingTime", Explained::Value, "Standard Deviation of Waiting Time", explain::kStdDevWait,
     "sd_time_in_system"},
    {"Label23", Explained::Caption, "Mean Packets In Queue", explain::kMeanInQueue, "mean_in_system"},
    {"lblMeanPktsInQueue", Explained::Value, "Mean Packets In Queue", explain::kMeanInQueue, "mean_in_system"},
    {"lblPacketsServiced", Explained::Value, "Packets serviced", explain::kServiced},
    {"Label24", Explained::Caption, "Lost", explain::kLost},
    {"lblPacketsLost", Explained::Value, "Packets lost", explain::kLost},
    {"Label5", Explained::Caption, "Service Time Distribution", explain::kServiceDistribution},
    {"Label20", Explained::Caption, "Number of Servers", explain::kServers},
    {"Label4", Explained::Caption, "Service Rate", explain::kServiceRate},
    {"Label3", Explained::Caption, "packets per second", explain::kServiceRate},
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

// The tooltip and description of a row: its help, and for a statistic what
// the textbook and the analysis window call it.
std::string HelpText(const Explanation& row);

// How the textbook and the analysis window write what a statistic shows:
// "W", or "100 \u00d7 P(loss)" for a share shown as a percentage.
std::string TextbookSymbol(const Explanation& row);

}  // namespace waitline
