#include "runs/sweep.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace waitline::batch {

namespace {

struct SettingName {
    SweptSetting setting;
    std::string_view name;
};

constexpr std::array<SettingName, 4> kSweptNames{{
    {SweptSetting::ArrivalRate, "arrival-rate"},
    {SweptSetting::ServiceRate, "service-rate"},
    {SweptSetting::Servers, "servers"},
    {SweptSetting::QueueLength, "queue-length"},
}};

// The fewest decimals that spell the value exactly, up to nine.
int DecimalsOf(double value)
{
    constexpr int kMostDecimals = 9;
    double scale = 1.0;
    for (int decimals = 0; decimals < kMostDecimals; ++decimals, scale *= 10.0) {
        if (std::round(value * scale) / scale == value) {
            return decimals;
        }
    }
    return kMostDecimals;
}

}  // namespace

std::string_view SweptName(SweptSetting setting)
{
    for (const SettingName& row : kSweptNames) {
        if (row.setting == setting) {
            return row.name;
        }
    }
    return {};
}

std::optional<SweptSetting> SweptNamed(std::string_view name)
{
    for (const SettingName& row : kSweptNames) {
        if (row.name == name) {
            return row.setting;
        }
    }
    return std::nullopt;
}

double SweptValue(const Settings& settings, SweptSetting setting)
{
    switch (setting) {
    case SweptSetting::ArrivalRate: return settings.arrivalRate;
    case SweptSetting::ServiceRate: return settings.serviceRate;
    case SweptSetting::Servers: return settings.servers;
    case SweptSetting::QueueLength: return settings.queueLength;
    }
    return 0.0;
}

std::optional<std::size_t> SweepCount(double from, double to, double step)
{
    // A hair of tolerance, so that 0.1:0.3:0.1 reaches 0.3.
    const double steps = std::floor((to - from) / step * (1.0 + 1e-12) + 1e-9);
    if (!(steps >= 0.0) || steps >= static_cast<double>(kMostSweepPoints)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(steps) + 1;
}

std::vector<double> SweepValues(double from, double to, double step)
{
    // In whole units of the finest decimal of FROM and STEP, where the sums
    // are exact; one division then gives the nearest double to each decimal.
    const double scale = std::pow(10.0, std::max(DecimalsOf(from), DecimalsOf(step)));
    const double first = std::round(from * scale);
    const double stride = std::round(step * scale);
    std::vector<double> values;
    const std::size_t count = SweepCount(from, to, step).value_or(0);
    values.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        values.push_back((first + static_cast<double>(k) * stride) / scale);
    }
    return values;
}

std::vector<SweepPoint> GridPoints(const Settings& base, std::span<const SweepAxis> axes)
{
    std::vector<SweepPoint> points{SweepPoint{{}, base}};
    for (const SweepAxis& axis : axes) {
        std::vector<SweepPoint> finer;
        finer.reserve(points.size() * axis.values.size());
        for (const SweepPoint& coarse : points) {
            for (const double value : axis.values) {
                SweepPoint point = coarse;
                point.at.push_back(value);
                SetSwept(point.settings, axis.setting, value);
                finer.push_back(std::move(point));
            }
        }
        points = std::move(finer);
    }
    return points;
}

std::optional<std::vector<Summary>> RunSweep(std::span<const SweepPoint> points, Workers workers, RunWatch* watch)
{
    // One piece of work per replication of each point, so that a sweep of
    // single replications still spreads over every worker.
    std::vector<std::size_t> firstRun;
    std::vector<std::vector<ReplicationResult>> runs;
    std::size_t total = 0;
    for (const SweepPoint& point : points) {
        firstRun.push_back(total);
        runs.emplace_back(static_cast<std::size_t>(std::max(point.settings.replications, 1)));
        total += runs.back().size();
    }
    ShareWork(total, workers, [&](std::size_t piece) {
        const auto p =
            static_cast<std::size_t>(std::upper_bound(firstRun.begin(), firstRun.end(), piece) - firstRun.begin() - 1);
        const std::size_t i = piece - firstRun[p];
        const Settings& settings = points[p].settings;
        if (watch == nullptr || !watch->cancelled.load(std::memory_order_relaxed)) {
            runs[p][i] = RunReplication(settings, settings.seed + i, watch);
        }
    });
    if (watch != nullptr && watch->cancelled.load()) {
        return std::nullopt;
    }
    std::vector<Summary> summaries;
    summaries.reserve(points.size());
    for (std::size_t p = 0; p < points.size(); ++p) {
        summaries.push_back(Summarise(points[p].settings, runs[p]));
    }
    return summaries;
}

}  // namespace waitline::batch
