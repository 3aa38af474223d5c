#include "statistics/queue_theory.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "engine/intervals.h"

namespace waitline {

namespace {

// Each probability is a product of up to K ratios, so near one packet per
// server the sums feel the last bit of the load about K times over: in plain
// doubles 100,000 places cost some four digits. A double-double carries about
// 32, which leaves every rounding far below the last digit of the double that
// is handed out. Every value here is positive, which keeps the simple forms
// of the operations accurate.
struct Wide {
    double hi = 0.0;
    double lo = 0.0;
};

Wide QuickTwoSum(double big, double small)
{
    const double sum = big + small;
    return {sum, small - (sum - big)};
}

Wide TwoSum(double x, double y)
{
    const double sum = x + y;
    const double yPart = sum - x;
    return {sum, (x - (sum - yPart)) + (y - yPart)};
}

Wide Add(Wide x, Wide y)
{
    const Wide sum = TwoSum(x.hi, y.hi);
    return QuickTwoSum(sum.hi, sum.lo + (x.lo + y.lo));
}

Wide Multiply(Wide x, Wide y)
{
    const double product = x.hi * y.hi;
    const double error = std::fma(x.hi, y.hi, -product);
    return QuickTwoSum(product, error + (x.hi * y.lo + x.lo * y.hi));
}

Wide Divide(Wide x, Wide y)
{
    const double first = x.hi / y.hi;
    const Wide back = Multiply(y, Wide{first, 0.0});
    // x - first * y cancels almost completely; TwoSum keeps what is left.
    const Wide rest = TwoSum(x.hi, -back.hi);
    const double remainder = rest.hi + ((rest.lo - back.lo) + x.lo);
    return QuickTwoSum(first, remainder / y.hi);
}

Wide ScaleBy(Wide x, double powerOfTwo) { return {x.hi * powerOfTwo, x.lo * powerOfTwo}; }

// Loads up to 1e6 raised to 100,000 powers leave any floating range, and
// the share of a place that is almost never reached must not underflow while
// it can still be told apart from zero. So each number keeps its own binary
// exponent in blocks of 2^512, and its double-double part stays within
// 2^-256 to 2^256: a product or quotient of two such parts, or a part times a
// place count, is then still far inside the double range, lower half
// included.
constexpr double kTop = 0x1p256;
constexpr double kBottom = 0x1p-256;
constexpr double kShrink = 0x1p-512;
constexpr double kGrow = 0x1p512;
constexpr int kBlockBits = 512;

struct Scaled {
    Wide part;
    std::int64_t block = 0;  // the value is part * 2^(kBlockBits * block)
};

Scaled Normalised(Wide part, std::int64_t block)
{
    while (part.hi >= kTop) {
        part = ScaleBy(part, kShrink);
        ++block;
    }
    while (part.hi != 0.0 && part.hi < kBottom) {
        part = ScaleBy(part, kGrow);
        --block;
    }
    return {part, block};
}

Scaled FromDouble(double value) { return Normalised({value, 0.0}, 0); }

Scaled Times(const Scaled& x, const Scaled& y) { return Normalised(Multiply(x.part, y.part), x.block + y.block); }

Scaled Times(const Scaled& x, double factor) { return Normalised(Multiply(x.part, {factor, 0.0}), x.block); }

Scaled Over(const Scaled& x, const Scaled& y) { return Normalised(Divide(x.part, y.part), x.block - y.block); }

Scaled Plus(Scaled x, Scaled y)
{
    if (y.part.hi == 0.0) {
        return x;
    }
    if (x.part.hi == 0.0) {
        return y;
    }
    if (x.block < y.block) {
        std::swap(x, y);
    }
    // Two blocks apart the smaller is below 2^-512 of the larger: nothing.
    if (x.block - y.block >= 2) {
        return x;
    }
    const Wide smaller = x.block == y.block ? y.part : ScaleBy(y.part, kShrink);
    return Normalised(Add(x.part, smaller), x.block);
}

double ToDouble(const Scaled& x)
{
    if (x.part.hi == 0.0) {
        return 0.0;
    }
    // Past 2^±1100 every part gives 0 or infinity anyway; the clamp only
    // keeps the exponent inside an int.
    const std::int64_t exponent = std::clamp<std::int64_t>(x.block * kBlockBits, -4096, 4096);
    return std::ldexp(x.part.hi + x.part.lo, static_cast<int>(exponent));
}

bool IsRate(double rate) { return std::isfinite(rate) && rate > 0.0; }

// The spread of the time in the system under first come, first served. A
// packet admitted when n packets hold places (n < K) is served at once when a
// server is free (n < c): one exponential service. Otherwise it waits for
// n - c + 1 departures, each after an exponential time of rate c mu, and
// then is served. Its variance is the mean of the variances given n plus the
// variance of the means given n: two sums of positive terms, so nothing
// cancels.
template <typename NextWeight>
double SdTimeInSystem(const QueueSettings& settings, double meanTime, const Scaled& admitting,
                      const NextWeight& nextWeight)
{
    const double service = 1.0 / settings.serviceRate;
    const double departure = service / settings.servers;  // while every server is busy
    Scaled spread;
    Scaled weight = FromDouble(1.0);
    for (std::int32_t n = 0; n < settings.places; ++n) {
        const double departures = n < settings.servers ? 0.0 : static_cast<double>(n - settings.servers + 1);
        const double mean = departures * departure + service;
        const double variance = departures * departure * departure + service * service;
        const double offset = mean - meanTime;
        spread = Plus(spread, Times(weight, variance + offset * offset));
        weight = nextWeight(weight, n + 1);
    }
    return std::sqrt(ToDouble(Over(spread, admitting)));
}

}  // namespace

std::optional<QueueTheory> MarkovianTheory(const QueueSettings& settings)
{
    const std::int32_t servers = settings.servers;
    const std::int32_t places = settings.places;
    if (!IsRate(settings.arrivalRate) || !IsRate(settings.serviceRate) || servers < 1 || places < servers) {
        return std::nullopt;
    }
    const Scaled arrivalRate = FromDouble(settings.arrivalRate);
    const Scaled load = Over(arrivalRate, FromDouble(settings.serviceRate));
    const Scaled loadPerServer = Over(load, FromDouble(servers));
    // The weight of n packets from that of n - 1.
    auto nextWeight = [&](const Scaled& weight, std::int32_t n) {
        return Times(weight, n <= servers ? Over(load, FromDouble(n)) : loadPerServer);
    };

    // Weights proportional to the probabilities of n packets, q(0) = 1 and
    // q(n) = q(n-1) * load / min(n, servers). Summed as they come: those of
    // the states that admit an arrival, the busy servers they keep (min(n, c)
    // per state) and the packets they keep waiting (n - c). The number
    // holding places is the busy plus the waiting, two positive sums, and
    // 1 - loss is the admitting share; neither is ever a difference, so
    // nothing cancels when the queue is nearly empty or nearly always full.
    Scaled weight = FromDouble(1.0);
    Scaled admitting;
    Scaled busy;
    Scaled waiting;
    for (std::int32_t n = 0;; ++n) {
        if (n > 0) {
            busy = Plus(busy, Times(weight, static_cast<double>(std::min(n, servers))));
        }
        if (n > servers) {
            waiting = Plus(waiting, Times(weight, static_cast<double>(n - servers)));
        }
        if (n == places) {
            break;
        }
        admitting = Plus(admitting, weight);
        weight = nextWeight(weight, n + 1);
    }

    const Scaled total = Plus(admitting, weight);
    const Scaled holding = Plus(busy, waiting);
    const Scaled admitted = Times(arrivalRate, admitting);  // throughput times total

    QueueTheory theory;
    theory.lossProbability = ToDouble(Over(weight, total));
    theory.throughput = ToDouble(Over(admitted, total));
    // Packets leave as fast as they are admitted, so the throughput over
    // c * mu is the mean number of busy servers over c.
    theory.utilisation = ToDouble(Over(busy, Times(total, static_cast<double>(servers))));
    theory.meanInSystem = ToDouble(Over(holding, total));
    theory.meanWaiting = ToDouble(Over(waiting, total));
    // Little's law; total cancels, which keeps both times finite and exact
    // where the throughput alone would underflow.
    theory.meanTimeInSystem = ToDouble(Over(holding, admitted));
    theory.meanTimeBeforeService = ToDouble(Over(waiting, admitted));
    theory.sdTimeInSystem = SdTimeInSystem(settings, theory.meanTimeInSystem, admitting, nextWeight);
    return theory;
}

namespace {

// The logarithm of the Poisson probability e^-x x^j / j!, which neither
// underflows nor overflows however large j and x.
double LogPoisson(int j, double x) { return -x + j * std::log(x) - std::lgamma(j + 1.0); }

// The chance that k exponential times of rate 1 add up to at most x: the sum
// of the Poisson probabilities from k up where x is at most k, one minus
// those below k where it is larger. Either way the terms are summed from the
// largest down, each from its neighbour, relative to the largest, so that
// nothing cancels, underflows or overflows.
double ErlangShareWithin(int k, double x)
{
    if (x <= 0.0) {
        return 0.0;
    }
    const bool tail = x <= k;
    const int first = tail ? k : k - 1;  // the largest term of the sum
    const double logFirst = LogPoisson(first, x);
    double sum = 0.0;
    double term = 1.0;  // relative to the first
    if (tail) {
        for (int j = first; term > 1e-17 * sum; ++j) {
            sum += term;
            term *= x / (j + 1);
        }
    } else {
        for (int j = first; j >= 0 && term > 1e-17 * sum; --j) {
            sum += term;
            term *= j / x;
        }
    }
    const double part = std::exp(logFirst + std::log(sum));
    return std::clamp(tail ? part : 1.0 - part, 0.0, 1.0);
}

}  // namespace

double TimeInSystemShareWithin(const QueueSettings& settings, double t)
{
    const std::int32_t c = settings.servers;
    const std::int32_t places = settings.places;
    if (!IsRate(settings.arrivalRate) || !IsRate(settings.serviceRate) || c < 1 || places < c || !(t > 0.0)) {
        return 0.0;
    }
    const double mu = settings.serviceRate;
    const double departures = c * mu;
    // The states an admitted packet finds, by their logarithms, so that no
    // weight overflows.
    std::vector<double> logWeight(static_cast<std::size_t>(places));
    double logQ = 0.0;
    for (std::int32_t n = 0; n < places; ++n) {
        logWeight[static_cast<std::size_t>(n)] = logQ;
        logQ += std::log(settings.arrivalRate / (mu * std::min(n + 1, c)));
    }
    const double top = *std::max_element(logWeight.begin(), logWeight.end());
    double total = 0.0;
    double within = 0.0;
    for (std::int32_t n = 0; n < places; ++n) {
        const double weight = std::exp(logWeight[static_cast<std::size_t>(n)] - top);
        total += weight;
        const std::int32_t ahead = n - c + 1;  // departures to wait for
        double share = 0.0;
        if (ahead <= 0) {
            share = 1.0 - std::exp(-mu * t);
        } else if (c == 1) {
            share = ErlangShareWithin(ahead + 1, mu * t);
        } else {
            // An Erlang wait of rate c mu, then an exponential service of rate mu.
            const double gap = departures - mu;
            // (c mu / gap)^k e^(-mu t) P(k, gap t), by its logarithm: each
            // factor alone may leave the range of a double.
            const double slower = ErlangShareWithin(ahead, gap * t);
            const double correction =
                slower > 0.0 ? std::exp(ahead * std::log(departures / gap) - mu * t + std::log(slower)) : 0.0;
            share = ErlangShareWithin(ahead, departures * t) - correction;
        }
        within += weight * std::clamp(share, 0.0, 1.0);
    }
    return within / total;
}

std::string KendallNotation(std::string_view arrival, std::string_view service, std::int32_t servers,
                            std::int32_t places)
{
    auto letter = [](std::string_view distribution) {
        const std::optional<Distribution> named = DistributionNamed(distribution);
        if (named == Distribution::Exponential) {
            return "M";
        }
        return named == Distribution::Regular ? "D" : "G";
    };
    return std::string(letter(arrival)) + "/" + letter(service) + "/" + std::to_string(servers) + "/" +
           std::to_string(places);
}

TheoryAnswer ExactTheory(std::string_view arrivalDistribution, std::string_view serviceDistribution,
                         const QueueSettings& settings)
{
    if (DistributionNamed(arrivalDistribution) != Distribution::Exponential ||
        DistributionNamed(serviceDistribution) != Distribution::Exponential) {
        return {std::nullopt, kNeedsExponential};
    }
    std::optional<QueueTheory> theory = MarkovianTheory(settings);
    if (!theory) {
        return {std::nullopt, kSettingsOutOfRange};
    }
    return {theory, {}};
}

}  // namespace waitline
