#include "ui/analysis_window/analysis_export.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <array>
#include <charconv>
#include <cstdint>
#include <span>

#include "statistics/measures.h"
#include "statistics/queue_theory.h"
#include "statistics/run_record.h"
#include "ui/common/text.h"
#include "ui/common/whole_file.h"

namespace waitline {
namespace {

// The series' columns that show a measure of the table, by their keys, and
// how each is shown.
struct MeasureColumn {
    std::string_view key;
    bool percent;  // as the main window's percentage rather than a share
};
constexpr std::array<MeasureColumn, 4> kMeasureColumns{
    {{"loss", true}, {"mean_time_in_system", false}, {"sd_time_in_system", false}, {"mean_in_system", false}}};

QByteArray ColumnName(const MeasureColumn& column)
{
    const Measure& m = MeasureKeyed(column.key);
    if (column.percent) {
        return "percent_dropped";
    }
    QByteArray name(m.key.data(), static_cast<qsizetype>(m.key.size()));
    return m.unit == "s" ? name + "_s" : name;
}

// Lines that pandas.read_csv(comment='#') and a reader skip alike: the
// program, the series' settings and what each measure's column is.
void AppendPreamble(QByteArray& out, const RunRecord& record)
{
    const SeriesSettings& s = record.settings();
    out.append("# " WAITLINE_NAME " " WAITLINE_VERSION
               ": the analysis window's series, a row each simulated second, the last "
               "at the moment of the export\n");
    out.append("# settings: ");
    out.append(KendallNotation(s.arrival, s.service, s.servers, s.queueLength).c_str());
    out.append(", ");
    out.append(SeriesSettingsText(s).toUtf8());
    out.append('\n');
    for (const MeasureColumn& column : kMeasureColumns) {
        const Measure& m = MeasureKeyed(column.key);
        out.append("# ");
        out.append(ColumnName(column));
        out.append(": ");
        out.append(column.percent ? "100 \u00d7 " : "");
        out.append(m.symbol.data(), static_cast<qsizetype>(m.symbol.size()));
        out.append(", the ");
        out.append(m.name.data(), static_cast<qsizetype>(m.name.size()));
        out.append('\n');
    }
    out.append("time_s,sourced,served,lost");
    for (const MeasureColumn& column : kMeasureColumns) {
        out.append(',');
        out.append(ColumnName(column));
    }
    out.append(",places_held\n");
}

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
    out.reserve(1024 + 112 * (static_cast<qsizetype>(rows.size()) + 1));
    AppendPreamble(out, record);
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

QString DistributionText(std::string_view name)
{
    // An unknown name in a box draws no intervals at all.
    return name.empty() ? QStringLiteral("No") : ToQString(name);
}

QString RateText(double rate) { return QString::number(rate, 'g', 6); }

QString CountText(int count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

}  // namespace

QString SeriesSettingsText(const SeriesSettings& settings)
{
    return QStringLiteral("%1 arrivals at %2 /s, %3 service at %4 /s, %5, %6")
        .arg(DistributionText(settings.arrival), RateText(settings.arrivalRate), DistributionText(settings.service),
             RateText(settings.serviceRate), CountText(settings.servers, "server", "servers"),
             CountText(settings.queueLength, "place", "places"));
}

QString SeriesCsv(const RunRecord& record, const Simulation& sim)
{
    return QString::fromUtf8(SeriesCsvBytes(record, sim));
}

QImage WithSettingsLine(const QImage& picture, const SeriesSettings& settings)
{
    return WithTextLine(picture, QString::fromStdString(KendallNotation(settings.arrival, settings.service,
                                                                        settings.servers, settings.queueLength)) +
                                     QStringLiteral(", ") + SeriesSettingsText(settings));
}

QImage WithTextLine(const QImage& picture, const QString& line)
{
    QFont font;
    font.setPixelSize(16);
    const QFontMetrics metrics(font);
    const int strip = metrics.height() + 12;
    QImage image(picture.width(), picture.height() + strip, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(8, 0, image.width() - 16, strip), Qt::AlignLeft | Qt::AlignVCenter, line);
    painter.drawImage(0, strip, picture);
    painter.end();
    // Also where image viewers and scripts look for a description.
    image.setText(QStringLiteral("Description"), line);
    image.setText(QStringLiteral("Software"), QStringLiteral(WAITLINE_NAME " " WAITLINE_VERSION));
    return image;
}

QString ExportCsv(const RunRecord& record, const Simulation& sim, const QString& path)
{
    return SaveWhole(path, SeriesCsvBytes(record, sim));
}

QString ChooseExportPath(QWidget* parent, const QString& title)
{
    const QString csv = QCoreApplication::translate("AnalysisWindow", "CSV file (*.csv)");
    const QString png = QCoreApplication::translate("AnalysisWindow", "PNG image (*.png)");
    QFileDialog dialog(parent, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({csv, png});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, png](const QString& filter) {
        dialog.setDefaultSuffix(filter == png ? QStringLiteral("png") : QStringLiteral("csv"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace waitline
