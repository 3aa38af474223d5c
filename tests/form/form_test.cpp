#include "control/form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/invariants.h"
#include "engine/number_text.h"

namespace waitline {
namespace {

using Texts = std::vector<std::string>;

Texts Numbers(int from, int to)
{
    Texts texts;
    for (int v = from; v <= to; ++v) {
        texts.push_back(std::to_string(v));
    }
    return texts;
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { FormLoad(form); }
    DisplayModel& d() { return form.sim.display; }
    Simulation& sim() { return form.sim; }
    void type(ComboId id, const std::string& text) { ASSERT_TRUE(TypeText(form, id, text)); }
    void choose(ComboId id, const std::string& entry) { ASSERT_TRUE(ChooseEntry(form, id, entry)); }
    void ticks(int n)
    {
        for (int k = 0; k < n; ++k) {
            DeliverTimerMove(form);
        }
    }
    Form form;
};

TEST_F(FormTest, StartUpPresetsEveryControlAndTheModel)
{
    const Texts distributions{"Exponential", "Regular", "Uniform", "Pareto 0.1", "Pareto 0.2", "Pareto 0.5"};
    const Texts rates{"0.1", "0.2", "0.5", "1", "2", "5"};
    EXPECT_EQ(d().SourceCombo.list, distributions);
    EXPECT_EQ(d().ServiceCombo.list, distributions);
    EXPECT_EQ(d().ArrivalCombo.list, rates);
    EXPECT_EQ(d().ServeRateCombo.list, rates);
    EXPECT_EQ(d().ServerCombo.list, Numbers(1, 5));  // 4 and 5 although the length is 3
    EXPECT_EQ(d().QueueCombo.list, Numbers(1, 10));
    EXPECT_EQ(d().SourceCombo.text, "Exponential");
    EXPECT_EQ(d().ServiceCombo.text, "Exponential");
    EXPECT_EQ(d().ArrivalCombo.text, "1");
    EXPECT_EQ(d().ServeRateCombo.text, "1");
    EXPECT_EQ(d().ServerCombo.text, "1");
    EXPECT_EQ(d().QueueCombo.text, "3");
    EXPECT_EQ(sim().NumServers, 1);
    EXPECT_EQ(sim().QueueLength, 3);
    EXPECT_FALSE(sim().Running);
    EXPECT_EQ(sim().source.TimeToNextArrival, -1);
    EXPECT_TRUE(d().TimerMove.Enabled);
    EXPECT_TRUE(d().TimerCheck.Enabled);
    EXPECT_EQ(d().StartButton, "Go");
    EXPECT_EQ(d().PauseButton, "Pause");
    EXPECT_EQ(d().lblTime.caption, "0000");
    EXPECT_EQ(d().lblPacketsSourced.caption, "0");
    EXPECT_EQ(d().drawing.shpFIFOTop, 360.0F);
    EXPECT_EQ(d().drawing.shpFIFOHeight, 113.0F);
    EXPECT_EQ(d().drawing.Line12Y2, 360.0F);
}

TEST_F(FormTest, BeforeGoTheClockRunsButNothingArrives)
{
    DeliverTimerCheck(form);
    EXPECT_EQ(d().lblTime.caption, "0");
    ticks(250);
    DeliverTimerCheck(form);
    EXPECT_EQ(d().lblTime.caption, "2");
    EXPECT_EQ(sim().PacketsSourced, 0);
    EXPECT_EQ(sim().source.TimeToNextArrival, -1);
    Click(form, ButtonId::StartButton);
    ticks(1);
    EXPECT_EQ(sim().PacketsSourced, 1);  // at once: the countdown was -1
}

struct DrawCase {
    int length;
    int servers;
};

class DrawQueueTest : public ::testing::TestWithParam<DrawCase> {};

TEST_P(DrawQueueTest, ShowsExactlyTheBoxesAndServersInUse)
{
    Form form;
    FormLoad(form);
    form.sim.QueueLength = static_cast<std::int16_t>(GetParam().length);
    form.sim.NumServers = static_cast<std::int16_t>(GetParam().servers);
    DrawQueueAndServers(form);
    const QueueDrawing& drawing = form.sim.display.drawing;
    for (int j = 0; j <= 10; ++j) {
        EXPECT_EQ(drawing.boxQueue[j], j < GetParam().length) << "box " << j;
    }
    for (int j = 0; j < 5; ++j) {
        for (const bool shown : drawing.serverLines[j]) {
            EXPECT_EQ(shown, j < GetParam().servers) << "server " << j;
        }
    }
    EXPECT_EQ(drawing.shpFIFOTop, static_cast<float>(456 - 32 * GetParam().length));
    EXPECT_EQ(drawing.shpFIFOTop + drawing.shpFIFOHeight, 473.0F);
    EXPECT_EQ(drawing.Line12Y2, drawing.shpFIFOTop);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DrawQueueTest,
                         ::testing::Values(DrawCase{1, 1}, DrawCase{3, 1}, DrawCase{3, 3}, DrawCase{6, 4},
                                           DrawCase{10, 5}, DrawCase{10, 1}));

TEST_F(FormTest, TooManyServersAreRefusedAndPutBackByTheCheck)
{
    choose(ComboId::ServerCombo, "4");
    EXPECT_EQ(sim().NumServers, 1);
    EXPECT_EQ(d().QueueCombo.list, Numbers(1, 10));
    EXPECT_EQ(d().QueueCombo.text, "3");
    EXPECT_EQ(d().ServerCombo.text, "4");  // the handler leaves its own text alone
    DeliverTimerCheck(form);
    EXPECT_EQ(d().ServerCombo.text, "1");
}

TEST_F(FormTest, ChoicesRebuildTheOtherList)
{
    choose(ComboId::QueueCombo, "8");
    EXPECT_EQ(sim().QueueLength, 8);
    EXPECT_EQ(d().ServerCombo.list, Numbers(1, 5));
    choose(ComboId::QueueCombo, "2");
    EXPECT_EQ(d().ServerCombo.list, Numbers(1, 2));
    choose(ComboId::QueueCombo, "6");
    choose(ComboId::ServerCombo, "4");
    EXPECT_EQ(sim().NumServers, 4);
    EXPECT_EQ(d().QueueCombo.list, Numbers(4, 10));
    EXPECT_TRUE(d().drawing.serverLines[3][LineOut]);
    EXPECT_FALSE(d().drawing.serverLines[4][LineOut]);
}

struct TypedCase {
    ComboId box;
    const char* typed;
    int queueLength;  // in effect after one check
    int servers;      // in effect after one check
    const char* queueText;
    const char* serverText;
};

class TypedStructureTest : public ::testing::TestWithParam<TypedCase> {};

// Typing runs no handler; the check a second later applies or undoes it.
TEST_P(TypedStructureTest, TheCheckAppliesOrUndoesTypedValues)
{
    const TypedCase& c = GetParam();
    Form form;
    FormLoad(form);
    ASSERT_TRUE(TypeText(form, c.box, c.typed));
    EXPECT_EQ(form.sim.QueueLength, 3);
    EXPECT_EQ(form.sim.NumServers, 1);
    DeliverTimerCheck(form);
    EXPECT_EQ(form.sim.QueueLength, c.queueLength);
    EXPECT_EQ(form.sim.NumServers, c.servers);
    EXPECT_EQ(form.sim.display.QueueCombo.text, c.queueText);
    EXPECT_EQ(form.sim.display.ServerCombo.text, c.serverText);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedStructureTest,
    ::testing::Values(
        TypedCase{ComboId::QueueCombo, "7", 7, 1, "7", "1"}, TypedCase{ComboId::QueueCombo, "12", 3, 1, "3", "1"},
        TypedCase{ComboId::QueueCombo, "3.5", 4, 1, "4", "1"}, TypedCase{ComboId::QueueCombo, "2.5", 2, 1, "2", "1"},
        TypedCase{ComboId::QueueCombo, "03", 3, 1, "03", "1"},  // equal: left as typed
        TypedCase{ComboId::QueueCombo, "3a", 3, 1, "3a", "1"},  // reads as the length in effect
        TypedCase{ComboId::QueueCombo, "5a", 3, 1, "3", "1"},   // refused, text restored
        TypedCase{ComboId::QueueCombo, "0.3", 3, 1, "3", "1"}, TypedCase{ComboId::QueueCombo, "", 3, 1, "3", "1"},
        TypedCase{ComboId::ServerCombo, "2", 3, 2, "3", "2"},
        TypedCase{ComboId::ServerCombo, "2.6", 3, 3, "3", "2.6"},  // applied, shown as typed
        TypedCase{ComboId::ServerCombo, "0", 3, 1, "3", "0"},      // refused, stays
        TypedCase{ComboId::ServerCombo, "0.4", 3, 1, "3", "0.4"},  // rounds to 0: refused
        TypedCase{ComboId::ServerCombo, "2 x", 3, 1, "3", "2 x"},  // not a number: refused
        TypedCase{ComboId::ServerCombo, "4", 3, 1, "3", "1"},      // above the length: put back
        TypedCase{ComboId::ServerCombo, "9", 3, 1, "3", "1"}));

TEST_F(FormTest, TypedLengthBelowTheServersIsPutBackWithoutAHandler)
{
    choose(ComboId::ServerCombo, "3");
    d().ServerCombo.list = {"stale"};  // would be rebuilt if the queue handler ran
    type(ComboId::QueueCombo, "2");
    DeliverTimerCheck(form);
    EXPECT_EQ(d().QueueCombo.text, "3");
    EXPECT_EQ(d().ServerCombo.list, Texts{"stale"});
}

TEST_F(FormTest, ARefusedZeroServerCountIsHandledAgainAtEveryCheck)
{
    type(ComboId::ServerCombo, "0");
    for (int k = 0; k < 3; ++k) {
        d().QueueCombo.list = {"stale"};
        DeliverTimerCheck(form);
        EXPECT_EQ(d().QueueCombo.list, Numbers(1, 10));
        EXPECT_EQ(d().ServerCombo.text, "0");
        EXPECT_EQ(sim().NumServers, 1);
    }
}

TEST_F(FormTest, ALengthAppliedByTheCheckOverwritesATypedServerCount)
{
    type(ComboId::QueueCombo, "6");
    type(ComboId::ServerCombo, "2");
    DeliverTimerCheck(form);
    EXPECT_EQ(sim().QueueLength, 6);
    EXPECT_EQ(sim().NumServers, 1);
    EXPECT_EQ(d().ServerCombo.text, "1");
}

struct ClampCase {
    const char* typed;
    const char* after;
};

class RateClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(RateClampTest, PullsBothRateBoxesBackIntoRange)
{
    for (const ComboId box : {ComboId::ArrivalCombo, ComboId::ServeRateCombo}) {
        Form form;
        FormLoad(form);
        ASSERT_TRUE(TypeText(form, box, GetParam().typed));
        DeliverTimerCheck(form);
        EXPECT_EQ(Combo(form.sim.display, box).text, GetParam().after) << ComboName(box);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, RateClampTest,
                         ::testing::Values(ClampCase{"-2", "0"}, ClampCase{"75", "20"}, ClampCase{"50", "50"},
                                           ClampCase{"50.5", "20"}, ClampCase{"0", "0"}, ClampCase{"abc", "abc"},
                                           ClampCase{"1e999", "20"}, ClampCase{"-1e999", "0"}, ClampCase{"- 5", "0"},
                                           ClampCase{"", ""}));

TEST_F(FormTest, ListOnlyBoxesCannotBeTypedInAndUnknownEntriesCannotBeChosen)
{
    EXPECT_FALSE(TypeText(form, ComboId::SourceCombo, "Gamma"));
    EXPECT_EQ(d().SourceCombo.text, "Exponential");
    EXPECT_FALSE(ChooseEntry(form, ComboId::QueueCombo, "11"));
    EXPECT_TRUE(ChooseEntry(form, ComboId::ServiceCombo, "Pareto 0.2"));
    EXPECT_EQ(d().ServiceCombo.text, "Pareto 0.2");
}

struct RunControlCase {
    std::vector<ButtonId> presses;
    const char* start;
    const char* pause;
    bool running;
    bool moving;
};

class RunControlTest : public ::testing::TestWithParam<RunControlCase> {};

TEST_P(RunControlTest, CaptionsAreTheState)
{
    Form form;
    FormLoad(form);
    for (const ButtonId press : GetParam().presses) {
        Click(form, press);
    }
    EXPECT_EQ(form.sim.display.StartButton, GetParam().start);
    EXPECT_EQ(form.sim.display.PauseButton, GetParam().pause);
    EXPECT_EQ(form.sim.Running, GetParam().running);
    EXPECT_EQ(form.sim.display.TimerMove.Enabled, GetParam().moving);
    EXPECT_TRUE(form.sim.display.TimerCheck.Enabled);
}

constexpr ButtonId kGo = ButtonId::StartButton;
constexpr ButtonId kPause = ButtonId::PauseButton;

INSTANTIATE_TEST_SUITE_P(Presses, RunControlTest,
                         ::testing::Values(RunControlCase{{}, "Go", "Pause", false, true},
                                           RunControlCase{{kGo}, "Stop", "Pause", true, true},
                                           RunControlCase{{kGo, kGo}, "Go", "Pause", false, true},
                                           RunControlCase{{kPause}, "Go", "Continue", false, false},
                                           RunControlCase{{kPause, kGo}, "Stop", "Continue", true, false},
                                           RunControlCase{{kGo, kPause, kGo}, "Go", "Continue", false, false},
                                           RunControlCase{{kPause, kGo, kGo, kPause}, "Go", "Pause", false, true},
                                           RunControlCase{{kGo, kPause, kPause}, "Stop", "Pause", true, true}));

TEST_F(FormTest, StopLetsPacketsFinishAndGoClearsTheModelButNotTheCountdown)
{
    type(ComboId::ArrivalCombo, "5");
    choose(ComboId::SourceCombo, "Regular");
    choose(ComboId::ServiceCombo, "Regular");
    type(ComboId::ServeRateCombo, "10");
    Click(form, kGo);
    ticks(150);
    Click(form, kGo);  // Stop
    const std::int32_t sourced = sim().PacketsSourced;
    const std::int32_t countdown = sim().source.TimeToNextArrival;
    ASSERT_GT(sim().QueueDepth + 0, 0);
    ticks(300);
    EXPECT_EQ(sim().PacketsSourced, sourced);
    EXPECT_EQ(sim().source.TimeToNextArrival, countdown);
    EXPECT_EQ(sim().PacketsServiced, sourced);  // everything in the system finished
    EXPECT_EQ(sim().QueueDepth, 0);
    Click(form, kGo);
    EXPECT_EQ(sim().PacketsServiced, 0);
    EXPECT_EQ(d().lblPacketsServiced.caption, "0");
    EXPECT_EQ(sim().SimTime, 0.0);
    EXPECT_EQ(sim().source.TimeToNextArrival, countdown);
}

TEST_F(FormTest, PauseFreezesTheClockWhileChecksGoOn)
{
    Click(form, kGo);
    ticks(320);
    DeliverTimerCheck(form);
    EXPECT_EQ(d().lblTime.caption, "3");
    Click(form, kPause);
    EXPECT_FALSE(DeliverTimerMove(form));
    choose(ComboId::QueueCombo, "5");  // the picture follows at once, even paused
    EXPECT_EQ(d().drawing.shpFIFOTop, 296.0F);
    DeliverTimerCheck(form);
    EXPECT_EQ(d().lblTime.caption, "3");
    EXPECT_EQ(sim().TickCount, 320);
}

// Whatever a user types into an editable box during a run, nothing breaks and
// the outcome is the documented one: the text a rate box shows after the
// once-a-second clamp and the rate the draws then use, and the queue length
// and server count in effect.
struct HostileCase {
    std::string text;
    std::string rateText;  // a rate box's text after the checks
    double rate;           // the rate that box's draws use; a refused text keeps the start-up 1
    int queueLength;       // after typing into the queue box (10 before)
    int servers;           // after typing into the server box (2 before)
};

class HostileTextTest : public ::testing::TestWithParam<HostileCase> {};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << '"' << c.text.substr(0, 24) << '"'; }

// Types the text into the box at every second of a four-second run.
Form& RunWithTyped(Form& form, ComboId box, const std::string& text)
{
    FormLoad(form);
    form.clockRandom.seed(77);
    ChooseEntry(form, ComboId::QueueCombo, "10");
    ChooseEntry(form, ComboId::ServerCombo, "2");
    Click(form, ButtonId::StartButton);
    for (int second = 0; second < 4; ++second) {
        EXPECT_TRUE(TypeText(form, box, text));
        for (int k = 0; k < 100; ++k) {
            DeliverTimerMove(form);
            EXPECT_EQ(CheckInvariants(form.sim), "");
        }
        DeliverTimerCheck(form);
        EXPECT_EQ(CheckInvariants(form.sim), "");
    }
    for (int k = 0; k < 300; ++k) {  // the rates written by the last check are drawn
        DeliverTimerMove(form);
    }
    const DisplayModel& d = form.sim.display;
    for (const Label* label : {&d.lblPercentDropped, &d.lblMeanWaitingTime, &d.lblStdDevWaitingTime,
                               &d.lblMeanPktsInQueue, &d.lblTime, &d.lblSeconds}) {
        EXPECT_EQ(label->caption.text().find_first_not_of(" .-0123456789%s"), std::string::npos) << label->caption;
    }
    return form;
}

TEST_P(HostileTextTest, ArrivalRate)
{
    Form form;
    RunWithTyped(form, ComboId::ArrivalCombo, GetParam().text);
    EXPECT_EQ(form.sim.display.ArrivalCombo.text, GetParam().rateText);
    EXPECT_EQ(form.sim.source.arrivalRate.lastGood(), GetParam().rate);
}

TEST_P(HostileTextTest, ServiceRate)
{
    Form form;
    RunWithTyped(form, ComboId::ServeRateCombo, GetParam().text);
    EXPECT_EQ(form.sim.display.ServeRateCombo.text, GetParam().rateText);
    EXPECT_EQ(form.sim.serviceRate.lastGood(), GetParam().rate);
}

TEST_P(HostileTextTest, QueueLength)
{
    Form form;
    RunWithTyped(form, ComboId::QueueCombo, GetParam().text);
    EXPECT_EQ(form.sim.QueueLength, GetParam().queueLength);
    EXPECT_EQ(form.sim.NumServers, 2);
}

TEST_P(HostileTextTest, Servers)
{
    Form form;
    RunWithTyped(form, ComboId::ServerCombo, GetParam().text);
    EXPECT_EQ(form.sim.NumServers, GetParam().servers);
    EXPECT_EQ(form.sim.QueueLength, 10);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostileTextTest,
    ::testing::Values(HostileCase{"", "", 1, 10, 2}, HostileCase{"   ", "   ", 1, 10, 2},
                      HostileCase{"-", "-", 1, 10, 2}, HostileCase{".", ".", 1, 10, 2}, HostileCase{"+", "+", 1, 10, 2},
                      HostileCase{"e", "e", 1, 10, 2}, HostileCase{"1e999", "20", 20, 10, 2},
                      HostileCase{"-1e999", "0", 1, 10, 2}, HostileCase{"1e-400", "1e-400", 1, 10, 2},
                      HostileCase{"NaN", "NaN", 1, 10, 2}, HostileCase{"inf", "inf", 1, 10, 2},
                      HostileCase{"0x10", "0x10", 1, 10, 2}, HostileCase{"&H10", "&H10", 1, 10, 2},
                      HostileCase{"1,5", "1,5", 1, 10, 2}, HostileCase{"3a", "3a", 1, 10, 2},
                      HostileCase{"2 x", "2 x", 1, 10, 2}, HostileCase{"   7  ", "   7  ", 7, 7, 2},
                      HostileCase{"1 2", "1 2", 1, 10, 2}, HostileCase{"-0", "-0", 1, 10, 2},
                      HostileCase{"0.0000001", "0.0000001", 1, 10, 2}, HostileCase{"2147483648", "20", 20, 10, 2},
                      HostileCase{"99999999999999999999", "20", 20, 10, 2},
                      HostileCase{"\xEF\xBC\x93", "\xEF\xBC\x93", 1, 10, 2},
                      HostileCase{std::string(10000, '7'), "20", 20, 10, 2},
                      HostileCase{std::string("4\0"
                                              "2",
                                              3),
                                  std::string("4\0"
                                              "2",
                                              3),
                                  1, 10, 2},
                      HostileCase{"5\n1", "5\n1", 1, 10, 2}, HostileCase{" 3 ", " 3 ", 3, 3, 3}));

// The counts, the clock and the times in the system spelt from the model's
// numbers as the labels show them, for whoever reads them at this moment.
std::vector<std::string> SpeltFromTheModel(const Simulation& sim)
{
    const bool served = sim.PacketsServiced > 0;
    return {NumberToText(sim.PacketsSourced),
            NumberToText(sim.PacketsServiced),
            NumberToText(sim.PacketsLost),
            sim.TickCount > 0 ? DecimalText(std::floor(sim.SimTime * 100.0) / 100.0) : "Time",
            served ? FormatStatistic(sim.MeanWaitingTime, " s") : "0",
            served ? FormatStatistic(sim.StdDevWaitingTime, " s") : "0"};
}

std::vector<std::string> Shown(const DisplayModel& d)
{
    std::vector<std::string> texts;
    for (const Label* label : {&d.lblPacketsSourced, &d.lblPacketsServiced, &d.lblPacketsLost, &d.lblSeconds,
                               &d.lblMeanWaitingTime, &d.lblStdDevWaitingTime}) {
        texts.emplace_back(label->caption.text());
    }
    return texts;
}

// Twin runs with the same random actions: one read after every tick, as the
// window reads it, the other only now and then, as the batch mode and the
// page do. Reading must change nothing, and whenever the labels are read they
// show the model's numbers of that moment.
TEST(CaptionTwinTest, LabelsReadNowAndThenShowWhatLabelsReadEveryTickShow)
{
    Form everyTick;
    Form nowAndThen;
    std::mt19937 pick(21);
    for (Form* form : {&everyTick, &nowAndThen}) {
        FormLoad(*form);
        form->clockRandom.seed(8);
        ChooseEntry(*form, ComboId::QueueCombo, "4");
        ChooseEntry(*form, ComboId::ServerCombo, "2");
        TypeText(*form, ComboId::ArrivalCombo, "20");
        TypeText(*form, ComboId::ServeRateCombo, "5");
        Click(*form, ButtonId::StartButton);
    }
    const Texts rates{"0.5", "2", "5", "20", "50"};
    int reads = 0;
    std::int64_t served = 0;
    for (int tick = 1; tick <= 60000; ++tick) {
        const auto action = pick() % 2000;
        const std::string& rate = rates[pick() % rates.size()];
        for (Form* form : {&everyTick, &nowAndThen}) {
            if (action == 0) {
                // Go clears the counts: keep what the run had served.
                served += form == &everyTick && !form->sim.Running ? form->sim.PacketsServiced : 0;
                Click(*form, ButtonId::StartButton);
            } else if (action == 1) {
                TypeText(*form, ComboId::ServeRateCombo, rate);
            } else if (action == 2) {
                TypeText(*form, ComboId::ArrivalCombo, rate);
            }
            DeliverTimerMove(*form);
            if (tick % 100 == 0) {
                DeliverTimerCheck(*form);
            }
        }
        ASSERT_EQ(Shown(everyTick.sim.display), SpeltFromTheModel(everyTick.sim)) << "tick " << tick;
        if (pick() % 997 == 0) {
            ++reads;
            ASSERT_EQ(Shown(nowAndThen.sim.display), SpeltFromTheModel(nowAndThen.sim)) << "tick " << tick;
            ASSERT_TRUE(nowAndThen.sim.display == everyTick.sim.display) << "tick " << tick;
        }
    }
    EXPECT_GT(reads, 20);
    EXPECT_GT(served + everyTick.sim.PacketsServiced, 500) << "the run hardly ran";
    EXPECT_TRUE(nowAndThen.sim.display == everyTick.sim.display);
}

}  // namespace
}  // namespace waitline
