// The web page's side of the demo, natively: what it reads from an address,
// what it hands the page, and its timer events at each lecture speed.
#include "web/page.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "control/form.h"

namespace waitline::web {
namespace {

// The text of a string member of the state or notices, unescaped enough for
// the plain texts these tests look at.
std::string Member(const std::string& json, std::string_view key)
{
    const std::string marker = "\"" + std::string(key) + "\":\"";
    const std::size_t start = json.find(marker);
    if (start == std::string::npos) {
        return "<none>";
    }
    const std::size_t from = start + marker.size();
    return json.substr(from, json.find('"', from) - from);
}

std::size_t Count(const std::string& text, std::string_view part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

struct AddressCase {
    const char* query;
    const char* address;  // the settings in effect afterwards, as the page writes them back
    std::size_t notices;  // how many are named as bad or unknown
};

class AddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(AddressTest, ReadsGoodSettingsAndNamesBadOnes)
{
    Page page(42);
    const std::string notices = page.readAddress(GetParam().query);
    EXPECT_EQ(Count(notices, "\"The address"), GetParam().notices) << notices;
    EXPECT_EQ(Member(page.stateJson(), "address"), GetParam().address);
}

constexpr const char* kDefaults =
    "arrival=Exponential&service=Exponential&arrival-rate=1&service-rate=1&servers=1&queue-length=3&seed=42";

INSTANTIATE_TEST_SUITE_P(
    Queries, AddressTest,
    testing::Values(
        AddressCase{"", kDefaults, 0},
        AddressCase{"arrival=Regular&arrival-rate=3&servers=2&queue-length=5&seed=7",
                    "arrival=Regular&service=Exponential&arrival-rate=3&service-rate=1&servers=2&queue-length=5&seed=7",
                    0},
        // Percent-encoded blanks and plus signs, as browsers write them.
        AddressCase{"service=Pareto%200.5&arrival=Pareto+0.1&service-rate=0.000001",
                    "arrival=Pareto 0.1&service=Pareto 0.5&arrival-rate=1&service-rate=0.000001&servers=1&"
                    "queue-length=3&seed=42",
                    0},
        AddressCase{"arrival-rate=50&service-rate=2.5",
                    "arrival=Exponential&service=Exponential&arrival-rate=50&service-rate=2.5&servers=1&queue-length=3&"
                    "seed=42",
                    0},
        // Out of range, not numbers, unknown names, markup: each named once,
        // and the rest still read.
        AddressCase{"arrival-rate=51&service-rate=0&servers=6&queue-length=0&seed=-1", kDefaults, 5},
        AddressCase{"arrival=exponential&servers=two&colour=red&&=&x", kDefaults, 5},
        AddressCase{"servers=%3Cscript%3Ealert(1)%3C/script%3E&queue-length=4",
                    "arrival=Exponential&service=Exponential&arrival-rate=1&service-rate=1&servers=1&queue-length=4&"
                    "seed=42",
                    1},
        // More servers than places: one server.
        AddressCase{"servers=4&queue-length=2",
                    "arrival=Exponential&service=Exponential&arrival-rate=1&service-rate=1&servers=1&queue-length=2&"
                    "seed=42",
                    1},
        AddressCase{"seed=18446744073709551615",
                    "arrival=Exponential&service=Exponential&arrival-rate=1&service-rate=1&servers=1&queue-length=3&"
                    "seed=18446744073709551615",
                    0},
        AddressCase{"seed=18446744073709551616%", kDefaults, 1}));

// What the page writes back reads back to itself.
TEST(Page, AddressItWritesReadsBackTheSame)
{
    Page first(5);
    first.readAddress("arrival=Uniform&service=Regular&arrival-rate=0.125&service-rate=7&servers=3&queue-length=9");
    const std::string address = Member(first.stateJson(), "address");
    Page second(99);
    EXPECT_EQ(second.readAddress(address), "[]");
    EXPECT_EQ(Member(second.stateJson(), "address"), address);
}

// An event of the move timer runs as many ticks as the speed asks, the same
// ticks as the controller's own timer events.
TEST(Page, MoveEventsRunTheTicksOfTheirSpeed)
{
    for (const LectureSpeed speed : kLectureSpeeds) {
        Page page(11);
        page.setSpeed(speed);
        page.click(ButtonId::StartButton);
        Form form;
        FormLoad(form);
        SeededRandom random(11);
        form.sim.random = &random;
        Click(form, ButtonId::StartButton);
        const int ticks = Pacing(speed, kTickMs).ticksPerEvent;
        for (int event = 0; event < 300; ++event) {
            ASSERT_EQ(page.moveEvent(), ticks);
            for (int k = 0; k < ticks; ++k) {
                DeliverTimerMove(form);
            }
        }
        page.checkEvent();
        DeliverTimerCheck(form);
        const std::string state = page.stateJson();
        EXPECT_NE(state.find("\"lblPacketsSourced\":[\"" + form.sim.display.lblPacketsSourced.caption.text() + "\""),
                  std::string::npos)
            << SpeedName(speed) << ": " << state.substr(0, 400);
        EXPECT_NE(state.find("\"lblMeanWaitingTime\":[\"" + form.sim.display.lblMeanWaitingTime.caption.text() + "\""),
                  std::string::npos)
            << SpeedName(speed);
        EXPECT_GT(Count(state, "],["), 0U) << "packets are shown";
    }
}

// Paused, the timer's event runs nothing, and Step runs one tick.
TEST(Page, PausedRunsOnlyItsSteps)
{
    Page page(3);
    page.click(ButtonId::StartButton);
    page.click(ButtonId::PauseButton);
    EXPECT_EQ(page.moveEvent(), 0);
    EXPECT_TRUE(page.step());
    page.click(ButtonId::PauseButton);
    EXPECT_FALSE(page.step());
    EXPECT_EQ(page.moveEvent(), 1);
}

}  // namespace
}  // namespace waitline::web
