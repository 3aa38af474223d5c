#include "statistics/measures.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "engine/decimal_chars.h"
#include "engine/intervals.h"
#include "engine/translatable.h"

namespace waitline {

const Measure& MeasureKeyed(std::string_view key)
{
    const auto* found =
        std::find_if(kMeasures.begin(), kMeasures.end(), [key](const Measure& m) { return m.key == key; });
    return found != kMeasures.end() ? *found : kMeasures.front();
}

namespace {

std::string Shortest(double value, int decimals)
{
    std::array<char, 64> text{};
    char* end =
        decimals < 0
            ? chars::ToChars(text.data(), text.data() + text.size(), value).ptr
            : chars::ToChars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals).ptr;
    return {text.data(), end};
}

void WarnOfHeavyTail(std::vector<std::string>& warnings, std::string_view distribution, double rate,
                     std::string_view what)
{
    const std::optional<double> shape = ParetoShape(distribution, rate);
    if (shape && *shape <= 2.0) {
        warnings.push_back(WAITLINE_TR("Measures", "The intervals are unreliable: the ") + std::string(what) + " (" +
                           std::string(distribution) + WAITLINE_TR("Measures", " at ") + Shortest(rate, -1) +
                           WAITLINE_TR("Measures", " per second) have Pareto shape ") + Shortest(*shape, 2) +
                           WAITLINE_TR("Measures",
                                       ", at most 2, so their variance is infinite and batch means scatter far more "
                                       "than the intervals allow."));
    }
}

}  // namespace

std::vector<std::string> IntervalWarnings(std::string_view arrival, double arrivalRate, std::string_view service,
                                          double serviceRate)
{
    std::vector<std::string> warnings;
    WarnOfHeavyTail(warnings, arrival, arrivalRate, WAITLINE_TR("Measures", "times between arrivals"));
    WarnOfHeavyTail(warnings, service, serviceRate, WAITLINE_TR("Measures", "service times"));
    return warnings;
}

double SafeRatio(double numerator, double denominator) { return denominator > 0.0 ? numerator / denominator : 0.0; }

// Rounding can leave the variance a hair below 0 when every time was the
// same; its exact value is then 0.
double SdSecondsOf(double squaredMs, double sumMs, double count)
{
    const double meanMs = SafeRatio(sumMs, count);
    const double variance = SafeRatio(squaredMs, count) - meanMs * meanMs;
    return variance > 0.0 ? std::sqrt(variance) / 1000.0 : 0.0;
}

MeasureValues MeasuresOf(const RunTotals& totals, double squaredMs, int servers)
{
    const auto ticks = static_cast<double>(totals.ticks);
    const auto served = static_cast<double>(totals.served);
    MeasureValues v;
    v.loss = SafeRatio(static_cast<double>(totals.lost), static_cast<double>(totals.sourced));
    v.meanTimeInSystem = SafeRatio(static_cast<double>(totals.timeInSystemMs), served) / 1000.0;
    v.sdTimeInSystem = SdSecondsOf(squaredMs, static_cast<double>(totals.timeInSystemMs), served);
    v.meanWaitBeforeService = SafeRatio(static_cast<double>(totals.waitMs), served) / 1000.0;
    v.meanInSystem = SafeRatio(static_cast<double>(totals.depthTicks), ticks);
    v.meanWaiting = SafeRatio(static_cast<double>(totals.depthTicks - totals.busyTicks), ticks);
    v.throughput = SafeRatio(served, static_cast<double>(totals.elapsedMs) / 1000.0);
    v.utilisation = SafeRatio(static_cast<double>(totals.busyTicks), ticks * servers);
    return v;
}

}  // namespace waitline
