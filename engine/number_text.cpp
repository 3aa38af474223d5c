#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "engine/decimal_chars.h"

namespace waitline {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of text that matches
//   [sign] digits [. digits] [(e|E) [sign] digits]
// with at least one digit in the mantissa; 0 when there is none.
std::size_t DecimalPrefixLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0;
    }
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        if (i < text.size() && IsDigit(text[i])) {
            while (i < text.size() && IsDigit(text[i])) {
                ++i;
            }
            end = i;
        }
    }
    return end;
}

// Whether a decimal numeral whose value lies outside the Double range is too
// large (rather than too small): compare the position of its first non-zero
// digit, moved by the exponent, with 0.
bool OverflowsUpwards(std::string_view numeral)
{
    long long position = 0;  // decimal exponent of the first significant digit, roughly
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t i = 0;
    for (; i < numeral.size() && numeral[i] != 'e' && numeral[i] != 'E'; ++i) {
        const char c = numeral[i];
        if (c == '.') {
            seenPoint = true;
        } else if (IsDigit(c)) {
            if (!seenSignificant && c != '0') {
                seenSignificant = true;
            }
            if (seenSignificant && !seenPoint) {
                ++position;
            } else if (!seenSignificant && seenPoint) {
                --position;
            }
        }
    }
    long long exponent = 0;
    bool negative = false;
    if (i < numeral.size()) {
        ++i;
        if (i < numeral.size() && (numeral[i] == '+' || numeral[i] == '-')) {
            negative = numeral[i] == '-';
            ++i;
        }
        for (; i < numeral.size(); ++i) {
            if (exponent < 1'000'000'000) {
                exponent = exponent * 10 + (numeral[i] - '0');
            }
        }
    }
    return position + (negative ? -exponent : exponent) > 0;
}

// Reads a numeral already known to match the decimal grammar, saturating at
// the ends of the Double range.
double ReadNumeral(std::string_view numeral)
{
    const bool negative = !numeral.empty() && numeral.front() == '-';
    std::string_view digits = numeral;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        digits.remove_prefix(1);
    }
    double value = 0.0;
    const auto result = chars::FromChars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = OverflowsUpwards(digits) ? std::numeric_limits<double>::max() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace

double LeadingNumber(std::string_view text)
{
    // Blanks are skipped anywhere, so the numeral is gathered without them.
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (!IsBlank(c)) {
            compact.push_back(c);
        }
    }
    const std::size_t length = DecimalPrefixLength(compact);
    if (length == 0) {
        return 0.0;
    }
    return ReadNumeral(std::string_view(compact).substr(0, length));
}

std::optional<double> StrictNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    const std::size_t length = DecimalPrefixLength(text);
    if (length == 0 || length != text.size()) {
        return std::nullopt;
    }
    const double value = ReadNumeral(text);
    if (std::fabs(value) == std::numeric_limits<double>::max()) {
        return std::nullopt;  // too large to be a Double: not a number for us
    }
    return value;
}

double RoundHalfEven(double x)
{
    // Above 0 and below 2^52 a Double's whole part fits in 64 bits and is its
    // floor: the colours, intervals and places take this way, without a call.
    constexpr double kWholeBelow = 4503599627370496.0;  // 2^52
    if (x > 0.0 && x < kWholeBelow) {
        const auto whole = static_cast<std::int64_t>(x);
        const auto down = static_cast<double>(whole);
        const double fraction = x - down;
        if (fraction > 0.5) {
            return down + 1.0;
        }
        if (fraction < 0.5) {
            return down;
        }
        return (whole & 1) == 0 ? down : down + 1.0;
    }
    // nearbyint rounds in the current rounding mode, which is to nearest,
    // halves to even, unless somebody changed it; do it by hand to be sure.
    const double down = std::floor(x);
    const double fraction = x - down;
    if (fraction > 0.5) {
        return down + 1.0;
    }
    if (fraction < 0.5) {
        return down;
    }
    return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

std::optional<std::int16_t> WholeNumber(std::string_view text)
{
    const std::optional<double> value = StrictNumber(text);
    if (!value) {
        return std::nullopt;
    }
    const double whole = RoundHalfEven(*value);
    if (whole < std::numeric_limits<std::int16_t>::min() || whole > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(whole);
}

void AssignNumber(std::string& text, std::int64_t value)
{
    std::array<char, 24> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    text.assign(buffer.data(), result.ptr);
}

std::string NumberToText(std::int64_t value)
{
    std::string text;
    AssignNumber(text, value);
    return text;
}

namespace {

// Up to 15 significant digits, no exponent, no trailing zeros.
std::string_view DecimalDigits(double value, std::array<char, 400>& buffer)
{
    char* const first = buffer.data();
    char* const last = first + buffer.size();
    if (std::fabs(value) >= 1e15) {
        const auto result = chars::ToChars(first, last, RoundHalfEven(value), std::chars_format::fixed, 0);
        return {first, static_cast<std::size_t>(result.ptr - first)};
    }
    std::array<char, 40> general{};
    const auto result =
        chars::ToChars(general.data(), general.data() + general.size(), value, std::chars_format::general, 15);
    const std::string_view text(general.data(), static_cast<std::size_t>(result.ptr - general.data()));
    const std::size_t e = text.find('e');
    if (e == std::string_view::npos) {
        return {first, static_cast<std::size_t>(std::copy(text.begin(), text.end(), first) - first)};
    }
    // Below 1e-4 the general form has an exponent: spell it out as 0.000ddd.
    std::string_view mantissa = text.substr(0, e);
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);
    char* out = first;
    if (!mantissa.empty() && mantissa.front() == '-') {
        *out++ = '-';
        mantissa.remove_prefix(1);
    }
    *out++ = '0';
    *out++ = '.';
    for (int zeros = -exponent - 1; zeros > 0; --zeros) {
        *out++ = '0';
    }
    for (const char c : mantissa) {
        if (c != '.') {
            *out++ = c;
        }
    }
    return {first, static_cast<std::size_t>(out - first)};
}

// Hundredths, the clock's resolution, spelt out from a whole number of
// hundredths. Empty when value is not such a number. A Double of up to 15
// significant digits reads back as the decimal it was made from, so this
// equals DecimalDigits for every value it accepts.
std::string_view HundredthsDigits(double value, std::array<char, 40>& buffer)
{
    if (!(value >= 0.0) || std::signbit(value) || value >= 1e11) {
        return {};
    }
    // Any whole number that reads back as value will do: the check below
    // turns away every other, so a plain rounding of the halves up is enough.
    const double scaled = value * 100.0;
    auto hundredths = static_cast<std::int64_t>(scaled);
    if (scaled - static_cast<double>(hundredths) >= 0.5) {
        ++hundredths;
    }
    if (static_cast<double>(hundredths) / 100.0 != value) {
        return {};
    }
    // Written from the last digit backwards; the clock calls this every tick.
    char* const end = buffer.data() + buffer.size();
    char* first = end;
    const auto fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        if (fraction % 10 != 0) {
            *--first = static_cast<char>('0' + fraction % 10);
        }
        *--first = static_cast<char>('0' + fraction / 10);
        *--first = '.';
    }
    std::int64_t whole = hundredths / 100;
    do {
        *--first = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    return {first, static_cast<std::size_t>(end - first)};
}

}  // namespace

void AssignDecimal(std::string& text, double value)
{
    // The clock calls this every tick with a whole number of hundredths:
    // spell those out directly instead of through the general conversion.
    std::array<char, 40> hundredths;
    const std::string_view quick = HundredthsDigits(value, hundredths);
    if (!quick.empty()) {
        text.assign(quick);
        return;
    }
    std::array<char, 400> buffer{};
    text.assign(DecimalDigits(value, buffer));
}

std::string DecimalText(double value)
{
    std::string text;
    AssignDecimal(text, value);
    return text;
}

std::string FormatStatistic(double value, std::string_view unit)
{
    if (!std::isfinite(value)) {
        value = 0.0;  // never happens with sound statistics; keep the label readable
    }
    // Hundredths are beyond a Double's precision long before value × 100
    // overflows; past that, the value is shown as it is.
    const double hundredths = value * 100.0;
    double cut = std::isfinite(hundredths) ? std::floor(hundredths) / 100.0 : value;
    if (cut == 0.0) {
        cut = 0.0;  // no "-0"
    }
    // The cut is a whole number of hundredths, so the direct spelling serves
    // unless it is too large for it.
    std::array<char, 40> quick;
    std::string_view digits = HundredthsDigits(std::fabs(cut), quick);
    std::array<char, 400> buffer;
    if (digits.empty()) {
        digits = DecimalDigits(std::fabs(cut), buffer);
    }
    if (digits.size() > 1 && digits.substr(0, 2) == "0.") {
        digits.remove_prefix(1);
    }
    std::string text(cut < 0.0 ? "-" : " ");
    text.append(digits);
    text.append(unit);
    return text;
}

std::optional<std::uint64_t> DigitsNumber(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

}  // namespace waitline
