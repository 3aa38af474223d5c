#include "engine/intervals.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/number_text.h"

namespace waitline {

namespace {

constexpr double kLongMax = std::numeric_limits<std::int32_t>::max();
constexpr double kLongMin = std::numeric_limits<std::int32_t>::min();

double Draw(RandomSource& random) { return static_cast<double>(random.nextSingle()); }

double ExponentialDraw(double m, RandomSource& random)
{
    double u = 0.0;
    while (!(u > 0.000001)) {
        u = Draw(random);
    }
    return -std::log(1.0 - u) * m;
}

double ParetoDraw(double m, double xm, RandomSource& random)
{
    // A draw of exactly 0 has no finite interval when m > xm; draw again.
    double u = 0.0;
    while (!(u > 0.0)) {
        u = Draw(random);
    }
    if (m == xm) {
        return xm;  // the limit of the formula as the shape grows without bound
    }
    const double alpha = m / (m - xm);
    return xm / std::pow(u, 1.0 / alpha);
}

std::int32_t ToLong(double x)
{
    if (std::isnan(x)) {
        return 0;
    }
    // Not a NaN here, so the bounds need no fmin and fmax.
    const double bounded = x < kLongMin ? kLongMin : (x > kLongMax ? kLongMax : x);
    const double whole = RoundHalfEven(bounded);
    return static_cast<std::int32_t>(whole);
}

}  // namespace

std::int32_t NextInterval(std::string_view distribution, double rate, RandomSource& random)
{
    // Compared name by name, most common first: a draw comes with nearly every
    // arrival and service, and each comparison with a name of known length
    // costs a few instructions.
    const double m = 1000.0 / rate;
    double x = 0.0;
    if (distribution == DistributionName(Distribution::Exponential)) {
        x = ExponentialDraw(m, random);
    } else if (distribution == DistributionName(Distribution::Regular)) {
        x = m;
    } else if (distribution == DistributionName(Distribution::Uniform)) {
        x = (Draw(random) * m) * 2.0;
    } else if (const std::optional<double> least = ParetoLeastMs(distribution)) {
        x = ParetoDraw(m, *least, random);
    } else {
        return 0;
    }
    return ToLong(x);
}

std::optional<double> ParetoLeastMs(std::string_view distribution)
{
    if (distribution == DistributionName(Distribution::Pareto01)) {
        return 100.0;
    }
    if (distribution == DistributionName(Distribution::Pareto02)) {
        return 200.0;
    }
    if (distribution == DistributionName(Distribution::Pareto05)) {
        return 500.0;
    }
    return std::nullopt;
}

std::optional<double> ParetoShape(std::string_view distribution, double rate)
{
    const std::optional<double> least = ParetoLeastMs(distribution);
    const double mean = 1000.0 / rate;
    if (!least || !(mean > *least)) {
        return std::nullopt;
    }
    return mean / (mean - *least);
}

double RateReader::read(std::string_view text)
{
    if (text.size() == lastTextSize_ && std::equal(text.begin(), text.end(), lastText_.begin())) {
        return lastGood_;
    }
    const std::optional<double> rate = StrictNumber(text);
    if (rate && *rate > 0.0 && 1000.0 / *rate <= kLongMax) {
        lastGood_ = *rate;
    }
    lastTextSize_ = kNoText;
    if (text.size() <= lastText_.size()) {
        std::copy(text.begin(), text.end(), lastText_.begin());
        lastTextSize_ = text.size();
    }
    return lastGood_;
}

}  // namespace waitline
