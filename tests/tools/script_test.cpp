#include "tools/scenario/script.h"

#include <gtest/gtest.h>

namespace waitline::script {
namespace {

TEST(ScriptTest, SkipsBlankLinesAndComments)
{
    for (const char* line : {"", "   ", "# a comment", "   # indented", "\r"}) {
        const Parsed parsed = ParseLine(line);
        EXPECT_FALSE(parsed.command.has_value()) << '"' << line << '"';
        EXPECT_EQ(parsed.error, "") << '"' << line << '"';
    }
}

TEST(ScriptTest, TypeKeepsEveryBlankOfItsText)
{
    const Parsed parsed = ParseLine("type ArrivalCombo   7  ");
    ASSERT_TRUE(parsed.command.has_value());
    const auto& type = std::get<Type>(*parsed.command);
    EXPECT_EQ(type.box, ComboId::ArrivalCombo);
    EXPECT_EQ(type.text, "  7  ");
    EXPECT_EQ(std::get<Type>(*ParseLine("type QueueCombo ").command).text, "");
    EXPECT_EQ(std::get<Choose>(*ParseLine("choose SourceCombo Pareto 0.1").command).entry, "Pareto 0.1");
}

TEST(ScriptTest, AllowsBlanksAroundACommandButKeepsThoseOfTypedText)
{
    EXPECT_EQ(std::get<Tick>(*ParseLine("   tick 3  ").command).count, 3U);
    EXPECT_TRUE(std::holds_alternative<Dump>(*ParseLine("\tdump ").command));
    EXPECT_EQ(std::get<Type>(*ParseLine("  type ServerCombo 2 ").command).text, "2 ");
}

TEST(ScriptTest, ReadsCountsAndRandomValues)
{
    EXPECT_EQ(std::get<Tick>(*ParseLine("tick").command).count, 1U);
    EXPECT_EQ(std::get<Tick>(*ParseLine("tick 250").command).count, 250U);
    EXPECT_EQ(std::get<Check>(*ParseLine("check 0").command).count, 0U);
    EXPECT_EQ(std::get<script::Run>(*ParseLine("run 3").command).seconds, 3U);
    EXPECT_EQ(std::get<Seed>(*ParseLine("seed 42").command).seed, 42U);
    const auto random = std::get<Random>(*ParseLine("random 0.5 0 .25 0.000001").command);
    EXPECT_EQ(random.values, (std::vector<float>{0.5F, 0.0F, 0.25F, 0.000001F}));
    EXPECT_TRUE(std::holds_alternative<Dump>(*ParseLine("dump").command));
    EXPECT_EQ(std::get<Snapshot>(*ParseLine("snapshot out.png").command).file, "out.png");
    EXPECT_EQ(std::get<ClickButton>(*ParseLine("click PauseButton").command).button, ButtonId::PauseButton);
}

struct RefusedLine {
    const char* line;
    const char* error;
};

TEST(ScriptTest, RefusesWhatCannotBeRunAndSaysWhy)
{
    const RefusedLine refused[] = {
        {"jump", "unknown command: jump"},
        {"Tick 3", "unknown command: Tick"},
        {"tick -1", "bad number: -1"},
        {"tick 1.5", "bad number: 1.5"},
        {"tick x", "bad number: x"},
        {"tick 18446744073709551616", "bad number: 18446744073709551616"},
        {"check two", "bad number: two"},
        {"run", "bad number: "},
        {"run 2 s", "bad number: 2 s"},
        {"seed -3", "bad number: -3"},
        {"seed", "bad number: "},
        {"random", "random needs at least one value"},
        {"random   ", "random needs at least one value"},
        {"random 1", "bad random value: 1"},
        {"random 0.99999999", "bad random value: 0.99999999"},  // a Single of 1
        {"random 1e-3", "bad random value: 1e-3"},
        {"random -0.5", "bad random value: -0.5"},
        {"random 0.5.5", "bad random value: 0.5.5"},
        {"random .", "bad random value: ."},
        {"random 0.5 x 0.25", "bad random value: x"},  // the bad one, not the first
        {"type NoSuchCombo 3", "unknown control: NoSuchCombo"},
        {"type", "unknown control: "},
        {"choose Nothing x", "unknown control: Nothing"},
        {"click GoButton", "unknown button: GoButton"},
        {"click", "unknown button: "},
        {"dump now", "dump takes no argument"},
        {"snapshot", "snapshot needs a file name"},
        {"snapshot  ", "snapshot needs a file name"},
    };
    for (const RefusedLine& bad : refused) {
        const Parsed parsed = ParseLine(bad.line);
        EXPECT_FALSE(parsed.command.has_value()) << '"' << bad.line << '"';
        EXPECT_EQ(parsed.error, bad.error) << '"' << bad.line << '"';
    }
}

}  // namespace
}  // namespace waitline::script
