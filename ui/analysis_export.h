#pragma once

#include <QString>

namespace waitline {

class RunRecord;
struct Simulation;

// The series as CSV: a header line, then one line per row of the record and
// a last one for the state it stands at now, when that came after the last
// row; every number written with '.' whatever the user's locale, so that any
// spreadsheet or script reads the file the same way.
QString SeriesCsv(const RunRecord& record, const Simulation& sim);

// Writes the file whole or not at all, as SaveWhole does. Returns an empty
// string on success, otherwise the reason, fit to show the user.
QString ExportCsv(const RunRecord& record, const Simulation& sim, const QString& path);

}  // namespace waitline
