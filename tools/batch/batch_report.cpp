#include "tools/batch/batch_report.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace waitline::batch {

namespace {

// Shortest text that reads back as the same Double; never locale-dependent.
std::string Exact(double value)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string Exact(std::int64_t value) { return std::to_string(value); }
std::string Exact(int value) { return std::to_string(value); }

// Four decimals, for reading.
std::string Rounded(double value)
{
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 4);
    return {buffer.data(), result.ptr};
}

std::string Padded(std::string text, std::size_t width, bool right = false)
{
    if (text.size() < width) {
        text.insert(right ? std::size_t{0} : text.size(), width - text.size(), ' ');
    }
    return text;
}

std::string Plural(std::int64_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

struct Row {
    std::string_view name;
    std::optional<double> simulated;
    bool hasInterval;
    std::optional<ConfidenceInterval> interval;
    std::optional<double> theory;
};

std::optional<double> TheoryValue(const Summary& summary, double QueueTheory::*field)
{
    if (!summary.theory.theory) {
        return std::nullopt;
    }
    return (*summary.theory.theory).*field;
}

}  // namespace

std::string TableReport(const Settings& settings, const Summary& summary)
{
    const DemoStatistics& s = summary.simulated;
    std::string text;
    text += settings.arrival + " arrivals at " + RateText(settings.arrivalRate) + " per second, " + settings.service +
            " service at " + RateText(settings.serviceRate) + " per second, " +
            Plural(settings.servers, "server", "servers") + ", " + Plural(settings.queueLength, "place", "places") +
            "\n";
    text += Plural(settings.seconds, "simulated second", "simulated seconds") + " from seed " +
            std::to_string(settings.seed) + ", " + Plural(settings.replications, "replication", "replications") +
            "; intervals leave out the first " + Plural(settings.warmup, "second", "seconds") + "\n\n";

    const std::array<Row, 8> rows{{
        {"fraction turned away", s.loss, true, summary.ci95.loss, TheoryValue(summary, &QueueTheory::lossProbability)},
        {"mean time in system (s)", s.meanTimeInSystem, true, summary.ci95.meanTimeInSystem,
         TheoryValue(summary, &QueueTheory::meanTimeInSystem)},
        {"std. dev. of time in system (s)", s.sdTimeInSystem, false, std::nullopt, std::nullopt},
        {"mean number holding places", s.meanInSystem, true, summary.ci95.meanInSystem,
         TheoryValue(summary, &QueueTheory::meanInSystem)},
        {"mean number waiting", std::nullopt, false, std::nullopt, TheoryValue(summary, &QueueTheory::meanWaiting)},
        {"mean wait before service (s)", std::nullopt, false, std::nullopt,
         TheoryValue(summary, &QueueTheory::meanTimeBeforeService)},
        {"throughput (per second)", std::nullopt, false, std::nullopt, TheoryValue(summary, &QueueTheory::throughput)},
        {"server utilisation", std::nullopt, false, std::nullopt, TheoryValue(summary, &QueueTheory::utilisation)},
    }};
    constexpr std::size_t kNameWidth = 33;
    constexpr std::size_t kValueWidth = 10;
    constexpr std::size_t kIntervalWidth = 24;
    text += Padded("measure", kNameWidth) + Padded("simulated", kValueWidth, true) + "   " +
            Padded("95 % interval", kIntervalWidth) + Padded("textbook", kValueWidth, true) + "\n";
    for (const Row& row : rows) {
        if (!row.simulated && !row.theory) {
            continue;  // a textbook-only measure without a textbook value
        }
        std::string interval = "-";
        if (row.hasInterval) {
            interval = row.interval ? Rounded(row.interval->low) + " to " + Rounded(row.interval->high)
                                    : std::string("not yet available");
        }
        text += Padded(std::string(row.name), kNameWidth) +
                Padded(row.simulated ? Rounded(*row.simulated) : "-", kValueWidth, true) + "   " +
                Padded(interval, kIntervalWidth) + Padded(row.theory ? Rounded(*row.theory) : "-", kValueWidth, true) +
                "\n";
    }
    text += "\n";
    text += Padded("packets sourced", kNameWidth) + Padded(Exact(s.sourced), kValueWidth, true) + "\n";
    text += Padded("packets served", kNameWidth) + Padded(Exact(s.served), kValueWidth, true) + "\n";
    text += Padded("packets lost", kNameWidth) + Padded(Exact(s.lost), kValueWidth, true) + "\n";
    if (!summary.theory.theory) {
        text += "\ntextbook: " + std::string(summary.theory.reason) + "\n";
    }
    return text;
}

std::string CsvReport(const Settings& settings, const Summary& summary)
{
    const DemoStatistics& s = summary.simulated;
    std::string header;
    std::string values;
    auto field = [&](std::string_view name, const std::string& value) {
        if (!header.empty()) {
            header += ',';
            values += ',';
        }
        header += name;
        values += value;
    };
    auto interval = [&](std::string_view name, const std::optional<ConfidenceInterval>& ci) {
        field(std::string(name) + "_low", ci ? Exact(ci->low) : std::string());
        field(std::string(name) + "_high", ci ? Exact(ci->high) : std::string());
    };
    auto theory = [&](std::string_view name, double QueueTheory::*member) {
        const std::optional<double> value = TheoryValue(summary, member);
        field("theory_" + std::string(name), value ? Exact(*value) : std::string());
    };
    // The names have no comma or quote, so no field needs quoting.
    field("arrival", settings.arrival);
    field("service", settings.service);
    field("arrival_rate", Exact(settings.arrivalRate));
    field("service_rate", Exact(settings.serviceRate));
    field("servers", Exact(settings.servers));
    field("queue_length", Exact(settings.queueLength));
    field("seconds", Exact(settings.seconds));
    field("warmup", Exact(settings.warmup));
    field("seed", std::to_string(settings.seed));
    field("replications", Exact(settings.replications));
    field("sourced", Exact(s.sourced));
    field("served", Exact(s.served));
    field("lost", Exact(s.lost));
    field("loss", Exact(s.loss));
    interval("loss", summary.ci95.loss);
    field("mean_time_in_system", Exact(s.meanTimeInSystem));
    interval("mean_time_in_system", summary.ci95.meanTimeInSystem);
    field("sd_time_in_system", Exact(s.sdTimeInSystem));
    field("mean_in_system", Exact(s.meanInSystem));
    interval("mean_in_system", summary.ci95.meanInSystem);
    theory("loss", &QueueTheory::lossProbability);
    theory("throughput", &QueueTheory::throughput);
    theory("utilisation", &QueueTheory::utilisation);
    theory("mean_in_system", &QueueTheory::meanInSystem);
    theory("mean_queue", &QueueTheory::meanWaiting);
    theory("mean_time_in_system", &QueueTheory::meanTimeInSystem);
    theory("mean_waiting_time", &QueueTheory::meanTimeBeforeService);
    return header + "\n" + values + "\n";
}

std::string JsonReport(const Settings& settings, const Summary& summary)
{
    const DemoStatistics& s = summary.simulated;
    std::string json;
    // Every text written here is a distribution name or a fixed key: none
    // needs escaping.
    auto key = [&json](std::string_view name) {
        if (json.back() != '{') {
            json += ',';
        }
        json += '"';
        json += name;
        json += "\":";
    };
    auto number = [&](std::string_view name, double value) {
        key(name);
        json += std::isfinite(value) ? Exact(value) : std::string("null");
    };
    auto whole = [&](std::string_view name, std::int64_t value) {
        key(name);
        json += Exact(value);
    };
    auto interval = [&](std::string_view name, const std::optional<ConfidenceInterval>& ci) {
        key(name);
        json += ci ? "[" + Exact(ci->low) + "," + Exact(ci->high) + "]" : std::string("null");
    };

    json += '{';
    key("settings");
    json += '{';
    key("arrival");
    json += "\"" + settings.arrival + "\"";
    key("service");
    json += "\"" + settings.service + "\"";
    number("arrival_rate", settings.arrivalRate);
    number("service_rate", settings.serviceRate);
    whole("servers", settings.servers);
    whole("queue_length", settings.queueLength);
    whole("seconds", settings.seconds);
    whole("warmup", settings.warmup);
    key("seed");
    json += std::to_string(settings.seed);
    whole("replications", settings.replications);
    json += '}';

    key("simulated");
    json += '{';
    whole("sourced", s.sourced);
    whole("served", s.served);
    whole("lost", s.lost);
    number("loss", s.loss);
    number("mean_time_in_system", s.meanTimeInSystem);
    number("sd_time_in_system", s.sdTimeInSystem);
    number("mean_in_system", s.meanInSystem);
    json += '}';

    key("ci95");
    json += '{';
    interval("loss", summary.ci95.loss);
    interval("mean_time_in_system", summary.ci95.meanTimeInSystem);
    interval("mean_in_system", summary.ci95.meanInSystem);
    json += '}';

    key("theory");
    if (const std::optional<QueueTheory>& t = summary.theory.theory) {
        json += '{';
        number("loss", t->lossProbability);
        number("throughput", t->throughput);
        number("utilisation", t->utilisation);
        number("mean_in_system", t->meanInSystem);
        number("mean_queue", t->meanWaiting);
        number("mean_time_in_system", t->meanTimeInSystem);
        number("mean_waiting_time", t->meanTimeBeforeService);
        json += '}';
    } else {
        json += "null";
    }
    json += "}\n";
    return json;
}

std::string Report(Format format, const Settings& settings, const Summary& summary)
{
    switch (format) {
    case Format::Table: return TableReport(settings, summary);
    case Format::Csv: return CsvReport(settings, summary);
    case Format::Json: return JsonReport(settings, summary);
    }
    return {};
}

}  // namespace waitline::batch
