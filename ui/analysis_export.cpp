#include "ui/analysis_export.h"

#include <QByteArray>

#include <array>
#include <charconv>
#include <cstdint>
#include <span>

#include "engine/run_record.h"
#include "ui/whole_file.h"

namespace waitline {
namespace {

constexpr const char* kCsvHeader = "time_s,sourced,served,lost,percent_dropped,mean_time_in_system_s,"
                                   "sd_time_in_system_s,mean_in_system,places_held\n";

// std::to_chars gives the shortest text that reads back as the same number,
// and never a decimal comma.
template <typename Number>
void AppendNumber(QByteArray& out, Number value)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr - buffer.data());
}

// One line of numbers separated by commas.
template <typename First, typename... Rest>
void AppendLine(QByteArray& out, First first, Rest... rest)
{
    AppendNumber(out, first);
    ((out.append(','), AppendNumber(out, rest)), ...);
    out.append('\n');
}

void AppendRow(QByteArray& out, const SeriesRow& row)
{
    AppendLine(out, row.time, row.sourced, row.served, row.lost, row.percentDropped, row.meanTimeInSystem,
               row.sdTimeInSystem, row.meanInSystem, row.placesHeld);
}

QByteArray SeriesCsvBytes(const RunRecord& record, const Simulation& sim)
{
    const std::span<const SeriesRow> rows = record.rows();
    QByteArray out;
    // About a hundred characters a row at most: one allocation for the file.
    out.reserve(128 + 112 * (static_cast<qsizetype>(rows.size()) + 1));
    out.append(kCsvHeader);
    for (const SeriesRow& row : rows) {
        AppendRow(out, row);
    }
    // The table shows the state now, not at the last whole second; so does
    // the file.
    if (const std::optional<SeriesRow> now = record.rowNow(sim)) {
        AppendRow(out, *now);
    }
    return out;
}

}  // namespace

QString SeriesCsv(const RunRecord& record, const Simulation& sim)
{
    return QString::fromLatin1(SeriesCsvBytes(record, sim));
}

QString ExportCsv(const RunRecord& record, const Simulation& sim, const QString& path)
{
    return SaveWhole(path, SeriesCsvBytes(record, sim));
}

}  // namespace waitline
