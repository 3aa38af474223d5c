#include "tools/batch/batch_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

#include "engine/intervals.h"
#include "engine/number_text.h"
#include "engine/simulation.h"
#include "engine/translatable.h"
#include "statistics/batch_means.h"
#include "statistics/confidence.h"
#include "tools/terminal_text.h"

namespace waitline::batch {

namespace {

enum class Key : std::uint8_t {
    Arrival,
    Service,
    ArrivalRate,
    ServiceRate,
    Servers,
    QueueLength,
    Seconds,
    Seed,
    Warmup,
    Replications,
    Sweep,
    Jobs,
    Format,
    Help,
    Version
};

struct OptionName {
    Key key;
    std::string_view name;
    bool takesValue;
};

constexpr std::array<OptionName, 15> kOptions{{
    {Key::Arrival, "--arrival", true},
    {Key::Service, "--service", true},
    {Key::ArrivalRate, "--arrival-rate", true},
    {Key::ServiceRate, "--service-rate", true},
    {Key::Servers, "--servers", true},
    {Key::QueueLength, "--queue-length", true},
    {Key::Seconds, "--seconds", true},
    {Key::Seed, "--seed", true},
    {Key::Warmup, "--warmup", true},
    {Key::Replications, "--replications", true},
    {Key::Sweep, "--sweep", true},
    {Key::Jobs, "--jobs", true},
    {Key::Format, "--format", true},
    {Key::Help, "--help", false},
    {Key::Version, "--version", false},
}};

// The distributions' names: each in quotes, or, as the help writes them, only
// those that hold a blank.
enum class Quote : std::uint8_t { Every, WithBlank };

std::string DistributionList(Quote quote = Quote::Every)
{
    std::string list;
    for (const std::string_view name : kDistributionNames) {
        if (!list.empty()) {
            list += name == kDistributionNames.back() ? WAITLINE_TR("waitline-batch", " or ") : ", ";
        }
        const bool quoted = quote == Quote::Every || name.find(' ') != std::string_view::npos;
        list += quoted ? "'" + std::string(name) + "'" : std::string(name);
    }
    return list;
}

// The settings a sweep may go over: "arrival-rate, ..., or queue-length".
std::string SweptNames()
{
    std::string list;
    constexpr std::array<SweptSetting, 4> kAll{SweptSetting::ArrivalRate, SweptSetting::ServiceRate,
                                               SweptSetting::Servers, SweptSetting::QueueLength};
    for (const SweptSetting setting : kAll) {
        if (!list.empty()) {
            list += setting == kAll.back() ? WAITLINE_TR("waitline-batch", " or ") : ", ";
        }
        list += SweptName(setting);
    }
    return list;
}

// The option that sets what a sweep goes over.
Key KeyOf(SweptSetting setting)
{
    switch (setting) {
    case SweptSetting::ArrivalRate: return Key::ArrivalRate;
    case SweptSetting::ServiceRate: return Key::ServiceRate;
    case SweptSetting::Servers: return Key::Servers;
    case SweptSetting::QueueLength: return Key::QueueLength;
    }
    return Key::ArrivalRate;
}

// What each option allows, as the error line and --help say it.
std::string Allowed(Key key)
{
    switch (key) {
    case Key::Arrival:
    case Key::Service: return WAITLINE_TR("waitline-batch", "one of ") + DistributionList();
    case Key::ArrivalRate:
    case Key::ServiceRate:
        return WAITLINE_TR("waitline-batch", "a number from ") + DecimalText(kLowestRate) +
               WAITLINE_TR("waitline-batch", " to ") + NumberToText(kRateCeiling) +
               WAITLINE_TR("waitline-batch", " (packets per second)");
    case Key::Servers: return WAITLINE_TR("waitline-batch", "a whole number from 1 to ") + NumberToText(MaxServers);
    case Key::QueueLength:
        return WAITLINE_TR("waitline-batch", "a whole number from 1 to ") + NumberToText(MaxQueueLength);
    case Key::Seconds: return WAITLINE_TR("waitline-batch", "a whole number from 1 to ") + NumberToText(kMostSeconds);
    case Key::Seed:
        return WAITLINE_TR("waitline-batch", "a whole number from 0 to ") +
               std::to_string(std::numeric_limits<std::uint64_t>::max());
    case Key::Warmup: return WAITLINE_TR("waitline-batch", "a whole number of seconds, less than --seconds");
    case Key::Replications:
        return WAITLINE_TR("waitline-batch", "a whole number from 1 to ") + NumberToText(kMostReplications);
    case Key::Sweep:
        return WAITLINE_TR("waitline-batch", "NAME=FROM:TO:STEP, NAME one of ") + SweptNames() +
               WAITLINE_TR("waitline-batch", ", FROM at most TO, STEP more than 0");
    case Key::Jobs: return WAITLINE_TR("waitline-batch", "a whole number from 1 to ") + NumberToText(kMostJobs);
    case Key::Format: return WAITLINE_TR("waitline-batch", "table, csv or json");
    case Key::Help:
    case Key::Version: break;
    }
    return {};
}

std::optional<std::int64_t> WholeIn(std::string_view text, std::int64_t low, std::int64_t high)
{
    const std::optional<std::uint64_t> value = DigitsNumber(text);
    if (!value || *value > static_cast<std::uint64_t>(high) || static_cast<std::int64_t>(*value) < low) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(*value);
}

class Parser {
public:
    explicit Parser(std::span<const std::string_view> arguments) : arguments_(arguments) {}

    ParsedOptions parse()
    {
        for (std::size_t i = 0; i < arguments_.size(); ++i) {
            const std::string_view argument = arguments_[i];
            const std::size_t equals = argument.find('=');
            const std::string_view name = argument.substr(0, equals);
            const auto option =
                std::find_if(kOptions.begin(), kOptions.end(), [name](const OptionName& o) { return o.name == name; });
            if (!argument.starts_with("--") || option == kOptions.end()) {
                return refuse(argument.starts_with("-")
                                  ? WAITLINE_TR("waitline-batch", "unknown option ") + Quoted(name) + "; " + kSeeHelp
                                  : WAITLINE_TR("waitline-batch", "unexpected argument ") + Quoted(argument) + "; " +
                                        kSeeHelp);
            }
            if (!option->takesValue) {
                if (equals != std::string_view::npos) {
                    return refuse(std::string(name) + WAITLINE_TR("waitline-batch", " takes no value"));
                }
                result_.action =
                    option->key == Key::Help ? ParsedOptions::Action::Help : ParsedOptions::Action::Version;
                return result_;
            }
            std::string_view value;
            if (equals != std::string_view::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < arguments_.size()) {
                value = arguments_[++i];
            } else {
                return refuse(std::string(name) + WAITLINE_TR("waitline-batch", " needs a value: ") +
                              Allowed(option->key));
            }
            if (!take(option->key, value)) {
                return refuse(!sweepError_.empty()
                                  ? sweepError_
                                  : std::string(name) + WAITLINE_TR("waitline-batch", " must be ") +
                                        Allowed(option->key) + WAITLINE_TR("waitline-batch", ", not ") + Quoted(value));
            }
        }
        return check();
    }

private:
    static constexpr const char* kSeeHelp = WAITLINE_TR("waitline-batch", "see ") WAITLINE_COMMAND "-batch --help";

    ParsedOptions refuse(std::string error)
    {
        result_.action = ParsedOptions::Action::Refuse;
        result_.error = std::move(error);
        return result_;
    }

    bool take(Key key, std::string_view value)
    {
        Options& o = result_.options;
        Settings& s = o.settings;
        switch (key) {
        case Key::Arrival:
        case Key::Service: {
            (key == Key::Arrival ? s.arrival : s.service) = value;
            return DistributionNamed(value).has_value();
        }
        case Key::ArrivalRate:
        case Key::ServiceRate: {
            // Read as the demo reads a typed rate.
            const std::optional<double> rate = StrictNumber(value);
            if (!rate || !(*rate >= kLowestRate && *rate <= kHighestRate)) {
                return false;
            }
            (key == Key::ArrivalRate ? s.arrivalRate : s.serviceRate) = *rate;
            return true;
        }
        case Key::Servers: return takeWhole(value, 1, MaxServers, s.servers);
        case Key::QueueLength: return takeWhole(value, 1, MaxQueueLength, s.queueLength);
        case Key::Seconds: return takeWhole(value, 1, kMostSeconds, s.seconds);
        case Key::Seed: {
            const std::optional<std::uint64_t> seed = DigitsNumber(value);
            s.seed = seed.value_or(0);
            return seed.has_value();
        }
        case Key::Warmup:
            warmupGiven_ = true;
            warmupText_ = value;
            return takeWhole(value, 0, kMostSeconds - 1, s.warmup);
        case Key::Replications: return takeWhole(value, 1, kMostReplications, s.replications);
        case Key::Jobs: return takeWhole(value, 1, kMostJobs, o.jobs);
        case Key::Sweep: return takeSweep(value);
        case Key::Format:
            if (value == "table") {
                o.format = Format::Table;
            } else if (value == "csv") {
                o.format = Format::Csv;
            } else if (value == "json") {
                o.format = Format::Json;
            } else {
                return false;
            }
            return true;
        case Key::Help:
        case Key::Version: break;
        }
        return false;
    }

    // NAME=FROM:TO:STEP. A mistake in its form gets the option's general line;
    // a well-formed sweep that cannot be run says what is wrong with it.
    bool takeSweep(std::string_view text)
    {
        const std::size_t equals = text.find('=');
        const std::optional<SweptSetting> setting = SweptNamed(text.substr(0, equals));
        const std::string_view range = equals == std::string_view::npos ? std::string_view{} : text.substr(equals + 1);
        const std::size_t colon = range.find(':');
        const std::size_t secondColon = range.find(':', colon == std::string_view::npos ? colon : colon + 1);
        if (!setting || secondColon == std::string_view::npos) {
            return false;
        }
        const std::optional<double> from = StrictNumber(range.substr(0, colon));
        const std::optional<double> to = StrictNumber(range.substr(colon + 1, secondColon - colon - 1));
        const std::optional<double> step = StrictNumber(range.substr(secondColon + 1));
        if (!from || !to || !step) {
            return false;
        }
        const std::string sweep = "--sweep " + std::string(text);
        Options& o = result_.options;
        if (std::any_of(o.sweeps.begin(), o.sweeps.end(), [&](const SweepAxis& a) { return a.setting == *setting; })) {
            return failSweep(sweep + WAITLINE_TR("waitline-batch", ": ") + std::string(SweptName(*setting)) +
                             WAITLINE_TR("waitline-batch", " is swept twice"));
        }
        if (o.sweeps.size() == kMostSweeps) {
            return failSweep(sweep + WAITLINE_TR("waitline-batch", ": at most two --sweep options, which make a grid"));
        }
        if (*from > *to) {
            return failSweep(sweep + WAITLINE_TR("waitline-batch", ": FROM must not be more than TO"));
        }
        if (!(*step > 0.0)) {
            return failSweep(sweep + WAITLINE_TR("waitline-batch", ": STEP must be more than 0"));
        }
        if (!SweepCount(*from, *to, *step)) {
            return failSweep(sweep + WAITLINE_TR("waitline-batch", ": more than ") +
                             NumberToText(static_cast<std::int64_t>(kMostSweepPoints)) +
                             WAITLINE_TR("waitline-batch", " points"));
        }
        // Each value is read as the option itself would read it; the swept
        // setting's own option, given or not, does not count at the points.
        SweepAxis axis{*setting, SweepValues(*from, *to, *step)};
        const Settings given = o.settings;
        for (const double value : axis.values) {
            const bool allowed = take(KeyOf(*setting), DecimalText(value));
            o.settings = given;
            if (!allowed) {
                return failSweep(sweep + WAITLINE_TR("waitline-batch", " reaches ") + DecimalText(value) +
                                 WAITLINE_TR("waitline-batch", ", but --") + std::string(SweptName(*setting)) +
                                 WAITLINE_TR("waitline-batch", " must be ") + Allowed(KeyOf(*setting)));
            }
        }
        o.sweeps.push_back(std::move(axis));
        return true;
    }

    bool failSweep(std::string error)
    {
        sweepError_ = std::move(error);
        return false;
    }

    template <typename Number>
    static bool takeWhole(std::string_view value, std::int64_t low, std::int64_t high, Number& into)
    {
        const std::optional<std::int64_t> whole = WholeIn(value, low, high);
        if (whole) {
            into = static_cast<Number>(*whole);
        }
        return whole.has_value();
    }

    // The rules between options, once all are read.
    ParsedOptions check()
    {
        Options& o = result_.options;
        Settings& s = o.settings;
        std::size_t points = 1;
        for (const SweepAxis& axis : o.sweeps) {
            points *= axis.values.size();
        }
        if (points > kMostSweepPoints) {
            return refuse(WAITLINE_TR("waitline-batch", "the --sweep grid has ") +
                          NumberToText(static_cast<std::int64_t>(points)) +
                          WAITLINE_TR("waitline-batch", " points, more than ") +
                          NumberToText(static_cast<std::int64_t>(kMostSweepPoints)));
        }
        for (const SweepPoint& point : GridPoints(s, o.sweeps)) {
            const Settings& at = point.settings;
            if (at.servers > at.queueLength) {
                return refuse("--servers (" + NumberToText(at.servers) +
                              WAITLINE_TR("waitline-batch", ") must not be more than --queue-length (") +
                              NumberToText(at.queueLength) +
                              WAITLINE_TR("waitline-batch", "): the queue length counts the places being served too") +
                              (o.sweeps.empty() ? "" : WAITLINE_TR("waitline-batch", ", at every point of --sweep")));
            }
        }
        if (!warmupGiven_) {
            s.warmup = s.seconds / 10;
        } else if (s.warmup >= s.seconds) {
            return refuse(
                WAITLINE_TR("waitline-batch", "--warmup must be a whole number of seconds less than --seconds (") +
                NumberToText(s.seconds) + WAITLINE_TR("waitline-batch", "), not ") + Quoted(warmupText_));
        }
        return result_;
    }

    std::span<const std::string_view> arguments_;
    ParsedOptions result_;
    bool warmupGiven_ = false;
    std::string_view warmupText_;
    std::string sweepError_;
};

}  // namespace

ParsedOptions ParseOptions(std::span<const std::string_view> arguments) { return Parser(arguments).parse(); }

namespace {

constexpr std::string_view kCommand = WAITLINE_COMMAND "-batch";
constexpr std::size_t kHelpWidth = 80;
constexpr std::size_t kHelpIndent = 24;

// Fills lines of the help's width word by word: the first begun by the lead,
// the others by blanks as wide as the option column.
std::string Wrapped(std::string lead, std::string_view words)
{
    std::string text;
    std::string line = std::move(lead);
    bool lineHasWord = false;
    while (!words.empty()) {
        const std::size_t blank = words.find(' ');
        const std::string_view word = words.substr(0, blank);
        words = blank == std::string_view::npos ? std::string_view{} : words.substr(blank + 1);
        if (lineHasWord && line.size() + 1 + word.size() > kHelpWidth) {
            text += line + '\n';
            line.assign(kHelpIndent, ' ');
            lineHasWord = false;
        }
        line += lineHasWord ? " " : "";
        line += word;
        lineHasWord = true;
    }
    return text + line + '\n';
}

// One option of the help: its name and value in the left column, what it does
// filled beside it.
std::string OptionHelp(std::string_view nameAndValue, const std::string& what)
{
    const std::string lead = "  " + std::string(nameAndValue);
    if (lead.size() >= kHelpIndent) {
        // Too long for the column: what it does begins on the next line.
        return lead + '\n' + Wrapped(std::string(kHelpIndent, ' '), what);
    }
    return Wrapped(lead + std::string(kHelpIndent - lead.size(), ' '), what);
}

}  // namespace

std::string UsageText()
{
    const Settings d;
    const std::string rates =
        DecimalText(kLowestRate) + WAITLINE_TR("waitline-batch", " to ") + NumberToText(kRateCeiling);
    const std::string byDefault = WAITLINE_TR("waitline-batch", " (default ");
    std::string text;
    text += WAITLINE_TR("waitline-batch", "Usage: ") + std::string(kCommand) + " [OPTION]...\n";
    text += WAITLINE_TR("waitline-batch", "Runs the ") + std::string(WAITLINE_NAME) +
            WAITLINE_TR("waitline-batch",
                        " demo without a window, as fast as the machine allows, and\n"
                        "prints its statistics with 95 % confidence intervals and the textbook values.\n");
    text += "\n";
    text += OptionHelp("--arrival NAME", WAITLINE_TR("waitline-batch", "times between arrivals: ") +
                                             DistributionList(Quote::WithBlank) + byDefault + d.arrival + ")");
    text += OptionHelp("--service NAME",
                       WAITLINE_TR("waitline-batch", "service times, the same names") + byDefault + d.service + ")");
    text += OptionHelp("--arrival-rate R", WAITLINE_TR("waitline-batch", "arrivals per second, ") + rates + byDefault +
                                               DecimalText(d.arrivalRate) + ")");
    text += OptionHelp("--service-rate R", WAITLINE_TR("waitline-batch", "services per second at each server, ") +
                                               rates + byDefault + DecimalText(d.serviceRate) + ")");
    text += OptionHelp("--servers C", WAITLINE_TR("waitline-batch", "servers, 1 to ") + NumberToText(MaxServers) +
                                          WAITLINE_TR("waitline-batch", ", at most the queue length") + byDefault +
                                          NumberToText(d.servers) + ")");
    text += OptionHelp("--queue-length K", WAITLINE_TR("waitline-batch", "places, those being served included, 1 to ") +
                                               NumberToText(MaxQueueLength) + byDefault + NumberToText(d.queueLength) +
                                               ")");
    text += OptionHelp("--seconds S", WAITLINE_TR("waitline-batch", "simulated seconds after Go") + byDefault +
                                          NumberToText(d.seconds) + ")");
    text += OptionHelp("--seed N", WAITLINE_TR("waitline-batch", "seed of the random sequence, as the scenario "
                                                                 "runner's `seed N`") +
                                       byDefault + std::to_string(d.seed) +
                                       WAITLINE_TR("waitline-batch", "); replication i uses N + i"));
    text += OptionHelp("--warmup S", WAITLINE_TR("waitline-batch", "seconds at the start left out of the intervals, "
                                                                   "fewer than --seconds (default a tenth of "
                                                                   "--seconds)"));
    text += OptionHelp("--replications N", WAITLINE_TR("waitline-batch", "independent runs, on every core") +
                                               byDefault + NumberToText(d.replications) + ")");
    text += OptionHelp("--sweep NAME=FROM:TO:STEP",
                       WAITLINE_TR("waitline-batch", "run at each value of ") + SweptNames() +
                           WAITLINE_TR("waitline-batch", " from FROM to TO in steps of STEP, at most ") +
                           NumberToText(static_cast<std::int64_t>(kMostSweepPoints)) +
                           WAITLINE_TR("waitline-batch", " points; a second --sweep makes a grid. Every point "
                                                         "uses the same seeds (common random numbers), so that "
                                                         "the differences between points are not noise"));
    text += OptionHelp("--jobs N", WAITLINE_TR("waitline-batch", "worker threads (default one per processor this "
                                                                 "process may use)"));
    text += OptionHelp("--format F", WAITLINE_TR("waitline-batch", "table, csv or json (default table)"));
    text += OptionHelp("--help", WAITLINE_TR("waitline-batch", "show this help and exit"));
    text += OptionHelp("--version", WAITLINE_TR("waitline-batch", "show the version and exit"));
    text += "\n";
    text +=
        WAITLINE_TR("waitline-batch", "The simulated values are the demo's own statistics over the whole run, as the\n"
                                      "window shows them; with replications, their means, and the counts summed.\n"
                                      "The 95 % intervals leave out the warm-up: within one run they come from ") +
        NumberToText(BatchMeans::kMaxBatches) +
        WAITLINE_TR("waitline-batch", "\nbatch means, across replications from the replications. They are shown as\n"
                                      "not yet available until each batch (or replication) has at least ") +
        NumberToText(kMinimumServedPerEstimate) +
        WAITLINE_TR("waitline-batch",
                    " packets\nserved, and the one for the fraction turned away until a packet was lost.\n"
                    "The textbook values exist for Exponential arrivals with Exponential service.\n"
                    "A sweep prints, for each measure, a table with a row per point; as csv, a line\n"
                    "per point under one header; as json, \"sweep\" and \"points\" in place of the\n"
                    "single run's values.\n"
                    "Options may also be written --name=VALUE. Exit status: 0 done, 2 bad option.\n");
    return text;
}

}  // namespace waitline::batch
