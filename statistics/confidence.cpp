#include "statistics/confidence.h"

#include <algorithm>
#include <array>
#include <limits>

namespace waitline {

namespace {

// Exact to the digits shown; the expansion below takes over beyond 30.
constexpr std::array<double, 30> kSmallSampleT975{
    12.706205, 4.302653, 3.182446, 2.776445, 2.570582, 2.446912, 2.364624, 2.306004, 2.262157, 2.228139,
    2.200985,  2.178813, 2.160369, 2.144787, 2.131450, 2.119905, 2.109816, 2.100922, 2.093024, 2.085963,
    2.079614,  2.073873, 2.068658, 2.063899, 2.059539, 2.055529, 2.051831, 2.048407, 2.045230, 2.042272};

constexpr double kNormal975 = 1.959963984540054;

}  // namespace

double StudentT975(std::int64_t degreesOfFreedom)
{
    if (degreesOfFreedom < 1) {
        return std::numeric_limits<double>::infinity();
    }
    if (degreesOfFreedom <= static_cast<std::int64_t>(kSmallSampleT975.size())) {
        return kSmallSampleT975[static_cast<std::size_t>(degreesOfFreedom - 1)];
    }
    // The Cornish-Fisher expansion of t about the normal quantile, to the
    // fourth power of 1/df; at 31 degrees of freedom it is already within
    // 2e-6 and it only improves from there.
    const double z = kNormal975;
    const double z2 = z * z;
    const double z3 = z2 * z;
    const double z5 = z3 * z2;
    const double z7 = z5 * z2;
    const double z9 = z7 * z2;
    const double g1 = (z3 + z) / 4.0;
    const double g2 = (5.0 * z5 + 16.0 * z3 + 3.0 * z) / 96.0;
    const double g3 = (3.0 * z7 + 19.0 * z5 + 17.0 * z3 - 15.0 * z) / 384.0;
    const double g4 = (79.0 * z9 + 776.0 * z7 + 1482.0 * z5 - 1920.0 * z3 - 945.0 * z) / 92160.0;
    const double v = 1.0 / static_cast<double>(degreesOfFreedom);
    return z + v * (g1 + v * (g2 + v * (g3 + v * g4)));
}

namespace {

struct RatioEstimate {
    double ratio = 0.0;
    double standardError = 0.0;
    double factor = 0.0;  // Student's t for the number of pairs
    // Every numerator and denominator is 0 or more: a count, a time. The
    // ratio of such sums cannot be negative, whatever the spread says.
    bool nonNegative = false;
};

// numerator(k) and denominator(k) give pair k of n; reading them through
// functions lets the caller keep its pairs where they are, with nothing
// copied or allocated.
template <typename Numerator, typename Denominator>
std::optional<RatioEstimate> EstimateRatio(std::size_t n, Numerator numerator, Denominator denominator)
{
    if (n < 2) {
        return std::nullopt;
    }
    double numerators = 0.0;
    double denominators = 0.0;
    bool nonNegative = true;
    for (std::size_t k = 0; k < n; ++k) {
        if (!std::isfinite(numerator(k)) || !std::isfinite(denominator(k))) {
            return std::nullopt;
        }
        numerators += numerator(k);
        denominators += denominator(k);
        nonNegative = nonNegative && numerator(k) >= 0.0 && denominator(k) >= 0.0;
    }
    if (!(denominators > 0.0)) {
        return std::nullopt;
    }
    const double ratio = numerators / denominators;
    double squares = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const double residual = numerator(k) - ratio * denominator(k);
        squares += residual * residual;
    }
    const auto count = static_cast<double>(n);
    const double standardError = std::sqrt(squares / (count - 1.0) / count) / (denominators / count);
    return RatioEstimate{ratio, standardError, StudentT975(static_cast<std::int64_t>(n) - 1), nonNegative};
}

std::optional<ConfidenceInterval> RatioInterval(const std::optional<RatioEstimate>& e)
{
    if (!e) {
        return std::nullopt;
    }
    // A wide spread around a small mean (few batches, a heavy tail) would
    // reach below 0; the interval is cut there, and its upper end kept.
    const double half = e->factor * e->standardError;
    const double low = e->ratio - half;
    return ConfidenceInterval{e->nonNegative ? std::max(low, 0.0) : low, e->ratio + half};
}

// A share of events, such as packets lost per packet sourced, is taken on
// the log-odds scale: the interval stays between 0 and 1 and, for a rare
// event, reaches further up than down, as the estimate itself scatters; a
// symmetric interval around a handful of losses per batch holds the true
// share markedly less often than it claims. Empty, besides, until the share
// is strictly between 0 and 1: a run that never lost a packet cannot say how
// rarely it loses one.
std::optional<ConfidenceInterval> ShareInterval(const std::optional<RatioEstimate>& e)
{
    if (!e || !(e->ratio > 0.0 && e->ratio < 1.0)) {
        return std::nullopt;
    }
    // The same spread on the log-odds scale, by the delta method.
    const double p = e->ratio;
    const double centre = std::log(p / (1.0 - p));
    const double half = e->factor * e->standardError / (p * (1.0 - p));
    auto share = [](double logOdds) { return 1.0 / (1.0 + std::exp(-logOdds)); };
    return ConfidenceInterval{share(centre - half), share(centre + half)};
}

std::optional<RatioEstimate> EstimateRatio(std::span<const double> numerators, std::span<const double> denominators)
{
    if (denominators.size() != numerators.size()) {
        return std::nullopt;
    }
    return EstimateRatio(
        numerators.size(), [numerators](std::size_t k) { return numerators[k]; },
        [denominators](std::size_t k) { return denominators[k]; });
}

}  // namespace

std::optional<ConfidenceInterval> RatioInterval95(std::span<const double> numerators,
                                                  std::span<const double> denominators)
{
    return RatioInterval(EstimateRatio(numerators, denominators));
}

int ServersBusy(const Simulation& sim) { return std::min<int>(sim.QueueDepth, sim.NumServers); }

void RunTotals::addTick(const Simulation& sim)
{
    ++ticks;
    elapsedMs += sim.tickInterval();
    depthTicks += sim.QueueDepth;
    busyTicks += ServersBusy(sim);
    for (int k = 0; k < sim.servedInTickCount; ++k) {
        ++served;
        timeInSystemMs += std::max(sim.servedInTick[k], 0);
        waitMs += std::max(sim.servedWaitInTick[k], 0);
    }
}

bool EnoughData(const RunTotals& stretch)
{
    return stretch.served >= kMinimumServedPerEstimate && stretch.sourced > 0 && stretch.ticks > 0;
}

namespace {

bool EveryOneHasEnoughData(std::span<const RunTotals> stretches)
{
    return std::all_of(stretches.begin(), stretches.end(), EnoughData);
}

// Reads one total of each stretch as a double, scaled.
auto Field(std::span<const RunTotals> stretches, std::int64_t RunTotals::*member, double scale = 1.0)
{
    return [stretches, member, scale](std::size_t k) { return static_cast<double>(stretches[k].*member) * scale; };
}

std::optional<ConfidenceInterval> TimeInSystemInterval(std::span<const RunTotals> stretches)
{
    return RatioInterval(EstimateRatio(stretches.size(), Field(stretches, &RunTotals::timeInSystemMs, 1.0 / 1000.0),
                                       Field(stretches, &RunTotals::served)));
}

}  // namespace

MeasureIntervals IntervalsFrom(std::span<const RunTotals> stretches, int servers)
{
    if (!EveryOneHasEnoughData(stretches)) {
        return {};
    }
    const std::size_t n = stretches.size();
    const auto ticks = Field(stretches, &RunTotals::ticks);
    // Packets holding places but not in service, over the ticks.
    const auto waitingTicks = [stretches](std::size_t k) {
        return static_cast<double>(stretches[k].depthTicks - stretches[k].busyTicks);
    };
    return {
        .loss =
            ShareInterval(EstimateRatio(n, Field(stretches, &RunTotals::lost), Field(stretches, &RunTotals::sourced))),
        .meanTimeInSystem = TimeInSystemInterval(stretches),
        .meanWaitBeforeService = RatioInterval(
            EstimateRatio(n, Field(stretches, &RunTotals::waitMs, 1.0 / 1000.0), Field(stretches, &RunTotals::served))),
        .meanInSystem = RatioInterval(EstimateRatio(n, Field(stretches, &RunTotals::depthTicks), ticks)),
        .meanWaiting = RatioInterval(EstimateRatio(n, waitingTicks, ticks)),
        .throughput = RatioInterval(EstimateRatio(n, Field(stretches, &RunTotals::served),
                                                  Field(stretches, &RunTotals::elapsedMs, 1.0 / 1000.0))),
        .utilisation = RatioInterval(EstimateRatio(n, Field(stretches, &RunTotals::busyTicks),
                                                   Field(stretches, &RunTotals::ticks, static_cast<double>(servers)))),
    };
}

std::optional<ConfidenceInterval> TimeInSystemIntervalFrom(std::span<const RunTotals> stretches)
{
    if (!EveryOneHasEnoughData(stretches)) {
        return std::nullopt;
    }
    return TimeInSystemInterval(stretches);
}

}  // namespace waitline
