#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace waitline {
namespace {

struct LeadingCase {
    const char* text;
    double value;
};

class LeadingNumberTest : public ::testing::TestWithParam<LeadingCase> {};

TEST_P(LeadingNumberTest, ReadsTheLongestLeadingNumber)
{
    EXPECT_EQ(LeadingNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumberTest,
                         ::testing::Values(LeadingCase{"3", 3.0}, LeadingCase{"1 2", 12.0}, LeadingCase{"  7  ", 7.0},
                                           LeadingCase{"3a", 3.0}, LeadingCase{"2 x", 2.0}, LeadingCase{"", 0.0},
                                           LeadingCase{"abc", 0.0}, LeadingCase{"-", 0.0}, LeadingCase{".", 0.0},
                                           LeadingCase{"+", 0.0}, LeadingCase{"e", 0.0}, LeadingCase{"-2", -2.0},
                                           LeadingCase{"+5", 5.0}, LeadingCase{".5", 0.5}, LeadingCase{"5.", 5.0},
                                           LeadingCase{"3.5", 3.5}, LeadingCase{"1e2", 100.0}, LeadingCase{"1e", 1.0},
                                           LeadingCase{"1e+", 1.0}, LeadingCase{"2.5e-1x", 0.25},
                                           LeadingCase{"0x10", 0.0}, LeadingCase{"&H10", 0.0}, LeadingCase{"1,5", 1.0},
                                           LeadingCase{"- 3", -3.0}, LeadingCase{"1e-400", 0.0},
                                           LeadingCase{"NaN", 0.0}, LeadingCase{"inf", 0.0},
                                           LeadingCase{"1e999", std::numeric_limits<double>::max()},
                                           LeadingCase{"-1e999", -std::numeric_limits<double>::max()},
                                           LeadingCase{"99999999999999999999", 1e20},
                                           LeadingCase{"1e99999999999999999999", std::numeric_limits<double>::max()},
                                           LeadingCase{"0.0000000000000000000000000000000001e-999999999999", 0.0},
                                           LeadingCase{"\xEF\xBC\x93", 0.0}));  // a full-width 3

TEST(LeadingNumberTest, StopsAtANulOrANewline)
{
    EXPECT_EQ(LeadingNumber(std::string("4\0"
                                        "5",
                                        3)),
              4.0);
    EXPECT_EQ(LeadingNumber("4\n5"), 4.0);
    EXPECT_EQ(LeadingNumber(std::string(10000, '9')), std::numeric_limits<double>::max());
}

TEST(StrictNumberTest, AcceptsOnlyAWholeNumeralWithBlanksAround)
{
    EXPECT_EQ(StrictNumber(" 2.5 "), 2.5);
    EXPECT_EQ(StrictNumber("-0"), 0.0);
    EXPECT_EQ(StrictNumber("1e-400"), 0.0);
    for (const char* text : {"", "  ", "-", ".", "3a", "2 x", "1 2", "1,5", "0x10", "1e999", "NaN", "inf", "1e"}) {
        EXPECT_FALSE(StrictNumber(text).has_value()) << '"' << text << '"';
    }
}

TEST(WholeNumberTest, RoundsHalvesToEvenAndRefusesWhatIsNotANumber)
{
    EXPECT_EQ(WholeNumber("3.5"), 4);
    EXPECT_EQ(WholeNumber("2.5"), 2);
    EXPECT_EQ(WholeNumber("2.6"), 3);
    EXPECT_EQ(WholeNumber(" 7 "), 7);
    EXPECT_EQ(WholeNumber("0.5"), 0);
    EXPECT_FALSE(WholeNumber("3a").has_value());
    EXPECT_FALSE(WholeNumber("2147483648").has_value());
    EXPECT_FALSE(WholeNumber("32767.5").has_value());
    EXPECT_EQ(WholeNumber("-32768"), -32768);
}

TEST(RoundHalfEvenTest, GoesToTheEvenNeighbourOnlyAtHalves)
{
    EXPECT_EQ(RoundHalfEven(62.5), 62.0);
    EXPECT_EQ(RoundHalfEven(187.5), 188.0);
    EXPECT_EQ(RoundHalfEven(-0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(186.6), 187.0);
}

// The rounding by floor and remainder, for any Double: the quick way for
// positive values must give the same, to the bit.
double RoundHalfEvenByFloor(double x)
{
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

TEST(RoundHalfEvenTest, AgreesToTheBitWithFloorAndRemainderEverywhere)
{
    const double two52 = 4503599627370496.0;
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               1.5,
                               2.5,
                               254.5,
                               255.0 * std::nextafter(1.0F, 0.0F),
                               std::numeric_limits<double>::denorm_min(),
                               two52 - 0.5,
                               two52 - 1.5,
                               std::nextafter(two52, 0.0),
                               two52,
                               two52 + 2.0,
                               1e300,
                               -1e300,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::max()};
    std::mt19937_64 random(3);
    for (int k = 0; k < 20000; ++k) {
        const double unit = std::generate_canonical<double, 53>(random);
        const double scale = std::ldexp(1.0, static_cast<int>(random() % 60) - 4);
        const double x = unit * scale;
        values.push_back(x);
        values.push_back(-x);
        // A half, where one exists, and a colour channel.
        values.push_back(std::floor(x) + 0.5);
        values.push_back(255.0 * static_cast<double>(static_cast<float>(unit)));
    }
    for (const double x : values) {
        const double quick = RoundHalfEven(x);
        const double reference = RoundHalfEvenByFloor(x);
        ASSERT_EQ(quick, reference) << x;
        ASSERT_EQ(std::signbit(quick), std::signbit(reference)) << x;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
}

struct FormatCase {
    double value;
    const char* unit;
    const char* text;
};

class FormatStatisticTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatStatisticTest, CutsToHundredthsWithALeadingBlank)
{
    EXPECT_EQ(FormatStatistic(GetParam().value, GetParam().unit), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatStatisticTest,
    ::testing::Values(
        FormatCase{12.5, "", " 12.5"}, FormatCase{0.25, "", " .25"}, FormatCase{0.0, "", " 0"},
        FormatCase{3.0, "", " 3"}, FormatCase{33.3333, "", " 33.33"}, FormatCase{2.999, "", " 2.99"},
        FormatCase{2900.0 / 10000.0, " %", " .28 %"}, FormatCase{100.0 / 3.0, " %", " 33.33 %"},
        FormatCase{1.5, " s", " 1.5 s"}, FormatCase{0.01, "", " .01"}, FormatCase{-0.25, "", "-.25"},
        FormatCase{123456789.126, "", " 123456789.12"}, FormatCase{1e20, "", " 100000000000000000000"},
        FormatCase{
            1.7976931348623157e308, "",
            " 179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558632766878171540"
            "4589535143824642343213268894641827684675467035375169860499105765512820762454900903893289440758685084551339"
            "42304583236903222948165808559332123348274797826204144723168738177180919299881250404026184124858368"}));

// Cut values below 1e11 are spelt out from whole hundredths, larger ones by
// the general conversion: both must give what 15 significant digits give.
TEST(FormatStatisticTest, SpellsEveryMagnitudeAsFifteenSignificantDigitsWould)
{
    std::mt19937_64 generator(20261209);
    std::uniform_real_distribution<double> exponent(-3.0, 14.0);
    std::vector<double> values{99999999999.99, 99999999999.999, 1e11, 100000000000.01, 0.005, 0.01, 0.015};
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::pow(10.0, exponent(generator)));
    }
    for (const double value : values) {
        const double cut = std::floor(value * 100.0) / 100.0;
        std::array<char, 64> general{};
        std::snprintf(general.data(), general.size(), "%.15g", cut);
        std::string expected = general.data();
        if (expected.rfind("0.", 0) == 0) {
            expected.erase(0, 1);
        }
        EXPECT_EQ(FormatStatistic(value), " " + expected) << std::hexfloat << value;
    }
}

// German conventions for the C++ streams alone: a comma before the fraction
// and points between groups of three digits. The C library keeps its locale.
class CommaNumpunct : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

enum class CommaLocale {
    StreamsOnly,   // what a stream that is not imbued picks up
    WholeProcess,  // what QApplication's setlocale(LC_ALL, "") gives a German user
};

// tests/CMakeLists.txt builds de_DE.UTF-8 into the folder LOCPATH names, so
// that the machine needs no German locale of its own.
std::optional<std::locale> GermanLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"}) {
        try {
            return std::locale(name);
        } catch (const std::runtime_error&) {
        }
    }
    return std::nullopt;
}

class CommaLocaleTest : public ::testing::TestWithParam<CommaLocale> {
protected:
    void SetUp() override
    {
        previousC_ = std::setlocale(LC_ALL, nullptr);
        if (GetParam() == CommaLocale::StreamsOnly) {
            previous_ = std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
            return;
        }
        const std::optional<std::locale> german = GermanLocale();
        if (!german) {
            GTEST_SKIP() << "NO GERMAN LOCALE, so printf and strtod are NOT checked under a decimal comma. Run this "
                            "through ctest, which points LOCPATH at the de_DE.UTF-8 that CMake builds from Debian's "
                            "locales package.";
        }
        // A named locale made global sets the C library's locale as well.
        previous_ = std::locale::global(*german);
    }

    void TearDown() override
    {
        std::locale::global(previous_);
        std::setlocale(LC_ALL, previousC_.c_str());
    }

private:
    std::locale previous_;
    std::string previousC_;
};

// A value as a failure message should show it: Google Test would print it
// with the comma locale in force.
std::string PlainText(std::optional<double> value)
{
    if (!value) {
        return "no number";
    }
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), *value);
    return {text.data(), result.ptr};
}

struct WrittenCase {
    double value;
    const char* text;
};

struct ReadCase {
    const char* text;
    std::optional<double> strict;
    double leading;
};

TEST_P(CommaLocaleTest, WritesAndReadsNumbersWithAPoint)
{
    // The locale took: otherwise this test would prove nothing.
    std::ostringstream stream;
    stream << 1234.5;
    ASSERT_EQ(stream.str(), "1.234,5");
    if (GetParam() == CommaLocale::WholeProcess) {
        std::array<char, 16> printed{};
        std::snprintf(printed.data(), printed.size(), "%.1f", 0.5);
        ASSERT_STREQ(printed.data(), "0,5");
    }

    // Whole hundredths, the general form, the spelt-out exponent and the
    // fixed form above 1e15 are written by different code.
    for (const WrittenCase& written :
         {WrittenCase{0.01, "0.01"}, WrittenCase{12.5, "12.5"}, WrittenCase{1234.5678, "1234.5678"},
          WrittenCase{-2.5, "-2.5"}, WrittenCase{0.00001, "0.00001"}, WrittenCase{1e15, "1000000000000000"}}) {
        std::string text;
        AssignDecimal(text, written.value);
        EXPECT_EQ(text, written.text);
    }
    EXPECT_EQ(FormatStatistic(1234.5, " s"), " 1234.5 s");
    EXPECT_EQ(FormatStatistic(0.25), " .25");
    EXPECT_EQ(NumberToText(1234567), "1234567");
    std::string whole;
    AssignNumber(whole, -2147483648LL);
    EXPECT_EQ(whole, "-2147483648");

    for (const ReadCase& read :
         {ReadCase{"2.5", 2.5, 2.5}, ReadCase{" 1234.5 ", 1234.5, 1234.5}, ReadCase{"2.5e1", 25.0, 25.0},
          ReadCase{"2,5", std::nullopt, 2.0}, ReadCase{"1.234,5", std::nullopt, 1.234}}) {
        EXPECT_EQ(PlainText(StrictNumber(read.text)), PlainText(read.strict)) << '"' << read.text << '"';
        EXPECT_EQ(PlainText(LeadingNumber(read.text)), PlainText(read.leading)) << '"' << read.text << '"';
    }
    EXPECT_EQ(WholeNumber("2.6"), 3);
    EXPECT_EQ(WholeNumber("1.234"), 1);
}

const char* LocaleName(CommaLocale locale)
{
    return locale == CommaLocale::StreamsOnly ? "StreamsOnly" : "WholeProcess";
}

void PrintTo(CommaLocale locale, std::ostream* out) { *out << LocaleName(locale); }

INSTANTIATE_TEST_SUITE_P(Locales, CommaLocaleTest,
                         ::testing::Values(CommaLocale::StreamsOnly, CommaLocale::WholeProcess),
                         [](const ::testing::TestParamInfo<CommaLocale>& param) { return LocaleName(param.param); });

}  // namespace
}  // namespace waitline
