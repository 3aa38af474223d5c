#pragma once

#include <string>

#include "tools/batch/batch_options.h"
#include "tools/batch/batch_run.h"

// What waitline-batch prints on standard output, in each of its formats.
namespace waitline::batch {

// A table for people: each measure's simulated value, its 95 % interval and
// the textbook value, then the counts.
std::string TableReport(const Settings& settings, const Summary& summary);

// A header line and one line of values, so that the lines of many runs can be
// put under one header. An empty field: no value.
std::string CsvReport(const Settings& settings, const Summary& summary);

// One JSON object on one line: "settings", "simulated", "ci95", "theory".
std::string JsonReport(const Settings& settings, const Summary& summary);

std::string Report(Format format, const Settings& settings, const Summary& summary);

}  // namespace waitline::batch
