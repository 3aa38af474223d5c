#pragma once

#include <span>
#include <string>

#include "runs/sweep.h"

// Runs as CSV: a header line and a line of values per run, so that the lines
// of many runs can be put under one header. An empty field: no value. Every
// number is the shortest text that reads back as the same double, with '.'
// whatever the locale.
namespace waitline::batch {

// The header, then the run's line.
std::string CsvReport(const Settings& settings, const Summary& summary);

// The header once, then each point's line, in order.
std::string SweepCsv(std::span<const SweepPoint> points, std::span<const Summary> summaries);

}  // namespace waitline::batch
