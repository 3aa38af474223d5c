#include "tools/batch/batch_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/decimal_chars.h"
#include "engine/json_writer.h"
#include "engine/number_text.h"
#include "engine/translatable.h"
#include "runs/run_csv.h"
#include "statistics/measures.h"

namespace waitline::batch {

namespace {

// Four decimals, for reading.
std::string Rounded(double value)
{
    std::array<char, 400> buffer{};
    const auto result =
        chars::ToChars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 4);
    return {buffer.data(), result.ptr};
}

std::string Plural(std::int64_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The width a terminal gives a text: one column for each character, however
// many bytes UTF-8 takes for it.
std::size_t Columns(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u; }));
}

std::string Padded(std::string text, std::size_t width, bool right = false)
{
    const std::size_t columns = Columns(text);
    if (columns < width) {
        text.insert(right ? std::size_t{0} : text.size(), width - columns, ' ');
    }
    return text;
}

std::vector<std::string> Warnings(const Settings& settings)
{
    return IntervalWarnings(settings.arrival, settings.arrivalRate, settings.service, settings.serviceRate);
}

constexpr std::size_t kValueWidth = 10;
constexpr std::size_t kIntervalWidth = 24;

// The table's three columns of figures, over each measure's row: what was
// simulated, its 95 % interval, and the textbook value.
std::string FigureHeadings()
{
    return Padded(WAITLINE_TR("waitline-batch", "simulated"), kValueWidth, true) + "   " +
           Padded(WAITLINE_TR("waitline-batch", "95 % interval"), kIntervalWidth) +
           Padded(WAITLINE_TR("waitline-batch", "textbook"), kValueWidth, true) + "\n";
}

std::string Figures(const Summary& summary, const Measure& m)
{
    std::string interval = "-";
    if (m.interval != nullptr) {
        const std::optional<ConfidenceInterval> ci = IntervalOf(summary, m);
        interval = ci ? Rounded(ci->low) + WAITLINE_TR("waitline-batch", " to ") + Rounded(ci->high)
                      : std::string(WAITLINE_TR("waitline-batch", "not yet available"));
    }
    const std::optional<double> theory = TheoryValue(summary, m);
    return Padded(Rounded(summary.simulated.values.*m.simulated), kValueWidth, true) + "   " +
           Padded(interval, kIntervalWidth) + Padded(theory ? Rounded(*theory) : "-", kValueWidth, true) + "\n";
}

}  // namespace

std::string TableReport(const Settings& settings, const Summary& summary)
{
    const DemoStatistics& s = summary.simulated;
    std::string text;
    text +=
        settings.arrival + WAITLINE_TR("waitline-batch", " arrivals at ") + RateText(settings.arrivalRate) +
        WAITLINE_TR("waitline-batch", " per second, ") + settings.service +
        WAITLINE_TR("waitline-batch", " service at ") + RateText(settings.serviceRate) +
        WAITLINE_TR("waitline-batch", " per second, ") +
        Plural(settings.servers, WAITLINE_TR("waitline-batch", "server"), WAITLINE_TR("waitline-batch", "servers")) +
        ", " +
        Plural(settings.queueLength, WAITLINE_TR("waitline-batch", "place"), WAITLINE_TR("waitline-batch", "places")) +
        "\n";
    text += Plural(settings.seconds, WAITLINE_TR("waitline-batch", "simulated second"),
                   WAITLINE_TR("waitline-batch", "simulated seconds")) +
            WAITLINE_TR("waitline-batch", " from seed ") + std::to_string(settings.seed) + ", " +
            Plural(settings.replications, WAITLINE_TR("waitline-batch", "replication"),
                   WAITLINE_TR("waitline-batch", "replications")) +
            WAITLINE_TR("waitline-batch", "; intervals leave out the first ") +
            Plural(settings.warmup, WAITLINE_TR("waitline-batch", "second"), WAITLINE_TR("waitline-batch", "seconds")) +
            "\n\n";

    constexpr std::size_t kSymbolWidth = 9;
    constexpr std::size_t kNameWidth = 58;
    text += Padded(WAITLINE_TR("waitline-batch", "measure"), kNameWidth) + FigureHeadings();
    for (const Measure& m : kMeasures) {
        std::string name = Padded(std::string(m.symbol), kSymbolWidth) + std::string(m.name);
        if (!m.unit.empty()) {
            name += " (" + std::string(m.unit) + ")";
        }
        text += Padded(name, kNameWidth) + Figures(summary, m);
    }
    text += "\n";
    text += Padded(WAITLINE_TR("waitline-batch", "packets sourced"), kNameWidth) +
            Padded(std::to_string(s.sourced), kValueWidth, true) + "\n";
    text += Padded(WAITLINE_TR("waitline-batch", "packets served"), kNameWidth) +
            Padded(std::to_string(s.served), kValueWidth, true) + "\n";
    text += Padded(WAITLINE_TR("waitline-batch", "packets lost"), kNameWidth) +
            Padded(std::to_string(s.lost), kValueWidth, true) + "\n";
    if (!summary.theory.theory) {
        text += WAITLINE_TR("waitline-batch", "\ntextbook: ") + std::string(summary.theory.reason) + "\n";
    }
    for (const std::string& warning : Warnings(settings)) {
        text += WAITLINE_TR("waitline-batch", "\nwarning: ") + warning + "\n";
    }
    return text;
}

namespace {

// The settings, but for those a sweep sets at each point.
void WriteSettings(JsonWriter& json, const Settings& settings, std::span<const SweepAxis> sweeps = {})
{
    const auto swept = [&](SweptSetting setting) {
        return std::any_of(sweeps.begin(), sweeps.end(), [&](const SweepAxis& a) { return a.setting == setting; });
    };
    json.key("settings");
    json.beginObject();
    json.member("arrival", settings.arrival);
    json.member("service", settings.service);
    if (!swept(SweptSetting::ArrivalRate)) {
        json.member("arrival_rate", settings.arrivalRate);
    }
    if (!swept(SweptSetting::ServiceRate)) {
        json.member("service_rate", settings.serviceRate);
    }
    if (!swept(SweptSetting::Servers)) {
        json.member("servers", settings.servers);
    }
    if (!swept(SweptSetting::QueueLength)) {
        json.member("queue_length", settings.queueLength);
    }
    json.member("seconds", settings.seconds);
    json.member("warmup", settings.warmup);
    json.member("seed", settings.seed);
    json.member("replications", settings.replications);
    json.endObject();
}

// "simulated", "ci95", "theory" and "warnings": what one run measured.
void WriteResults(JsonWriter& json, const Settings& settings, const Summary& summary)
{
    const DemoStatistics& s = summary.simulated;
    json.key("simulated");
    json.beginObject();
    json.member("sourced", s.sourced);
    json.member("served", s.served);
    json.member("lost", s.lost);
    for (const Measure& m : kMeasures) {
        json.member(m.key, s.values.*m.simulated);
    }
    json.endObject();

    json.key("ci95");
    json.beginObject();
    for (const Measure& m : kMeasures) {
        if (m.interval == nullptr) {
            continue;
        }
        json.key(m.key);
        if (const std::optional<ConfidenceInterval> ci = IntervalOf(summary, m)) {
            json.beginArray();
            json.value(ci->low);
            json.value(ci->high);
            json.endArray();
        } else {
            json.null();
        }
    }
    json.endObject();

    json.key("theory");
    if (summary.theory.theory) {
        json.beginObject();
        for (const Measure& m : kMeasures) {
            json.member(m.key, *TheoryValue(summary, m));
        }
        json.endObject();
    } else {
        json.null();
    }

    json.key("warnings");
    json.beginArray();
    for (const std::string& warning : Warnings(settings)) {
        json.value(warning);
    }
    json.endArray();
}

}  // namespace

std::string JsonReport(const Settings& settings, const Summary& summary)
{
    JsonWriter json;
    json.beginObject();
    WriteSettings(json, settings);
    WriteResults(json, settings, summary);
    json.endObject();
    return json.text() + "\n";
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

namespace {

std::string SweepTable(const Options& options, std::span<const SweepPoint> points, std::span<const Summary> summaries)
{
    const Settings& given = options.settings;
    std::string text;
    text += given.arrival + WAITLINE_TR("waitline-batch", " arrivals, ") + given.service +
            WAITLINE_TR("waitline-batch", " service");
    for (const SweepAxis& axis : options.sweeps) {
        text += WAITLINE_TR("waitline-batch", "; ") + std::string(SweptName(axis.setting)) +
                WAITLINE_TR("waitline-batch", " from ") + DecimalText(axis.values.front()) +
                WAITLINE_TR("waitline-batch", " to ") + DecimalText(axis.values.back()) + " (" +
                Plural(static_cast<std::int64_t>(axis.values.size()), WAITLINE_TR("waitline-batch", "point"),
                       WAITLINE_TR("waitline-batch", "points")) +
                ")";
    }
    text += "\n";
    text += Plural(given.seconds, WAITLINE_TR("waitline-batch", "simulated second"),
                   WAITLINE_TR("waitline-batch", "simulated seconds")) +
            WAITLINE_TR("waitline-batch", " from seed ") + std::to_string(given.seed) + ", " +
            Plural(given.replications, WAITLINE_TR("waitline-batch", "replication"),
                   WAITLINE_TR("waitline-batch", "replications")) +
            WAITLINE_TR("waitline-batch", " at each point, the same seeds at every point") + "\n";

    constexpr std::size_t kAxisWidth = 14;
    std::string axes;
    for (const SweepAxis& axis : options.sweeps) {
        axes += Padded(std::string(SweptName(axis.setting)), kAxisWidth, true);
    }
    auto where = [&](const SweepPoint& point) {
        std::string cells;
        for (const double value : point.at) {
            cells += Padded(DecimalText(value), kAxisWidth, true);
        }
        return cells;
    };
    for (const Measure& m : kMeasures) {
        text += "\n" + std::string(m.symbol) + "  " + std::string(m.name);
        text += m.unit.empty() ? "\n" : " (" + std::string(m.unit) + ")\n";
        text += axes + "  " + FigureHeadings();
        for (std::size_t p = 0; p < points.size(); ++p) {
            text += where(points[p]) + "  " + Figures(summaries[p], m);
        }
    }
    text += std::string("\n") + WAITLINE_TR("waitline-batch", "packets") + "\n";
    text += axes + "  " + Padded(WAITLINE_TR("waitline-batch", "sourced"), kValueWidth, true) +
            Padded(WAITLINE_TR("waitline-batch", "served"), kValueWidth, true) +
            Padded(WAITLINE_TR("waitline-batch", "lost"), kValueWidth, true) + "\n";
    for (std::size_t p = 0; p < points.size(); ++p) {
        const DemoStatistics& s = summaries[p].simulated;
        text += where(points[p]) + "  " + Padded(std::to_string(s.sourced), kValueWidth, true) +
                Padded(std::to_string(s.served), kValueWidth, true) +
                Padded(std::to_string(s.lost), kValueWidth, true) + "\n";
    }
    // A reason or a warning said once for all the points it holds for.
    std::vector<std::string> notes;
    for (std::size_t p = 0; p < points.size(); ++p) {
        std::vector<std::string> said = Warnings(points[p].settings);
        if (!summaries[p].theory.theory) {
            said.insert(said.begin(),
                        WAITLINE_TR("waitline-batch", "textbook: ") + std::string(summaries[p].theory.reason));
        }
        for (std::string& note : said) {
            if (std::find(notes.begin(), notes.end(), note) == notes.end()) {
                notes.push_back(std::move(note));
            }
        }
    }
    for (const std::string& note : notes) {
        text += "\n" + note + "\n";
    }
    return text;
}

std::string SweepJson(const Options& options, std::span<const SweepPoint> points, std::span<const Summary> summaries)
{
    const bool grid = options.sweeps.size() > 1;
    JsonWriter json;
    json.beginObject();
    WriteSettings(json, options.settings, options.sweeps);
    json.key("sweep");
    if (grid) {
        json.beginArray();
    }
    for (const SweepAxis& axis : options.sweeps) {
        json.beginObject();
        json.member("name", SweptName(axis.setting));
        json.key("values");
        json.beginArray();
        for (const double value : axis.values) {
            json.value(value);
        }
        json.endArray();
        json.endObject();
    }
    if (grid) {
        json.endArray();
    }
    json.key("points");
    json.beginArray();
    for (std::size_t p = 0; p < points.size(); ++p) {
        json.beginObject();
        json.key("value");
        if (grid) {
            json.beginArray();
        }
        for (const double value : points[p].at) {
            json.value(value);
        }
        if (grid) {
            json.endArray();
        }
        WriteResults(json, points[p].settings, summaries[p]);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    return json.text() + "\n";
}

}  // namespace

std::string SweepReport(const Options& options, std::span<const SweepPoint> points, std::span<const Summary> summaries)
{
    switch (options.format) {
    case Format::Table: return SweepTable(options, points, summaries);
    case Format::Csv: return SweepCsv(points, summaries);
    case Format::Json: return SweepJson(options, points, summaries);
    }
    return {};
}

}  // namespace waitline::batch
