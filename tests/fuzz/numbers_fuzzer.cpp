// Feeds arbitrary text to the number conversions and checks what they
// promise: finite values, agreement between the strict and the leading
// reading, whole numbers in range, and statistics text without NaN or
// infinity.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/number_text.h"

namespace {

void Require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace waitline;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const double leading = LeadingNumber(text);
    Require(std::isfinite(leading));

    const auto strict = StrictNumber(text);
    if (strict) {
        Require(std::isfinite(*strict));
        Require(leading == *strict);  // a whole-text number is also its own leading number
    }

    const auto whole = WholeNumber(text);
    Require(whole.has_value() ==
            (strict && std::fabs(RoundHalfEven(*strict)) <= 32768.0 && RoundHalfEven(*strict) != 32768.0));
    if (whole) {
        Require(*whole == RoundHalfEven(*strict));
    }

    const std::string shown = FormatStatistic(std::fabs(leading), " %");
    Require(shown.front() == ' ');
    Require(shown.find_first_not_of(" .0123456789%") == std::string::npos);

    const auto rounded = static_cast<std::int64_t>(std::fmod(leading, 1e15));
    Require(std::strtoll(NumberToText(rounded).c_str(), nullptr, 10) == rounded);
    return 0;
}
