// waitline-batch --seed N gives exactly the statistics the scenario runner
// dumps after `seed N`, the same settings, `click StartButton` and `run S`:
// both programs run as they are installed, the runner with the real window
// off screen. And replications come out the same on any number of threads.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <string>
#include <string_view>

#include "control/form.h"
#include "runs/batch_run.h"
#include "statistics/measures.h"
#include "statistics/run_record.h"

namespace waitline::batch {
namespace {

struct Case {
    const char* name;
    const char* arrival;
    const char* service;
    const char* arrivalRate;
    const char* serviceRate;
    int queueLength;
    int servers;
    int seconds;
    int seed;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Output(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    std::array<char, 4096> buffer{};
    for (std::size_t n = 0; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
        text.append(buffer.data(), n);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    return text;
}

// The number after "key": in a line of JSON, where the key appears once.
double Number(std::string_view json, std::string_view key)
{
    const std::string quoted = "\"" + std::string(key) + "\":";
    const std::size_t at = json.find(quoted);
    EXPECT_NE(at, std::string_view::npos) << key << " in " << json;
    if (at == std::string_view::npos) {
        return -1.0;
    }
    const char* first = json.data() + at + quoted.size();
    double value = 0.0;
    const auto result = std::from_chars(first, json.data() + json.size(), value);
    EXPECT_EQ(result.ec, std::errc{}) << key;
    return value;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

class SameAsWindow : public ::testing::TestWithParam<Case> {};

TEST_P(SameAsWindow, GivesTheScenarioRunnersStatistics)
{
    const Case& c = GetParam();
    const std::string script = ::testing::TempDir() + "batch_" + c.name + ".scn";
    std::ofstream(script) << "seed " << c.seed << "\nchoose SourceCombo " << c.arrival << "\nchoose ServiceCombo "
                          << c.service << "\ntype ArrivalCombo " << c.arrivalRate << "\ntype ServeRateCombo "
                          << c.serviceRate << "\nchoose QueueCombo " << c.queueLength << "\nchoose ServerCombo "
                          << c.servers << "\nclick StartButton\nrun " << c.seconds << "\ndump\n";
    const std::string window = Output(Quoted(WAITLINE_SCENARIO) + " " + Quoted(script));
    const std::string batch =
        Output(Quoted(WAITLINE_BATCH) + " --format json --seed " + std::to_string(c.seed) + " --arrival " +
               Quoted(c.arrival) + " --service " + Quoted(c.service) + " --arrival-rate " + c.arrivalRate +
               " --service-rate " + c.serviceRate + " --queue-length " + std::to_string(c.queueLength) + " --servers " +
               std::to_string(c.servers) + " --seconds " + std::to_string(c.seconds));
    const std::size_t simulatedAt = batch.find("\"simulated\":");
    ASSERT_NE(simulatedAt, std::string::npos) << batch;
    const std::string_view simulated =
        std::string_view(batch).substr(simulatedAt, batch.find('}', simulatedAt) - simulatedAt);

    ASSERT_GT(Number(window, "PacketsServiced"), 0.0);
    EXPECT_EQ(Number(simulated, "sourced"), Number(window, "PacketsSourced"));
    EXPECT_EQ(Number(simulated, "served"), Number(window, "PacketsServiced"));
    EXPECT_EQ(Number(simulated, "lost"), Number(window, "PacketsLost"));
    EXPECT_EQ(Number(simulated, "loss"), Number(window, "PercentDropped") / 100.0);
    EXPECT_EQ(Number(simulated, "mean_time_in_system"), Number(window, "MeanWaitingTime"));
    EXPECT_EQ(Number(simulated, "sd_time_in_system"), Number(window, "StdDevWaitingTime"));
    EXPECT_EQ(Number(simulated, "mean_in_system"), Number(window, "MeanPktsInQueue"));
}

INSTANTIATE_TEST_SUITE_P(Settings, SameAsWindow,
                         ::testing::Values(
                             // Neither distribution exponential, a sixth of the packets lost.
                             Case{"UniformParetoWithLosses", "Uniform", "Pareto 0.2", "3", "1.5", 4, 2, 300, 7},
                             // The heavy load: many packets in flight and several served in a tick.
                             Case{"HeavyLoad", "Exponential", "Exponential", "50", "50", 10, 5, 120, 1},
                             // Fast even arrivals that five servers cannot keep up with.
                             Case{"RegularArrivalsOverloaded", "Regular", "Exponential", "20", "3", 10, 5, 200, 42},
                             // Rates that are not list entries, one place, seed 0.
                             Case{"TypedRatesOnePlace", "Pareto 0.5", "Regular", "2.5", "0.8", 1, 1, 150, 0}),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

bool SameTotals(const RunTotals& a, const RunTotals& b)
{
    return a.ticks == b.ticks && a.elapsedMs == b.elapsedMs && a.sourced == b.sourced && a.lost == b.lost &&
           a.served == b.served && a.timeInSystemMs == b.timeInSystemMs && a.waitMs == b.waitMs &&
           a.depthTicks == b.depthTicks && a.busyTicks == b.busyTicks;
}

bool SameStatistics(const DemoStatistics& a, const DemoStatistics& b)
{
    return a.sourced == b.sourced && a.served == b.served && a.lost == b.lost &&
           std::all_of(kMeasures.begin(), kMeasures.end(),
                       [&](const Measure& m) { return a.values.*m.simulated == b.values.*m.simulated; });
}

// Two servers and five places at the given rates.
Settings Queue(double arrivalRate, double serviceRate, std::int64_t seconds, std::uint64_t seed)
{
    Settings settings;
    settings.arrivalRate = arrivalRate;
    settings.serviceRate = serviceRate;
    settings.servers = 2;
    settings.queueLength = 5;
    settings.seconds = seconds;
    settings.seed = seed;
    return settings;
}

// The analysis window, open from Go, sees the run the batch mode reports:
// its measures from the totals of a run are the batch mode's.
TEST(AnalysisRecord, MeasuresWhatTheBatchModeReports)
{
    const Settings settings = Queue(3.0, 2.0, 400, 12);
    const ReplicationResult batch = RunReplication(settings, settings.seed);

    Form form;
    FormLoad(form);
    form.clockRandom.seed(settings.seed);
    ApplySettings(form, settings);
    RunRecord record;
    form.record = &record;
    Click(form, ButtonId::StartButton);
    for (std::int64_t second = 0; second < settings.seconds; ++second) {
        for (int tick = 0; tick < 100; ++tick) {
            DeliverTimerMove(form);
        }
        DeliverTimerCheck(form);
    }
    const SeriesMeasures window = record.measures();
    EXPECT_EQ(window.served, batch.demo.served);
    for (const std::string_view key : {"mean_waiting_time", "mean_queue", "throughput", "utilisation"}) {
        const Measure& m = MeasureKeyed(key);
        EXPECT_EQ(window.values.*m.simulated, batch.demo.values.*m.simulated) << key;
        EXPECT_GT(window.values.*m.simulated, 0.0) << key;
    }
}

TEST(Replications, UseSeedPlusIndexWhateverTheThreads)
{
    Settings settings = Queue(8.0, 3.0, 120, 90);
    settings.warmup = 20;
    settings.replications = 5;
    const std::vector<ReplicationResult> oneThread = RunReplications(settings, {1});
    const std::vector<ReplicationResult> twoThreads = RunReplications(settings, {2});
    ASSERT_EQ(oneThread.size(), 5U);
    ASSERT_EQ(twoThreads.size(), 5U);
    for (std::size_t i = 0; i < oneThread.size(); ++i) {
        const ReplicationResult alone = RunReplication(settings, settings.seed + i);
        EXPECT_TRUE(SameStatistics(oneThread[i].demo, alone.demo)) << i;
        EXPECT_TRUE(SameStatistics(twoThreads[i].demo, alone.demo)) << i;
        EXPECT_TRUE(SameTotals(twoThreads[i].afterWarmup, alone.afterWarmup)) << i;
    }
    // Replications differ from each other.
    EXPECT_NE(oneThread[0].demo.sourced, oneThread[1].demo.sourced);

    const Summary summary = Summarise(settings, twoThreads);
    std::int64_t lost = 0;
    MeasureValues sums;
    for (const ReplicationResult& r : oneThread) {
        lost += r.demo.lost;
        for (const Measure& m : kMeasures) {
            sums.*m.simulated += r.demo.values.*m.simulated;
        }
    }
    EXPECT_EQ(summary.simulated.lost, lost);
    for (const Measure& m : kMeasures) {
        EXPECT_EQ(summary.simulated.values.*m.simulated, sums.*m.simulated / 5.0) << m.key;
        if (m.interval != nullptr) {
            EXPECT_TRUE(summary.ci95.*m.interval) << m.key;
        }
    }
}

}  // namespace
}  // namespace waitline::batch
