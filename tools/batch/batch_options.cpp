#include "tools/batch/batch_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>

#include "engine/intervals.h"
#include "engine/number_text.h"
#include "engine/simulation.h"
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
    Format,
    Help,
    Version
};

struct OptionName {
    Key key;
    std::string_view name;
    bool takesValue;
};

constexpr std::array<OptionName, 13> kOptions{{
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
    {Key::Format, "--format", true},
    {Key::Help, "--help", false},
    {Key::Version, "--version", false},
}};

std::string DistributionList()
{
    std::string list;
    for (const std::string_view name : kDistributionNames) {
        if (!list.empty()) {
            list += name == kDistributionNames.back() ? " or " : ", ";
        }
        list += '\'';
        list += name;
        list += '\'';
    }
    return list;
}

// What each option allows, as the error line and --help say it.
std::string Allowed(Key key)
{
    switch (key) {
    case Key::Arrival:
    case Key::Service: return "one of " + DistributionList();
    case Key::ArrivalRate:
    case Key::ServiceRate: return "a number from 0.000001 to " + NumberToText(kRateCeiling) + " (packets per second)";
    case Key::Servers: return "a whole number from 1 to " + NumberToText(MaxServers);
    case Key::QueueLength: return "a whole number from 1 to " + NumberToText(MaxQueueLength);
    case Key::Seconds: return "a whole number from 1 to " + NumberToText(kMostSeconds);
    case Key::Seed: return "a whole number from 0 to " + std::to_string(std::numeric_limits<std::uint64_t>::max());
    case Key::Warmup: return "a whole number of seconds, less than --seconds";
    case Key::Replications: return "a whole number from 1 to " + NumberToText(kMostReplications);
    case Key::Format: return "table, csv or json";
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
                return refuse(argument.starts_with("-") ? "unknown option " + Quoted(name) + "; " + kSeeHelp
                                                        : "unexpected argument " + Quoted(argument) + "; " + kSeeHelp);
            }
            if (!option->takesValue) {
                if (equals != std::string_view::npos) {
                    return refuse(std::string(name) + " takes no value");
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
                return refuse(std::string(name) + " needs a value: " + Allowed(option->key));
            }
            if (!take(option->key, value)) {
                return refuse(std::string(name) + " must be " + Allowed(option->key) + ", not " + Quoted(value));
            }
        }
        return check();
    }

private:
    static constexpr const char* kSeeHelp = "see waitline-batch --help";

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
        Settings& s = result_.options.settings;
        if (s.servers > s.queueLength) {
            return refuse("--servers (" + NumberToText(s.servers) + ") must not be more than --queue-length (" +
                          NumberToText(s.queueLength) + "): the queue length counts the places being served too");
        }
        if (!warmupGiven_) {
            s.warmup = s.seconds / 10;
        } else if (s.warmup >= s.seconds) {
            return refuse("--warmup must be a whole number of seconds less than --seconds (" + NumberToText(s.seconds) +
                          "), not " + Quoted(warmupText_));
        }
        return result_;
    }

    std::span<const std::string_view> arguments_;
    ParsedOptions result_;
    bool warmupGiven_ = false;
    std::string_view warmupText_;
};

}  // namespace

ParsedOptions ParseOptions(std::span<const std::string_view> arguments) { return Parser(arguments).parse(); }

std::string UsageText()
{
    const Settings d;
    std::string text;
    text += "Usage: waitline-batch [OPTION]...\n";
    text += "Runs the Waitline demo without a window, as fast as the machine allows, and\n";
    text += "prints its statistics with 95 % confidence intervals and the textbook values.\n";
    text += "\n";
    text += "  --arrival NAME        times between arrivals: Exponential, Regular, Uniform,\n";
    text += "                        'Pareto 0.1', 'Pareto 0.2' or 'Pareto 0.5' (default\n";
    text += "                        " + d.arrival + ")\n";
    text += "  --service NAME        service times, the same names (default " + d.service + ")\n";
    text += "  --arrival-rate R      arrivals per second, 0.000001 to " + NumberToText(kRateCeiling) + " (default 1)\n";
    text +=
        "  --service-rate R      services per second at each server, 0.000001 to " + NumberToText(kRateCeiling) + "\n";
    text += "                        (default 1)\n";
    text += "  --servers C           servers, 1 to " + NumberToText(MaxServers) +
            ", at most the queue length (default " + NumberToText(d.servers) + ")\n";
    text += "  --queue-length K      places, those being served included, 1 to " + NumberToText(MaxQueueLength) +
            " (default " + NumberToText(d.queueLength) + ")\n";
    text += "  --seconds S           simulated seconds after Go (default 3600)\n";
    text += "  --seed N              seed of the random sequence, as the scenario runner's\n";
    text += "                        `seed N` (default 1); replication i uses N + i\n";
    text += "  --warmup S            seconds at the start left out of the intervals, fewer\n";
    text += "                        than --seconds (default a tenth of --seconds)\n";
    text += "  --replications N      independent runs, on every core (default 1)\n";
    text += "  --format F            table, csv or json (default table)\n";
    text += "  --help                show this help and exit\n";
    text += "  --version             show the version and exit\n";
    text += "\n";
    text += "The simulated values are the demo's own statistics over the whole run, as the\n";
    text += "window shows them; with replications, their means, and the counts summed.\n";
    text += "The 95 % intervals leave out the warm-up: within one run they come from 20\n";
    text += "batch means, across replications from the replications. They are shown as\n";
    text += "not yet available until each batch (or replication) has at least 10 packets\n";
    text += "served, and the one for the fraction turned away until a packet was lost.\n";
    text += "The textbook values exist for Exponential arrivals with Exponential service.\n";
    text += "Options may also be written --name=VALUE. Exit status: 0 done, 2 bad option.\n";
    return text;
}

}  // namespace waitline::batch
