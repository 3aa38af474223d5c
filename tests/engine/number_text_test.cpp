#include "engine/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

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

TEST(DecimalTextTest, WritesPlainDecimalsWithoutLocale)
{
    std::string text;
    AssignDecimal(text, 0.01);
    EXPECT_EQ(text, "0.01");
    AssignDecimal(text, 17.0);
    EXPECT_EQ(text, "17");
    AssignDecimal(text, 0.00001);
    EXPECT_EQ(text, "0.00001");
    AssignNumber(text, -2147483648LL);
    EXPECT_EQ(text, "-2147483648");
    EXPECT_EQ(NumberToText(10), "10");
}

}  // namespace
}  // namespace waitline
