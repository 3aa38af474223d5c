#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/random_source.h"

namespace waitline {

// The six distributions of the times between arrivals and of service times.
enum class Distribution : std::uint8_t { Exponential, Regular, Uniform, Pareto01, Pareto02, Pareto05 };

// The names the boxes list them under, in the order of Distribution.
inline constexpr std::array<std::string_view, 6> kDistributionNames{"Exponential", "Regular",    "Uniform",
                                                                    "Pareto 0.1",  "Pareto 0.2", "Pareto 0.5"};

constexpr std::string_view DistributionName(Distribution d) { return kDistributionNames[static_cast<std::size_t>(d)]; }

// The distribution a box's text names, if it names one.
constexpr std::optional<Distribution> DistributionNamed(std::string_view text)
{
    for (std::size_t k = 0; k < kDistributionNames.size(); ++k) {
        if (kDistributionNames[k] == text) {
            return static_cast<Distribution>(k);
        }
    }
    return std::nullopt;
}

// A random interval in whole milliseconds for one of the six distribution
// names at rate packets per second. Any other text gives 0 and draws nothing.
// The result is bounded to the 32-bit range.
std::int32_t NextInterval(std::string_view distribution, double rate, RandomSource& random);

// The least time, in milliseconds, of a Pareto distribution by its name, or
// none for the other distributions.
std::optional<double> ParetoLeastMs(std::string_view distribution);

// A Pareto distribution's shape at this rate, when the mean 1 / rate lies
// above its least time: mean / (mean - least). At 2 or less its variance is
// infinite. None for the other distributions, and for a mean at or below the
// least time, where the times lie between 0 and the least time instead.
std::optional<double> ParetoShape(std::string_view distribution, double rate);

// Turns the text of a rate box into the rate a draw uses. A text that reads as
// a positive number whose mean interval fits in 32 bits of milliseconds is
// taken and remembered; any other text (empty, "-", "0", a negative number, a
// rate too small to wait for) gives the last rate that was taken, so a user
// in the middle of typing never leaves the source waiting for ever.
class RateReader {
public:
    double read(std::string_view text);
    double lastGood() const { return lastGood_; }

private:
    double lastGood_ = 1.0;
    // The text read last, when it is short: reading it again cannot change
    // the rate, and the source and the servers read the same text for every
    // packet.
    std::array<char, 24> lastText_{};
    static constexpr std::size_t kNoText = static_cast<std::size_t>(-1);
    std::size_t lastTextSize_ = kNoText;
};

}  // namespace waitline
