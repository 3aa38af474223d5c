#pragma once

#include <QImage>
#include <QString>

class QWidget;

namespace waitline {

class RunRecord;
struct Simulation;
struct SeriesSettings;

// The series' settings in words: "Exponential arrivals at 1 /s, Exponential
// service at 1 /s, 1 server, 3 places".
QString SeriesSettingsText(const SeriesSettings& settings);

// The picture with a line above it naming the queue and its settings, also
// kept in the image's description, so that an exported chart says what it
// shows.
QImage WithSettingsLine(const QImage& picture, const SeriesSettings& settings);
// The same with any line.
QImage WithTextLine(const QImage& picture, const QString& line);

// The series as CSV, in UTF-8: lines beginning with '#' that name the
// program, the settings and the measures' symbols, a header line, then one
// line per row of the record and a last one for the state it stands at now,
// when that came after the last row; every number written with '.' whatever
// the user's locale, so that any spreadsheet or script reads the file the
// same way.
QString SeriesCsv(const RunRecord& record, const Simulation& sim);

// Asks where to export, as CSV or as a PNG picture; a name typed without an
// ending gets the one of the chosen kind. Empty when the user cancels.
QString ChooseExportPath(QWidget* parent, const QString& title);

// Writes the file whole or not at all, as SaveWhole does. Returns an empty
// string on success, otherwise the reason, fit to show the user.
QString ExportCsv(const RunRecord& record, const Simulation& sim, const QString& path);

}  // namespace waitline
