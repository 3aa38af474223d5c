#include "engine/decimal_chars.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace waitline::chars {
namespace {

// Writes text into [first, last), or reports that it does not fit.
std::to_chars_result Put(char* first, char* last, std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(last - first)) {
        return {last, std::errc::value_too_large};
    }
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

std::string Printed(const char* format, int precision, double value)
{
    std::array<char, 400> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), format, precision, value);
    return {buffer.data(), static_cast<std::size_t>(std::max(length, 0))};
}

// A finite value other than zero as d.ddd × 10^exponent, with the fewest
// significant digits that read back to it: printf rounds correctly, so the
// first precision whose text strtod reads back is the shortest.
struct Shortest {
    std::string digits;
    int exponent = 0;
};

Shortest FromScientific(const std::string& text)
{
    const std::size_t e = text.find('e');
    Shortest shortest;
    for (const char c : text.substr(0, e)) {
        if (c != '.') {
            shortest.digits += c;
        }
    }
    shortest.exponent = std::atoi(text.c_str() + e + 1);
    return shortest;
}

std::string Scientific(const Shortest& s);

// The digits one unit in the last place up or down, carried or borrowed;
// empty when that leaves the digits' count.
std::optional<Shortest> Neighbour(Shortest s, int step)
{
    for (auto digit = s.digits.rbegin(); digit != s.digits.rend(); ++digit) {
        const int next = *digit - '0' + step;
        if (next >= 0 && next <= 9) {
            *digit = static_cast<char>('0' + next);
            return s.digits.front() == '0' ? std::nullopt : std::optional<Shortest>(s);
        }
        *digit = step > 0 ? '0' : '9';
    }
    return std::nullopt;
}

bool ReadsBackTo(const Shortest& s, double magnitude)
{
    return std::strtod(Scientific(s).c_str(), nullptr) == magnitude;
}

Shortest ShortestDigits(double magnitude)
{
    for (int precision = 0; precision < 16; ++precision) {
        Shortest nearest = FromScientific(Printed("%.*e", precision, magnitude));
        if (ReadsBackTo(nearest, magnitude)) {
            return nearest;
        }
        // Next to a power of two the values that read back lie further on one
        // side than on the other: the nearest digits may miss them while a
        // neighbour of theirs does not.
        for (const int step : {1, -1}) {
            const std::optional<Shortest> neighbour = Neighbour(nearest, step);
            if (neighbour && ReadsBackTo(*neighbour, magnitude)) {
                return *neighbour;
            }
        }
    }
    return FromScientific(Printed("%.*e", 16, magnitude));
}

std::string Scientific(const Shortest& s)
{
    std::string text = s.digits.substr(0, 1);
    if (s.digits.size() > 1) {
        text += '.' + s.digits.substr(1);
    }
    const int magnitude = std::abs(s.exponent);
    text += s.exponent < 0 ? "e-" : "e+";
    text += magnitude < 10 ? "0" + std::to_string(magnitude) : std::to_string(magnitude);
    return text;
}

// A whole number is written with all its digits, exact, as std writes it.
std::string Fixed(const Shortest& s, double magnitude)
{
    const int count = static_cast<int>(s.digits.size());
    if (s.exponent >= count - 1) {
        return Printed("%.*f", 0, magnitude);
    }
    if (s.exponent >= 0) {
        const int wholeDigits = s.exponent + 1;
        const auto whole = static_cast<std::size_t>(wholeDigits);
        return s.digits.substr(0, whole) + '.' + s.digits.substr(whole);
    }
    const int zeros = -s.exponent - 1;
    return "0." + std::string(static_cast<std::size_t>(zeros), '0') + s.digits;
}

// Infinity, NaN and zero, spelt as the standard library spells them.
bool IsSpecial(double value) { return !std::isfinite(value) || value == 0.0; }

std::string Special(double value)
{
    if (std::isnan(value)) {
        return std::signbit(value) ? "-nan" : "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    return std::signbit(value) ? "-0" : "0";
}

// How the shortest digits are laid out: the shorter of fixed and scientific
// (fixed on a tie) when no format is asked for, and for the general format
// fixed unless the exponent is below -4 or beyond the digits, as printf's %g.
enum class Layout : std::uint8_t { Shorter, Fixed, Scientific, General };
constexpr int kGeneralPrecision = 6;

std::to_chars_result ShortestIn(char* first, char* last, double value, Layout layout)
{
    if (IsSpecial(value)) {
        return Put(first, last, Special(value) + (value == 0.0 && layout == Layout::Scientific ? "e+00" : ""));
    }
    const std::string sign = value < 0 ? "-" : "";
    const Shortest shortest = ShortestDigits(std::fabs(value));
    const std::string asFixed = Fixed(shortest, std::fabs(value));
    const std::string asScientific = Scientific(shortest);
    bool fixed = layout == Layout::Fixed;
    if (layout == Layout::Shorter) {
        fixed = asFixed.size() <= asScientific.size();
    } else if (layout == Layout::General) {
        fixed = shortest.exponent >= -4 && shortest.exponent < kGeneralPrecision;
    }
    return Put(first, last, sign + (fixed ? asFixed : asScientific));
}

// The longest leading part that reads as a decimal floating-point number in
// std::from_chars' general format: no blanks, no plus sign, no hexadecimal.
std::size_t NumberLength(std::string_view text)
{
    std::size_t n = text.starts_with('-') ? 1 : 0;
    const auto isDigit = [&text](std::size_t k) { return k < text.size() && text[k] >= '0' && text[k] <= '9'; };
    const auto word = [&text, n](std::string_view w) {
        if (text.size() - n < w.size()) {
            return false;
        }
        return std::equal(w.begin(), w.end(), text.begin() + static_cast<std::ptrdiff_t>(n),
                          [](char a, char b) { return a == (b | 0x20); });
    };
    if (word("infinity")) {
        return n + 8;
    }
    if (word("inf")) {
        return n + 3;
    }
    if (word("nan")) {
        std::size_t k = n + 3;
        if (k < text.size() && text[k] == '(') {
            const std::size_t close = text.find(')', k);
            const bool plain = close != std::string_view::npos &&
                               std::all_of(text.begin() + static_cast<std::ptrdiff_t>(k + 1),
                                           text.begin() + static_cast<std::ptrdiff_t>(close), [](char c) {
                                               return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
                                           });
            k = plain ? close + 1 : k;
        }
        return k;
    }
    std::size_t digits = 0;
    for (; isDigit(n); ++n, ++digits) {
    }
    if (n < text.size() && text[n] == '.') {
        ++n;
        for (; isDigit(n); ++n, ++digits) {
        }
    }
    if (digits == 0) {
        return 0;
    }
    if (n < text.size() && (text[n] == 'e' || text[n] == 'E')) {
        std::size_t k = n + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
            ++k;
        }
        if (isDigit(k)) {
            for (n = k; isDigit(n); ++n) {
            }
        }
    }
    return n;
}

template <typename Floating, typename Read>
std::from_chars_result ReadNumber(const char* first, const char* last, Floating& value, Read read)
{
    const std::size_t length = NumberLength({first, static_cast<std::size_t>(last - first)});
    if (length == 0) {
        return {first, std::errc::invalid_argument};
    }
    const std::string text(first, length);
    errno = 0;
    const Floating readValue = read(text.c_str());
    // Too large, or so small that it reads as zero though it is not: out of
    // range, and the value is left as it was.
    const bool tooLarge = std::isinf(readValue) && text.find_first_of("iI") == std::string::npos;
    const bool tooSmall = errno == ERANGE && readValue == 0;
    if (tooLarge || tooSmall) {
        return {first + length, std::errc::result_out_of_range};
    }
    value = readValue;
    return {first + length, std::errc{}};
}

}  // namespace

std::to_chars_result FallbackToChars(char* first, char* last, double value)
{
    // Whole numbers, the most common by far (a packet's place, a count), are
    // their own digits when those are no longer than the scientific form;
    // searching for the shortest digits would cost a dozen conversions.
    constexpr double kExactWholes = 1e15;
    if (value == std::trunc(value) && std::fabs(value) < kExactWholes && value != 0.0) {
        const auto whole = static_cast<std::int64_t>(value);
        std::array<char, 24> digits{};
        const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), whole < 0 ? -whole : whole);
        const std::string_view text(digits.data(), static_cast<std::size_t>(written.ptr - digits.data()));
        const std::size_t significant = text.find_last_not_of('0') + 1;
        const std::size_t scientific = significant + (significant > 1 ? 1 : 0) + 4;  // d.ddd and e+XX
        if (text.size() <= scientific) {
            return Put(first, last, (whole < 0 ? "-" : "") + std::string(text));
        }
    }
    return ShortestIn(first, last, value, Layout::Shorter);
}

std::to_chars_result FallbackToChars(char* first, char* last, double value, std::chars_format format)
{
    const Layout layout = format == std::chars_format::fixed        ? Layout::Fixed
                          : format == std::chars_format::scientific ? Layout::Scientific
                                                                    : Layout::General;
    return ShortestIn(first, last, value, layout);
}

std::to_chars_result FallbackToChars(char* first, char* last, double value, std::chars_format format, int precision)
{
    const char* spec = format == std::chars_format::fixed        ? "%.*f"
                       : format == std::chars_format::scientific ? "%.*e"
                                                                 : "%.*g";
    std::string text = Printed(spec, precision, value);
    if (std::isnan(value)) {
        text = Special(value);
    }
    return Put(first, last, text);
}

std::from_chars_result FallbackFromChars(const char* first, const char* last, double& value)
{
    return ReadNumber(first, last, value, [](const char* text) { return std::strtod(text, nullptr); });
}

std::from_chars_result FallbackFromChars(const char* first, const char* last, float& value)
{
    return ReadNumber(first, last, value, [](const char* text) { return std::strtof(text, nullptr); });
}

}  // namespace waitline::chars
