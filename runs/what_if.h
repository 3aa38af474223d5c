#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runs/sweep.h"
#include "statistics/measures.h"
#include "statistics/run_record.h"

// What the window's "What if" needs besides the sweep itself: the sweep's
// settings taken from the main window's, the range offered first, the reason
// a range cannot run, and the textbook curve between the points.
namespace waitline::batch {

// The values a swept setting may take, as its box keeps them.
struct SettingLimits {
    double lowest = 0.0;
    double highest = 0.0;
    bool whole = false;
};
SettingLimits LimitsOf(SweptSetting setting);

// The main window's six settings, run for `seconds` simulated seconds after
// Go and `replications` times, from seed 1, with the batch mode's warm-up.
Settings WhatIfBase(const SeriesSettings& main, std::int64_t seconds, int replications);

// The six settings at a point of a sweep from `base`.
SeriesSettings SettingsAt(const Settings& base, SweptSetting setting, double value);

struct SweepRange {
    double from = 0.0;
    double to = 0.0;
    double step = 0.0;
};

// The range offered when a setting is picked: for a rate, the offered load
// from 0.2 to 1.5 in thirteen steps, where the lesson's curve bends; for a
// count, every value the other settings allow.
SweepRange FirstRange(const Settings& base, SweptSetting setting);

// Why a sweep of the setting over the range cannot run, in a sentence for
// the user, or empty when it can.
std::string RangeProblem(const Settings& base, SweptSetting setting, const SweepRange& range);

// The textbook's value of the measure along the swept setting from `from` to
// `to`: at `samples` evenly spaced values of a rate, or at every whole value
// of a count. Values without a textbook answer are left out.
struct CurvePoint {
    double x = 0.0;
    double y = 0.0;
};
std::vector<CurvePoint> TheoryCurve(const Settings& base, SweptSetting setting, double from, double to,
                                    const Measure& measure, int samples = 200);

}  // namespace waitline::batch
