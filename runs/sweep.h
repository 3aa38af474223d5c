#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runs/batch_run.h"

// A sweep: the same run at each value of a setting, or at each pair of values
// of two settings (a grid). Every point uses the same seeds, so that the
// differences between points are the settings' and not the random numbers'.
namespace waitline::batch {

enum class SweptSetting : std::uint8_t { ArrivalRate, ServiceRate, Servers, QueueLength };

// The setting's name as the batch mode's option names it: "arrival-rate".
std::string_view SweptName(SweptSetting setting);
std::optional<SweptSetting> SweptNamed(std::string_view name);
// The setting's value in the settings.
double SweptValue(const Settings& settings, SweptSetting setting);

// Sets the setting in any settings that name the four as Settings does.
template <typename Six>
void SetSwept(Six& settings, SweptSetting setting, double value)
{
    switch (setting) {
    case SweptSetting::ArrivalRate: settings.arrivalRate = value; break;
    case SweptSetting::ServiceRate: settings.serviceRate = value; break;
    case SweptSetting::Servers: settings.servers = static_cast<int>(value); break;
    case SweptSetting::QueueLength: settings.queueLength = static_cast<int>(value); break;
    }
}

inline constexpr std::size_t kMostSweepPoints = 1000;

struct SweepAxis {
    SweptSetting setting = SweptSetting::ArrivalRate;
    std::vector<double> values;
};

// FROM, FROM + STEP, ... up to TO, each as near as a double comes to the
// decimal it should be (0.1 + 2 * 0.1 is 0.3, not 0.30000000000000004). The
// caller has checked that FROM <= TO, STEP > 0 and the count is at most
// kMostSweepPoints.
std::vector<double> SweepValues(double from, double to, double step);
// How many values SweepValues gives, or nothing when it would be more than
// kMostSweepPoints.
std::optional<std::size_t> SweepCount(double from, double to, double step);

struct SweepPoint {
    std::vector<double> at;  // one value per axis
    Settings settings;
};

// Every point of the grid, the first axis outermost, the others' settings as
// in `base`.
std::vector<SweepPoint> GridPoints(const Settings& base, std::span<const SweepAxis> axes);

// Each point's replications, all on the workers, as many at once as they
// take; a point's summary is its runs' as a single run would give it. When
// the watch is cancelled, returns nothing.
std::optional<std::vector<Summary>> RunSweep(std::span<const SweepPoint> points, Workers workers = {},
                                             RunWatch* watch = nullptr);

}  // namespace waitline::batch
