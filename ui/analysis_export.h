#pragma once

#include <QImage>
#include <QString>

namespace waitline {

class RunRecord;

// The series as CSV: a header line, then one line per row of the record,
// every number written with '.' whatever the user's locale, so that any
// spreadsheet or script reads the file the same way.
QString SeriesCsv(const RunRecord& record);

// Writes the file whole or not at all: a failed write leaves no file behind
// and no half-written one in place of an older file. Return an empty string
// on success, otherwise the reason, fit to show the user.
QString ExportCsv(const RunRecord& record, const QString& path);
QString ExportPng(const QImage& image, const QString& path);

}  // namespace waitline
