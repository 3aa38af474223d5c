#include "runs/what_if.h"

#include <algorithm>
#include <cmath>

#include "engine/number_text.h"
#include "engine/simulation.h"
#include "engine/translatable.h"

namespace waitline::batch {

namespace {

SeriesSettings SixOf(const Settings& settings)
{
    return SeriesSettings{settings.arrival,     settings.service, settings.arrivalRate,
                          settings.serviceRate, settings.servers, settings.queueLength};
}

// Two significant digits: a range a teacher would type.
double Plain(double value)
{
    if (value <= 0.0) {
        return value;
    }
    const double unit = std::pow(10.0, std::floor(std::log10(value)) - 1.0);
    return std::round(value / unit) * unit;
}

}  // namespace

SettingLimits LimitsOf(SweptSetting setting)
{
    switch (setting) {
    case SweptSetting::ArrivalRate:
    case SweptSetting::ServiceRate: return {kLowestRate, double(kRateCeiling), false};
    case SweptSetting::Servers: return {1.0, double(MaxServers), true};
    case SweptSetting::QueueLength: return {1.0, double(MaxQueueLength), true};
    }
    return {};
}

Settings WhatIfBase(const SeriesSettings& main, std::int64_t seconds, int replications)
{
    Settings base;
    base.arrival = main.arrival;
    base.service = main.service;
    base.arrivalRate = main.arrivalRate;
    base.serviceRate = main.serviceRate;
    base.servers = main.servers;
    base.queueLength = main.queueLength;
    base.seconds = seconds;
    base.warmup = seconds / 10;
    base.replications = replications;
    return base;
}

SeriesSettings SettingsAt(const Settings& base, SweptSetting setting, double value)
{
    SeriesSettings settings = SixOf(base);
    SetSwept(settings, setting, value);
    return settings;
}

SweepRange FirstRange(const Settings& base, SweptSetting setting)
{
    const SettingLimits limits = LimitsOf(setting);
    switch (setting) {
    case SweptSetting::ArrivalRate:
    case SweptSetting::ServiceRate: {
        // The offered load is λ/(cμ): the rate that gives it, either way.
        const double capacity = base.servers * base.serviceRate;
        const auto rateFor = [&](double load) {
            const double rate =
                setting == SweptSetting::ArrivalRate ? load * capacity : base.arrivalRate / (load * base.servers);
            return std::clamp(Plain(rate), limits.lowest, limits.highest);
        };
        const double low = std::min(rateFor(0.2), rateFor(1.5));
        const double high = std::max(rateFor(0.2), rateFor(1.5));
        const double step = std::max(Plain((high - low) / 13.0), limits.lowest);
        return {low, low + step * std::floor((high - low) / step + 1e-9), step};
    }
    case SweptSetting::Servers: return {1.0, double(std::min<int>(MaxServers, base.queueLength)), 1.0};
    case SweptSetting::QueueLength: return {double(base.servers), limits.highest, 1.0};
    }
    return {};
}

std::string RangeProblem(const Settings& base, SweptSetting setting, const SweepRange& range)
{
    if (!(range.from <= range.to)) {
        return WAITLINE_TR("WhatIf", "\u201cFrom\u201d must not be more than \u201cto\u201d.");
    }
    if (!(range.step > 0.0)) {
        return WAITLINE_TR("WhatIf", "The step must be more than 0.");
    }
    if (!SweepCount(range.from, range.to, range.step)) {
        return WAITLINE_TR("WhatIf", "That is more than ") + NumberToText(static_cast<std::int64_t>(kMostSweepPoints)) +
               WAITLINE_TR("WhatIf", " points.");
    }
    const SettingLimits limits = LimitsOf(setting);
    for (const double value : SweepValues(range.from, range.to, range.step)) {
        if (value < limits.lowest || value > limits.highest || (limits.whole && value != std::floor(value))) {
            return WAITLINE_TR("WhatIf", "The sweep reaches ") + DecimalText(value) +
                   WAITLINE_TR("WhatIf", ", which this setting cannot take.");
        }
        const SeriesSettings at = SettingsAt(base, setting, value);
        if (at.servers > at.queueLength) {
            return WAITLINE_TR("WhatIf", "At ") + DecimalText(value) +
                   WAITLINE_TR("WhatIf", " there would be more servers than places.");
        }
    }
    return {};
}

std::vector<CurvePoint> TheoryCurve(const Settings& base, SweptSetting setting, double from, double to,
                                    const Measure& measure, int samples)
{
    std::vector<double> xs;
    if (LimitsOf(setting).whole) {
        for (double x = std::ceil(from); x <= to; x += 1.0) {
            xs.push_back(x);
        }
    } else {
        const int count = std::max(samples, 2);
        for (int k = 0; k < count; ++k) {
            xs.push_back(from + (to - from) * k / (count - 1));
        }
    }
    std::vector<CurvePoint> curve;
    for (const double x : xs) {
        const SeriesSettings at = SettingsAt(base, setting, x);
        if (at.servers > at.queueLength) {
            continue;
        }
        const TheoryAnswer answer = ExactTheory(
            at.arrival, at.service, QueueSettings{at.arrivalRate, at.serviceRate, at.servers, at.queueLength});
        if (answer.theory) {
            curve.push_back({x, (*answer.theory).*measure.theory});
        }
    }
    return curve;
}

}  // namespace waitline::batch
