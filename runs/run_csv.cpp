#include "runs/run_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "engine/decimal_chars.h"
#include "statistics/measures.h"

namespace waitline::batch {

namespace {

// Shortest text that reads back as the same Double; never locale-dependent.
std::string Exact(double value)
{
    std::array<char, 64> buffer{};
    const auto result = chars::ToChars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

std::string Exact(std::int64_t value) { return std::to_string(value); }
std::string Exact(int value) { return std::to_string(value); }

// The measures the CSV held in its first versions, in their order.
constexpr std::array<std::string_view, 4> kFirstSimulatedColumns{"loss", "mean_time_in_system", "sd_time_in_system",
                                                                 "mean_in_system"};
constexpr std::array<std::string_view, 7> kFirstTheoryColumns{
    "loss", "throughput", "utilisation", "mean_in_system", "mean_queue", "mean_time_in_system", "mean_waiting_time"};

}  // namespace

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
    auto simulated = [&](const Measure& m) {
        field(m.key, Exact(s.values.*m.simulated));
        if (m.interval != nullptr) {
            const std::optional<ConfidenceInterval> ci = IntervalOf(summary, m);
            field(std::string(m.key) + "_low", ci ? Exact(ci->low) : std::string());
            field(std::string(m.key) + "_high", ci ? Exact(ci->high) : std::string());
        }
    };
    auto theory = [&](const Measure& m) {
        const std::optional<double> value = TheoryValue(summary, m);
        field("theory_" + std::string(m.key), value ? Exact(*value) : std::string());
    };
    // The columns of the first versions stay where they were, so that new
    // lines still fit under an old header and scripts that count columns
    // read the same; the later ones follow.
    for (const std::string_view key : kFirstSimulatedColumns) {
        simulated(MeasureKeyed(key));
    }
    for (const std::string_view key : kFirstTheoryColumns) {
        theory(MeasureKeyed(key));
    }
    for (const Measure& m : kMeasures) {
        if (std::find(kFirstSimulatedColumns.begin(), kFirstSimulatedColumns.end(), m.key) ==
            kFirstSimulatedColumns.end()) {
            simulated(m);
        }
    }
    for (const Measure& m : kMeasures) {
        if (std::find(kFirstTheoryColumns.begin(), kFirstTheoryColumns.end(), m.key) == kFirstTheoryColumns.end()) {
            theory(m);
        }
    }
    return header + "\n" + values + "\n";
}

std::string SweepCsv(std::span<const SweepPoint> points, std::span<const Summary> summaries)
{
    std::string text;
    for (std::size_t p = 0; p < points.size(); ++p) {
        const std::string single = CsvReport(points[p].settings, summaries[p]);
        // The header once, above the first point's line.
        text += p == 0 ? single : single.substr(single.find('\n') + 1);
    }
    return text;
}

}  // namespace waitline::batch
