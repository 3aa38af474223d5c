#pragma once

#include <span>
#include <string>

#include "runs/batch_run.h"
#include "runs/run_csv.h"
#include "tools/batch/batch_options.h"

// What waitline-batch prints on standard output, in each of its formats.
namespace waitline::batch {

// A table for people: each measure's simulated value, its 95 % interval and
// the textbook value, then the counts.
std::string TableReport(const Settings& settings, const Summary& summary);

// One JSON object on one line: "settings", "simulated", "ci95", "theory".
std::string JsonReport(const Settings& settings, const Summary& summary);

std::string Report(Format format, const Settings& settings, const Summary& summary);

// A sweep's report, its points in order with their summaries:
//   table: for each measure, a row per point with the simulated value, the
//          95 % interval and the textbook value; then the counts;
//   csv:   the single run's header, then its line for each point;
//   json:  "settings" (those not swept), "sweep" (the name and the values;
//          for a grid, one such object per --sweep), and "points", each with
//          its "value" (for a grid, one per --sweep) and the single run's
//          "simulated", "ci95", "theory" and "warnings".
std::string SweepReport(const Options& options, std::span<const SweepPoint> points, std::span<const Summary> summaries);

}  // namespace waitline::batch
