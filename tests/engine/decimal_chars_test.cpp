// The web build's floating-point to_chars and from_chars, held to this
// standard library's own over many values: whatever the fallback writes or
// reads, std writes or reads alike, byte for byte and bit for bit.
#include "engine/decimal_chars.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace waitline::chars {
namespace {

// Doubles of every kind: random bits (subnormals, huge and tiny values among
// them), short decimals as people type them, the demo's own steps, integers,
// powers of two and ten and their neighbours, and the special values.
std::vector<double> ManyDoubles()
{
    std::mt19937_64 random(20261210);
    std::vector<double> values{0.0,
                               -0.0,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::min(),
                               std::numeric_limits<double>::denorm_min(),
                               std::numeric_limits<double>::epsilon(),
                               5e-324,
                               1e23,
                               9007199254740993.0,
                               0.1,
                               0.3,
                               2.0 / 3.0};
    for (int k = 0; k < 20000; ++k) {
        values.push_back(std::bit_cast<double>(random()));
    }
    std::uniform_int_distribution<int> digits(0, 999999);
    std::uniform_int_distribution<int> scale(-12, 12);
    for (int k = 0; k < 20000; ++k) {
        values.push_back(digits(random) * std::pow(10.0, scale(random)));
        values.push_back(k * 0.01);
        values.push_back(static_cast<double>(random() >> (k % 64)));
    }
    for (int e = -1074; e <= 1023; ++e) {
        const double power = std::ldexp(1.0, e);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)});
    }
    for (int e = -323; e <= 308; ++e) {
        const double power = std::pow(10.0, e);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)});
    }
    return values;
}

struct WriteCase {
    const char* name;
    std::function<std::to_chars_result(char*, char*, double)> fallback;
    std::function<std::to_chars_result(char*, char*, double)> standard;
};

std::vector<WriteCase> WriteCases()
{
    std::vector<WriteCase> cases{{"shortest", [](char* f, char* l, double v) { return FallbackToChars(f, l, v); },
                                  [](char* f, char* l, double v) { return std::to_chars(f, l, v); }}};
    for (const auto& named :
         {std::pair{"fixed", std::chars_format::fixed}, std::pair{"scientific", std::chars_format::scientific},
          std::pair{"general", std::chars_format::general}}) {
        const char* name = named.first;
        const std::chars_format format = named.second;
        cases.push_back({name, [format](char* f, char* l, double v) { return FallbackToChars(f, l, v, format); },
                         [format](char* f, char* l, double v) { return std::to_chars(f, l, v, format); }});
        for (const int precision : {0, 1, 2, 3, 4, 6, 15, 17}) {
            cases.push_back({name,
                             [format, precision](char* f, char* l, double v) {
                                 return FallbackToChars(f, l, v, format, precision);
                             },
                             [format, precision](char* f, char* l, double v) {
                                 return std::to_chars(f, l, v, format, precision);
                             }});
        }
    }
    return cases;
}

TEST(DecimalChars, WritesEveryDoubleAsTheStandardLibraryDoes)
{
    const std::vector<double> values = ManyDoubles();
    for (const WriteCase& c : WriteCases()) {
        int differences = 0;
        for (const double value : values) {
            std::array<char, 400> ours{};
            std::array<char, 400> theirs{};
            const auto a = c.fallback(ours.data(), ours.data() + ours.size(), value);
            const auto b = c.standard(theirs.data(), theirs.data() + theirs.size(), value);
            const std::string mine(ours.data(), a.ptr);
            const std::string expected(theirs.data(), b.ptr);
            if (mine != expected && ++differences <= 5) {
                ADD_FAILURE() << c.name << " of " << std::hexfloat << value << ": " << mine << " but std writes "
                              << expected;
            }
        }
        EXPECT_EQ(differences, 0) << c.name;
    }
}

TEST(DecimalChars, ReportsABufferTooSmallAsTheStandardLibraryDoes)
{
    for (const double value : {0.0, 1.5, -123456.789, 1e300, 5e-324}) {
        for (std::size_t size = 0; size < 8; ++size) {
            std::array<char, 8> ours{};
            std::array<char, 8> theirs{};
            const auto a = FallbackToChars(ours.data(), ours.data() + size, value);
            const auto b = std::to_chars(theirs.data(), theirs.data() + size, value);
            EXPECT_EQ(a.ec, b.ec) << value << " in " << size;
            EXPECT_EQ(a.ptr - ours.data(), b.ptr - theirs.data()) << value << " in " << size;
        }
    }
}

// Texts to read: every double as std writes it, and the texts people and
// broken files hold.
std::vector<std::string> ManyTexts()
{
    std::vector<std::string> texts{
        "",       "-",          ".",        "-.",         "+1",       " 1",
        "1 ",     "1e",         "1e+",      "1e-x",       ".5",       "5.",
        "-0",     "0x1p3",      "inf",      "-INF",       "Infinity", "infinit",
        "nan",    "NaN(abc_1)", "nan(",     "nan()",      "1e400",    "-1e400",
        "1e-400", "4e-320",     "2.5e-324", "1,5",        "1.2.3",    "00012.50",
        "1E5x",   "e5",         "--1",      "1e-5000000", "0e999",    "0.0000000000000000000000000000000000001e-400"};
    std::mt19937_64 random(7);
    for (const double value : ManyDoubles()) {
        std::array<char, 400> buffer{};
        texts.emplace_back(buffer.data(), std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr);
        if (random() % 4 == 0) {
            texts.emplace_back(
                buffer.data(),
                std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 30).ptr);
        }
    }
    return texts;
}

template <typename Floating>
void ReadsAsTheStandardLibrary()
{
    int differences = 0;
    for (const std::string& text : ManyTexts()) {
        Floating ours = 42;
        Floating theirs = 42;
        const auto a = FallbackFromChars(text.data(), text.data() + text.size(), ours);
        const auto b = std::from_chars(text.data(), text.data() + text.size(), theirs);
        const bool same = a.ec == b.ec && a.ptr == b.ptr &&
                          (std::isnan(ours) ? std::isnan(theirs)
                                            : std::bit_cast<std::array<char, sizeof ours>>(ours) ==
                                                  std::bit_cast<std::array<char, sizeof theirs>>(theirs));
        if (!same && ++differences <= 5) {
            ADD_FAILURE() << "'" << text << "': read " << ours << " to " << (a.ptr - text.data()) << " with "
                          << static_cast<int>(a.ec) << ", std " << theirs << " to " << (b.ptr - text.data()) << " with "
                          << static_cast<int>(b.ec);
        }
    }
    EXPECT_EQ(differences, 0);
}

TEST(DecimalChars, ReadsDoublesAsTheStandardLibraryDoes) { ReadsAsTheStandardLibrary<double>(); }

TEST(DecimalChars, ReadsSinglesAsTheStandardLibraryDoes) { ReadsAsTheStandardLibrary<float>(); }

}  // namespace
}  // namespace waitline::chars
