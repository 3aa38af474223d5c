#include "statistics/queue_theory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/intervals.h"

namespace waitline {
namespace {

// GCC's and clang's quadruple precision: 113 bits and exponents to 2^16383,
// enough to sum 100,000 probabilities directly with no care at all.
using Quad = __float128;

QueueSettings Settings(double load, double serviceRate, std::int32_t servers, std::int32_t places)
{
    return {load * serviceRate, serviceRate, servers, places};
}

QueueTheory Solve(const QueueSettings& settings)
{
    const std::optional<QueueTheory> theory = MarkovianTheory(settings);
    EXPECT_TRUE(theory.has_value());
    return theory.value_or(QueueTheory{});
}

double RelativeError(double got, long double want)
{
    return static_cast<double>(std::fabs((static_cast<long double>(got) - want) / want));
}

// Erlang's loss formula by its recursion, in long double.
long double ErlangB(int servers, long double load)
{
    long double blocking = 1.0L;
    for (int n = 1; n <= servers; ++n) {
        blocking = load * blocking / (n + load * blocking);
    }
    return blocking;
}

struct ErlangCase {
    std::int32_t servers;
    double load;
};

void PrintTo(const ErlangCase& c, std::ostream* out) { *out << c.servers << " servers, load " << c.load; }

class ErlangLossTest : public ::testing::TestWithParam<ErlangCase> {};

// With no place to wait, every admitted packet is served at once.
TEST_P(ErlangLossTest, NoWaitingRoomGivesErlangB)
{
    const auto [servers, load] = GetParam();
    constexpr double kServiceRate = 2.0;  // a power of two keeps the load exact
    const QueueTheory theory = Solve(Settings(load, kServiceRate, servers, servers));
    const long double blocking = ErlangB(servers, load);
    EXPECT_LE(RelativeError(theory.lossProbability, blocking), 1e-12);
    EXPECT_LE(RelativeError(theory.meanInSystem, load * (1.0L - blocking)), 1e-12);
    EXPECT_LE(RelativeError(theory.meanTimeInSystem, 1.0L / kServiceRate), 1e-14);
    EXPECT_EQ(theory.meanWaiting, 0.0);
    EXPECT_EQ(theory.meanTimeBeforeService, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Loads, ErlangLossTest,
                         ::testing::Values(ErlangCase{1, 1.0}, ErlangCase{2, 1.0}, ErlangCase{5, 3.0},
                                           ErlangCase{10, 5.0}, ErlangCase{3, 1e-6}, ErlangCase{100, 80.0},
                                           ErlangCase{1000, 950.5}, ErlangCase{1000, 1e6}));

TEST(ErlangLossTableTest, MatchesPublishedValuesToTheirPrecision)
{
    struct Row {
        std::int32_t servers;
        double load;
        double blocking;
        double tolerance;
    };
    // Loss at a given load, to the digits printed.
    const std::vector<Row> lossAtLoad{
        {1, 1.0, 0.5, 0.0}, {2, 1.0, 0.2, 0.0}, {5, 3.0, 0.1101, 5e-5}, {10, 5.0, 0.01838, 5e-6}};
    // The load carried at a given grade of service, printed to hundredths of
    // an erlang; the rounding moves the loss by well under 1 % of itself.
    const std::vector<Row> loadAtLoss{{5, 1.36, 0.01, 1e-4},   {10, 3.09, 0.001, 1e-5}, {10, 4.46, 0.01, 1e-4},
                                      {10, 5.08, 0.02, 2e-4},  {20, 12.03, 0.01, 1e-4}, {50, 37.90, 0.01, 1e-4},
                                      {100, 84.06, 0.01, 1e-4}};
    for (const std::vector<Row>* table : {&lossAtLoad, &loadAtLoss}) {
        for (const Row& row : *table) {
            SCOPED_TRACE(::testing::Message() << row.servers << " servers, load " << row.load);
            const QueueTheory theory = Solve(Settings(row.load, 1.0, row.servers, row.servers));
            EXPECT_NEAR(theory.lossProbability, row.blocking, std::max(row.tolerance, 1e-15));
        }
    }
}

// One server: the geometric distribution cut at K places.
class SingleServerTest : public ::testing::TestWithParam<std::tuple<double, std::int32_t>> {};

TEST_P(SingleServerTest, MatchesTheClosedForm)
{
    const auto [rho, places] = GetParam();
    constexpr double kServiceRate = 3.0;
    const QueueSettings settings{rho * kServiceRate, kServiceRate, 1, places};
    const QueueTheory theory = Solve(settings);

    // The load exactly as the code under test sees it.
    const long double r = static_cast<long double>(settings.arrivalRate) / kServiceRate;
    long double empty = 0.0L;
    long double full = 0.0L;
    long double holding = 0.0L;
    if (r == 1.0L) {
        empty = 1.0L / (places + 1);
        full = empty;
        holding = places / 2.0L;
    } else {
        const long double rK = std::pow(r, static_cast<long double>(places));
        const long double rK1 = rK * r;
        empty = (1.0L - r) / (1.0L - rK1);
        full = empty * rK;
        holding = r / (1.0L - r) - (places + 1) * rK1 / (1.0L - rK1);
    }
    const long double waiting = holding - (1.0L - empty);
    const long double throughput = settings.arrivalRate * (1.0L - full);

    EXPECT_LE(RelativeError(theory.lossProbability, full), 1e-13);
    EXPECT_LE(RelativeError(theory.throughput, throughput), 1e-13);
    EXPECT_LE(RelativeError(theory.utilisation, throughput / kServiceRate), 1e-13);
    EXPECT_LE(RelativeError(theory.meanInSystem, holding), 1e-13);
    EXPECT_LE(RelativeError(theory.meanWaiting, waiting), 1e-13);
    EXPECT_LE(RelativeError(theory.meanTimeInSystem, holding / throughput), 1e-13);
    EXPECT_LE(RelativeError(theory.meanTimeBeforeService, waiting / throughput), 1e-13);
}

INSTANTIATE_TEST_SUITE_P(LoadsAndPlaces, SingleServerTest,
                         ::testing::Combine(::testing::Values(0.25, 0.9, 1.0, 1.5, 3.0), ::testing::Values(2, 10, 50)));

// With room for 100,000 and a load below the servers' capacity, nothing is
// lost and the wait is Erlang's delay formula.
class ErlangDelayTest : public ::testing::TestWithParam<ErlangCase> {};

TEST_P(ErlangDelayTest, ManyPlacesGiveErlangC)
{
    const auto [servers, load] = GetParam();
    constexpr double kServiceRate = 0.5;
    const QueueTheory theory = Solve(Settings(load, kServiceRate, servers, 100000));
    const long double blocking = ErlangB(servers, load);
    const long double delayed = servers * blocking / (servers - load * (1.0L - blocking));
    const long double capacity = static_cast<long double>(servers) * kServiceRate;
    const long double arrivalRate = static_cast<long double>(load) * kServiceRate;
    EXPECT_LE(RelativeError(theory.meanTimeBeforeService, delayed / (capacity - arrivalRate)), 1e-12);
    EXPECT_LE(RelativeError(theory.meanWaiting, delayed * load / (servers - load)), 1e-12);
    EXPECT_GE(theory.lossProbability, 0.0);
    EXPECT_LT(theory.lossProbability, 1e-300);
}

INSTANTIATE_TEST_SUITE_P(Loads, ErlangDelayTest,
                         ::testing::Values(ErlangCase{1, 0.5}, ErlangCase{5, 3.0}, ErlangCase{10, 9.5},
                                           ErlangCase{1000, 950.0}));

// The seven values by the definition: every probability summed one by one
// in quadruple precision, rescaled only when the terms outgrow the range.
std::array<Quad, 7> DirectSum(const QueueSettings& settings)
{
    const Quad arrivalRate = settings.arrivalRate;
    const Quad serviceRate = settings.serviceRate;
    const std::int32_t servers = settings.servers;
    const Quad load = arrivalRate / serviceRate;
    const Quad perServer = load / servers;
    Quad huge = 1;
    Quad tiny = 1;
    for (int i = 0; i < 12; ++i) {
        huge *= 0x1p1000;
        tiny *= 0x1p-1000;
    }
    Quad term = 1;
    Quad total = 0;
    Quad holding = 0;
    Quad waiting = 0;
    for (std::int32_t n = 0; n <= settings.places; ++n) {
        if (n > 0) {
            term *= n <= servers ? load / n : perServer;
        }
        if (term > huge) {
            term *= tiny;
            total *= tiny;
            holding *= tiny;
            waiting *= tiny;
        }
        total += term;
        holding += n * term;
        if (n > servers) {
            waiting += (n - servers) * term;
        }
    }
    const Quad loss = term / total;
    const Quad throughput = arrivalRate * (total - term) / total;
    const Quad inSystem = holding / total;
    const Quad inQueue = waiting / total;
    return {loss,
            throughput,
            throughput / (servers * serviceRate),
            inSystem,
            inQueue,
            inSystem / throughput,
            inQueue / throughput};
}

constexpr std::array<double QueueTheory::*, 7> kOutputs{
    &QueueTheory::lossProbability,      &QueueTheory::throughput,  &QueueTheory::utilisation,
    &QueueTheory::meanInSystem,         &QueueTheory::meanWaiting, &QueueTheory::meanTimeInSystem,
    &QueueTheory::meanTimeBeforeService};
constexpr std::array<std::string_view, 7> kOutputNames{"loss", "throughput", "utilisation", "L", "Lq", "W", "Wq"};

class ExtremeSettingsTest : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(ExtremeSettingsTest, AgreesWithQuadruplePrecisionToTwelveDigits)
{
    const std::int32_t servers = GetParam();
    const double c = servers;
    // A power of two, so that load * rate is exact and a load of exactly c
    // puts the servers exactly at capacity.
    constexpr double kServiceRate = 0.5;
    double worst = 0.0;
    for (const std::int32_t places : {servers, servers + 1, 10 * servers, 100000}) {
        for (const double load : {1e-6, 0.5, 1.0, c, c * (1.0 - 1e-7), c * (1.0 + 1e-7), 3.7 * c, 1e6}) {
            SCOPED_TRACE(::testing::Message() << "places " << places << ", load " << load);
            const QueueSettings settings = Settings(load, kServiceRate, servers, places);
            const QueueTheory theory = Solve(settings);
            const std::array<Quad, 7> want = DirectSum(settings);
            for (std::size_t i = 0; i < kOutputs.size(); ++i) {
                SCOPED_TRACE(kOutputNames[i]);
                const double got = theory.*kOutputs[i];
                ASSERT_TRUE(std::isfinite(got));
                const Quad difference = static_cast<Quad>(got) - want[i];
                const Quad distance = difference < 0 ? -difference : difference;
                if (std::fabs(static_cast<double>(want[i])) >= std::numeric_limits<double>::min()) {
                    const auto relative = static_cast<double>(distance / want[i]);
                    EXPECT_LE(relative, 1e-12);
                    worst = std::max(worst, relative);
                } else {
                    // Below the normal doubles only the nearest subnormal can be asked for.
                    EXPECT_LE(static_cast<double>(distance), std::numeric_limits<double>::denorm_min());
                }
            }
        }
    }
    RecordProperty("largest_relative_error", ::testing::PrintToString(worst));
}

INSTANTIATE_TEST_SUITE_P(Servers, ExtremeSettingsTest, ::testing::Values(1, 7, 1000));

// Balance laws that hold for any correct solution; every queue the window
// can set up, at slow, even and overloaded rates.
TEST(QueueTheoryLawsTest, HoldForEveryQueueTheWindowCanShow)
{
    for (std::int32_t servers = 1; servers <= 5; ++servers) {
        for (std::int32_t places = servers; places <= 10; ++places) {
            for (const double arrivalRate : {0.1, 1.0, 3.3, 20.0}) {
                for (const double serviceRate : {0.1, 1.0, 3.3, 20.0}) {
                    SCOPED_TRACE(::testing::Message() << servers << " servers, " << places << " places, rates "
                                                      << arrivalRate << " and " << serviceRate);
                    const QueueTheory t = Solve({arrivalRate, serviceRate, servers, places});
                    EXPECT_GE(t.lossProbability, 0.0);
                    EXPECT_LE(t.lossProbability, 1.0);
                    EXPECT_GT(t.utilisation, 0.0);
                    EXPECT_LE(t.utilisation, 1.0);
                    // Everyone holding a place is waiting or keeping a server busy.
                    EXPECT_NEAR(t.meanInSystem, t.meanWaiting + t.throughput / serviceRate, 1e-14 * t.meanInSystem);
                    // A packet's time is its wait plus one mean service.
                    EXPECT_NEAR(t.meanTimeInSystem, t.meanTimeBeforeService + 1.0 / serviceRate,
                                1e-14 * t.meanTimeInSystem);
                    // What is admitted is what the servers get through.
                    EXPECT_NEAR(t.throughput, arrivalRate * (1.0 - t.lossProbability), 1e-14 * arrivalRate);
                    EXPECT_NEAR(t.throughput, t.utilisation * servers * serviceRate, 1e-14 * t.throughput);
                }
            }
        }
    }
}

// The time in the system by its density, integrated numerically: the
// mixture, over the states an admitted packet finds, of an exponential
// service (a server free) or an Erlang wait for the departures ahead of it
// followed by one.
struct TimeMoments {
    long double mean = 0.0L;
    long double sd = 0.0L;
};

// The probabilities that a sum of k exponential times of rate 1 is at most
// x, for k = 1 to `most`: the largest by its series, the others down from it
// by adding one Poisson term at a time, so that nothing cancels.
// Both lists hold at least most + 1 entries; `cdf` gets the answers.
void ErlangCdfs(int most, long double x, std::vector<long double>& cdf, std::vector<long double>& poisson)
{
    std::fill(cdf.begin(), cdf.end(), 0.0L);
    if (x <= 0.0L || most < 1) {
        return;
    }
    // e^-x x^j / j!, from j = 0 up to `most`.
    poisson[0] = std::exp(-x);
    for (int j = 1; j <= most; ++j) {
        poisson[static_cast<std::size_t>(j)] = poisson[static_cast<std::size_t>(j) - 1] * x / j;
    }
    long double tail = 0.0L;
    long double term = poisson[static_cast<std::size_t>(most)];
    for (int j = most; j < most + 20 || term > 1e-24L * tail; ++j) {
        tail += term;
        term *= x / (j + 1);
    }
    cdf[static_cast<std::size_t>(most)] = tail;
    for (int k = most - 1; k >= 1; --k) {
        cdf[static_cast<std::size_t>(k)] = cdf[static_cast<std::size_t>(k) + 1] + poisson[static_cast<std::size_t>(k)];
    }
}

TimeMoments MixtureMoments(const QueueSettings& s)
{
    const long double mu = s.serviceRate;
    const long double lambda = s.arrivalRate;
    const int c = s.servers;
    // The chance that an admitted packet finds n packets, n < K.
    std::vector<long double> found(static_cast<std::size_t>(s.places));
    long double weight = 1.0L;
    long double total = 0.0L;
    for (int n = 0; n < s.places; ++n) {
        found[static_cast<std::size_t>(n)] = weight;
        total += weight;
        weight *= lambda / (mu * std::min(n + 1, c));
    }
    const long double departures = c * mu;
    // The most departures a packet that can be found waits for.
    int mostAhead = 0;
    for (int n = c; n < s.places; ++n) {
        if (found[static_cast<std::size_t>(n)] / total > 1e-25L) {
            mostAhead = n - c + 1;
        }
    }
    std::vector<long double> cdf(static_cast<std::size_t>(mostAhead) + 3);
    std::vector<long double> poisson(cdf.size());
    // Each state's chance, times the constant of its density.
    const int states = std::min(s.places, c + mostAhead);
    std::vector<long double> scale(static_cast<std::size_t>(states));
    for (int n = 0; n < states; ++n) {
        const int k = n - c + 1;
        const long double p = found[static_cast<std::size_t>(n)] / total;
        scale[static_cast<std::size_t>(n)] =
            k <= 0 || c == 1 ? p : p * std::pow(departures / (departures - mu), static_cast<long double>(k));
    }
    auto density = [&](long double t) {
        const long double service = mu * std::exp(-mu * t);
        // With one server the wait and the service have the same rate:
        // together an Erlang time of k + 1 phases.
        if (c == 1) {
            ErlangCdfs(mostAhead + 2, mu * t, cdf, poisson);
        } else {
            ErlangCdfs(mostAhead, (departures - mu) * t, cdf, poisson);
        }
        long double f = 0.0L;
        for (int n = 0; n < states; ++n) {
            const long double p = scale[static_cast<std::size_t>(n)];
            const int k = n - c + 1;
            if (k <= 0) {
                f += p * service;
            } else if (c == 1) {
                // The Erlang density of k + 1 phases is mu times the
                // difference of two neighbouring distribution functions.
                f += p * mu * (cdf[static_cast<std::size_t>(k)] - cdf[static_cast<std::size_t>(k) + 1]);
            } else {
                f += p * service * cdf[static_cast<std::size_t>(k)];
            }
        }
        return f;
    };
    // Simpson's rule, sixty steps to the fastest rate's mean time, out to
    // where even k + 1 phases all at the slowest rate have a tail below
    // 1e-25.
    const long double phases = mostAhead + 1.0L;
    const long double longest = (phases + 60.0L + 8.0L * std::sqrt(phases)) / mu;
    const int kSteps = 2 * static_cast<int>(std::ceil(longest * std::max(departures, mu) * 30.0L));
    const long double h = longest / kSteps;
    long double mass = 0.0L;
    long double first = 0.0L;
    long double second = 0.0L;
    for (int i = 0; i <= kSteps; ++i) {
        const long double t = i * h;
        const long double w = (i == 0 || i == kSteps) ? 1.0L : (i % 2 == 1 ? 4.0L : 2.0L);
        const long double f = density(t);
        mass += w * f;
        first += w * t * f;
        second += w * t * t * f;
    }
    EXPECT_NEAR(static_cast<double>(mass * h / 3.0L), 1.0, 1e-7) << "the density integrates to 1";
    const long double mean = first / mass;
    return {mean, std::sqrt(second / mass - mean * mean)};
}

TEST(TimeInSystemSpreadTest, IsTheSpreadOfTheMixtureForEveryQueueTheWindowCanSetUp)
{
    std::vector<QueueSettings> queues;
    for (std::int32_t servers = 1; servers <= 5; ++servers) {
        for (std::int32_t places = servers; places <= 10; ++places) {
            for (const auto& [arrivalRate, serviceRate] :
                 std::vector<std::pair<double, double>>{{1.0, 1.0}, {3.3, 1.0}, {0.1, 20.0}, {20.0, 0.1}}) {
                queues.push_back({arrivalRate, serviceRate, servers, places});
            }
        }
    }
    // Beyond the window: many places near capacity, many servers, rates far apart.
    queues.push_back({0.99, 1.0, 1, 60});
    queues.push_back({6.9, 1.0, 7, 40});
    queues.push_back({1000.0, 0.001, 2, 4});
    double worst = 0.0;
    for (const QueueSettings& q : queues) {
        SCOPED_TRACE(::testing::Message() << q.servers << " servers, " << q.places << " places, rates " << q.arrivalRate
                                          << " and " << q.serviceRate);
        const QueueTheory theory = Solve(q);
        const TimeMoments want = MixtureMoments(q);
        EXPECT_LE(RelativeError(theory.meanTimeInSystem, want.mean), 1e-8);
        const double error = RelativeError(theory.sdTimeInSystem, want.sd);
        EXPECT_LE(error, 1e-7);
        worst = std::max(worst, error);
        // The distribution the histogram's textbook curve comes from has the
        // same mean and spread: E[T] is the integral of 1 - F, E[T^2] twice
        // that of t (1 - F).
        const double longest = (q.places / (q.servers * q.serviceRate) + 1.0 / q.serviceRate) * 40.0;
        constexpr int kSteps = 4000;
        const double h = longest / kSteps;
        double first = 0.0;
        double second = 0.0;
        for (int i = 0; i <= kSteps; ++i) {
            const double t = i * h;
            const double w = (i == 0 || i == kSteps) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
            const double above = 1.0 - TimeInSystemShareWithin(q, t);
            ASSERT_GE(above, -1e-12) << t;
            first += w * above;
            second += w * 2.0 * t * above;
        }
        first *= h / 3.0;
        second *= h / 3.0;
        EXPECT_LE(RelativeError(first, want.mean), 1e-6);
        EXPECT_LE(RelativeError(std::sqrt(second - first * first), want.sd), 1e-5);
    }
    RecordProperty("largest_relative_error", ::testing::PrintToString(worst));
}

// Far beyond the window: hundreds of places, where the state weights, the
// Poisson terms and the factors of the distribution leave the range of a
// double unless kept as logarithms. The distribution still gives the
// theory's mean and spread.
TEST(TimeInSystemShareTest, HoldsForManyPlaces)
{
    for (const QueueSettings& q : {QueueSettings{3.0, 1.0, 2, 1100}, QueueSettings{1.5, 1.0, 1, 900},
                                   QueueSettings{6.0, 1.0, 5, 2000}, QueueSettings{0.5, 1.0, 1, 900}}) {
        SCOPED_TRACE(::testing::Message() << q.servers << " servers, " << q.places << " places");
        const QueueTheory theory = Solve(q);
        const double longest = theory.meanTimeInSystem + 40.0 * theory.sdTimeInSystem;
        constexpr int kSteps = 2000;
        const double h = longest / kSteps;
        double first = 0.0;
        double second = 0.0;
        double previous = 0.0;
        for (int i = 0; i <= kSteps; ++i) {
            const double t = i * h;
            const double within = TimeInSystemShareWithin(q, t);
            ASSERT_TRUE(within >= previous - 1e-12 && within <= 1.0) << t << ": " << within;
            previous = within;
            const double w = (i == 0 || i == kSteps) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0);
            first += w * (1.0 - within);
            second += w * 2.0 * t * (1.0 - within);
        }
        first *= h / 3.0;
        second *= h / 3.0;
        EXPECT_NEAR(first, theory.meanTimeInSystem, 1e-4 * theory.meanTimeInSystem);
        EXPECT_NEAR(std::sqrt(second - first * first), theory.sdTimeInSystem, 1e-3 * theory.sdTimeInSystem);
    }
}

TEST(ExactTheoryTest, OnlyExponentialArrivalsAndServiceHaveAnExactValue)
{
    const QueueSettings settings{2.0, 1.0, 2, 5};
    for (const std::string_view arrivals : kDistributionNames) {
        for (const std::string_view service : kDistributionNames) {
            SCOPED_TRACE(std::string(arrivals) + " / " + std::string(service));
            const TheoryAnswer answer = ExactTheory(arrivals, service, settings);
            const bool exponential = arrivals == "Exponential" && service == "Exponential";
            EXPECT_EQ(answer.theory.has_value(), exponential);
            EXPECT_EQ(answer.reason, exponential ? std::string_view{} : kNeedsExponential);
        }
    }
    for (const std::string_view unknown : {"", "exponential", "Exponential ", "Gamma"}) {
        EXPECT_FALSE(ExactTheory(unknown, "Exponential", settings).theory.has_value());
        EXPECT_FALSE(ExactTheory("Exponential", unknown, settings).theory.has_value());
    }
}

TEST(ExactTheoryTest, SettingsThatDescribeNoQueueHaveNoValue)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const std::vector<QueueSettings> invalid{{0.0, 1.0, 1, 1}, {-1.0, 1.0, 1, 1}, {kInf, 1.0, 1, 1}, {kNaN, 1.0, 1, 1},
                                             {1.0, 0.0, 1, 1}, {1.0, -0.0, 1, 1}, {1.0, kInf, 1, 1}, {1.0, kNaN, 1, 1},
                                             {1.0, 1.0, 0, 1}, {1.0, 1.0, -1, 3}, {1.0, 1.0, 3, 2},  {1.0, 1.0, 1, 0},
                                             {1.0, 1.0, 5, -5}};
    for (const QueueSettings& settings : invalid) {
        SCOPED_TRACE(::testing::Message() << settings.arrivalRate << ", " << settings.serviceRate << ", "
                                          << settings.servers << " servers, " << settings.places << " places");
        EXPECT_FALSE(MarkovianTheory(settings).has_value());
        const TheoryAnswer answer = ExactTheory("Exponential", "Exponential", settings);
        EXPECT_FALSE(answer.theory.has_value());
        EXPECT_EQ(answer.reason, kSettingsOutOfRange);
    }
}

}  // namespace
}  // namespace waitline
