// The command line: what each option accepts, both spellings, the defaults
// that depend on other options, and the one line a refusal gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/batch/batch_options.h"

namespace waitline::batch {
namespace {

ParsedOptions Parse(std::vector<std::string_view> arguments) { return ParseOptions(arguments); }

TEST(Options, ReadsEveryOptionInBothSpellings)
{
    const ParsedOptions spaced = Parse({"--arrival",      "Pareto 0.5", "--service",      "Regular",
                                        "--arrival-rate", "2.5",        "--service-rate", "0.000001",
                                        "--servers",      "5",          "--queue-length", "10",
                                        "--seconds",      "20000000",   "--seed",         "18446744073709551615",
                                        "--warmup",       "0",          "--replications", "10000",
                                        "--format",       "csv"});
    const ParsedOptions joined =
        Parse({"--arrival=Pareto 0.5", "--service=Regular", "--arrival-rate=2.5", "--service-rate=0.000001",
               "--servers=5", "--queue-length=10", "--seconds=20000000", "--seed=18446744073709551615", "--warmup=0",
               "--replications=10000", "--format=csv"});
    for (const ParsedOptions& parsed : {spaced, joined}) {
        ASSERT_EQ(parsed.action, ParsedOptions::Action::Run) << parsed.error;
        const Settings& s = parsed.options.settings;
        EXPECT_EQ(s.arrival, "Pareto 0.5");
        EXPECT_EQ(s.service, "Regular");
        EXPECT_EQ(s.arrivalRate, 2.5);
        EXPECT_EQ(s.serviceRate, 0.000001);
        EXPECT_EQ(s.servers, 5);
        EXPECT_EQ(s.queueLength, 10);
        EXPECT_EQ(s.seconds, 20000000);
        EXPECT_EQ(s.seed, 18446744073709551615ULL);
        EXPECT_EQ(s.warmup, 0);
        EXPECT_EQ(s.replications, 10000);
        EXPECT_EQ(parsed.options.format, Format::Csv);
    }
}

TEST(Options, DefaultsAreTheWindowsStartUpAndATenthForTheWarmup)
{
    const ParsedOptions none = Parse({});
    ASSERT_EQ(none.action, ParsedOptions::Action::Run);
    const Settings& s = none.options.settings;
    EXPECT_EQ(s.arrival, "Exponential");
    EXPECT_EQ(s.service, "Exponential");
    EXPECT_EQ(s.arrivalRate, 1.0);
    EXPECT_EQ(s.serviceRate, 1.0);
    EXPECT_EQ(s.servers, 1);
    EXPECT_EQ(s.queueLength, 3);
    EXPECT_EQ(s.warmup, 360);
    EXPECT_EQ(none.options.format, Format::Table);

    // The warm-up follows the length wherever --seconds comes.
    EXPECT_EQ(Parse({"--seconds", "95"}).options.settings.warmup, 9);
    EXPECT_EQ(Parse({"--warmup", "5", "--seconds", "95"}).options.settings.warmup, 5);
}

TEST(Options, HelpAndVersionWinOverWhatFollows)
{
    EXPECT_EQ(Parse({"--help", "--servers", "9"}).action, ParsedOptions::Action::Help);
    EXPECT_EQ(Parse({"--seed", "3", "--version", "--bogus"}).action, ParsedOptions::Action::Version);
}

struct Refusal {
    const char* name;
    std::vector<std::string_view> arguments;
    std::string error;
};

void PrintTo(const Refusal& r, std::ostream* out) { *out << r.name; }

class RefusedOptions : public ::testing::TestWithParam<Refusal> {};

TEST_P(RefusedOptions, SayWhichOptionAndWhatItAllows)
{
    const ParsedOptions parsed = ParseOptions(GetParam().arguments);
    EXPECT_EQ(parsed.action, ParsedOptions::Action::Refuse);
    EXPECT_EQ(parsed.error, GetParam().error);
    // One line, which no text the user gave can turn into a terminal command.
    EXPECT_TRUE(std::none_of(parsed.error.begin(), parsed.error.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    })) << parsed.error;
    EXPECT_EQ(parsed.error.find("\xC2\x9B"), std::string::npos) << parsed.error;
}

constexpr std::string_view kNames =
    "one of 'Exponential', 'Regular', 'Uniform', 'Pareto 0.1', 'Pareto 0.2' or 'Pareto 0.5'";

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedOptions,
    ::testing::Values(
        Refusal{"UnknownOption", {"--speed", "3"}, "unknown option '--speed'; see waitline-batch --help"},
        Refusal{"SingleDash", {"-s", "3"}, "unknown option '-s'; see waitline-batch --help"},
        Refusal{"StrayArgument", {"--seconds=10", "extra"}, "unexpected argument 'extra'; see waitline-batch --help"},
        Refusal{
            "UnknownArrival", {"--arrival", "Poisson"}, "--arrival must be " + std::string(kNames) + ", not 'Poisson'"},
        Refusal{"ServiceNameCase",
                {"--service=pareto 0.1"},
                "--service must be " + std::string(kNames) + ", not 'pareto 0.1'"},
        Refusal{"RateZero",
                {"--arrival-rate", "0"},
                "--arrival-rate must be a number from 0.000001 to 50 (packets per second), not '0'"},
        Refusal{"RateAboveFifty",
                {"--service-rate=50.5"},
                "--service-rate must be a number from 0.000001 to 50 (packets per second), not '50.5'"},
        Refusal{"RateNotANumber",
                {"--arrival-rate", "fast"},
                "--arrival-rate must be a number from 0.000001 to 50 (packets per second), not 'fast'"},
        Refusal{"TooManyServers", {"--servers", "6"}, "--servers must be a whole number from 1 to 5, not '6'"},
        Refusal{"ServersNotWhole", {"--servers", "2.0"}, "--servers must be a whole number from 1 to 5, not '2.0'"},
        Refusal{"NoPlaces", {"--queue-length", "0"}, "--queue-length must be a whole number from 1 to 10, not '0'"},
        Refusal{"MoreServersThanPlaces",
                {"--servers", "4"},
                "--servers (4) must not be more than --queue-length (3): the queue length counts the places being "
                "served too"},
        Refusal{
            "NegativeSeconds", {"--seconds", "-5"}, "--seconds must be a whole number from 1 to 20000000, not '-5'"},
        Refusal{"MissingValue", {"--seconds"}, "--seconds needs a value: a whole number from 1 to 20000000"},
        Refusal{"SeedTooLarge",
                {"--seed", "18446744073709551616"},
                "--seed must be a whole number from 0 to 18446744073709551615, not '18446744073709551616'"},
        Refusal{"WarmupAsLongAsRun",
                {"--seconds", "100", "--warmup", "100"},
                "--warmup must be a whole number of seconds less than --seconds (100), not '100'"},
        Refusal{"NoReplications",
                {"--replications", "0"},
                "--replications must be a whole number from 1 to 10000, not '0'"},
        Refusal{"UnknownFormat", {"--format", "xml"}, "--format must be table, csv or json, not 'xml'"},
        Refusal{"ValueForHelp", {"--help=yes"}, "--help takes no value"},
        // What the user typed is shown, never obeyed: newlines, a terminal's
        // escape codes, C1 controls and bytes that are not UTF-8 are spelt out.
        Refusal{"NewlineAndColour",
                {"--servers", "7\n\x1b[31mred"},
                "--servers must be a whole number from 1 to 5, not '7\\n\\e[31mred'"},
        Refusal{
            "TitleSequence", {"--\x1b]0;owned\x07"}, "unknown option '--\\e]0;owned\\x07'; see waitline-batch --help"},
        Refusal{"EightBitCsi",
                {"--arrival", "Exp\xC2\x9B"
                              "2J"},
                "--arrival must be " + std::string(kNames) + ", not 'Exp\\xc2\\x9b2J'"},
        Refusal{"NotUtf8",
                {"--seconds=10", "\xFF\xFE\\"},
                "unexpected argument '\\xff\\xfe\\\\'; see waitline-batch --help"},
        Refusal{"LettersStay", {"--format", "ölçü"}, "--format must be table, csv or json, not 'ölçü'"}),
    [](const ::testing::TestParamInfo<Refusal>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace waitline::batch
