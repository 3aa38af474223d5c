// waitline-soak: runs the demo headless for many simulated hours at the
// hardest settings, checks the model after every tick and watches the
// process's memory. Prints one line of figures per setting; exits non-zero
// on a broken invariant or on memory that grows once the run has settled.
//
//   waitline-soak HOURS

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "control/form.h"
#include "engine/invariants.h"

namespace {

using namespace waitline;

// Kilobytes from a line of /proc/self/status such as "VmRSS:  1234 kB".
long StatusKilobytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
        }
    }
    return -1;
}

// Resident memory a run may gain once it has settled: some pages of slack for
// the allocator, yet less than one small block leaked per packet comes to in
// an hour at 50 packets a second.
constexpr long kAllowedGrowthKb = 256;

struct Setting {
    const char* name;
    const char* distribution;
    const char* rate;
    const char* queueLength;
    const char* servers;
};

bool Soak(const Setting& setting, long hours)
{
    Form form;
    FormLoad(form);
    form.clockRandom.seed(2024);
    ChooseEntry(form, ComboId::SourceCombo, setting.distribution);
    ChooseEntry(form, ComboId::ServiceCombo, setting.distribution);
    TypeText(form, ComboId::ArrivalCombo, setting.rate);
    TypeText(form, ComboId::ServeRateCombo, setting.rate);
    ChooseEntry(form, ComboId::QueueCombo, setting.queueLength);
    ChooseEntry(form, ComboId::ServerCombo, setting.servers);
    Click(form, ButtonId::StartButton);

    // Memory is taken once the run has settled, after its first tenth and at
    // most its first hour, and must stay within kAllowedGrowthKb of that to
    // the end: the model's packets and places are fixed, so growth is a leak.
    const long ticksPerHour = 360000;
    const long ticks = hours * ticksPerHour;
    const long settledTicks = std::min(ticksPerHour, ticks / 10);
    long settledRss = 0;
    for (long tick = 0; tick < ticks; ++tick) {
        DeliverTimerMove(form);
        if (tick % 100 == 99) {
            DeliverTimerCheck(form);
        }
        const std::string trouble = CheckInvariants(form.sim);
        if (!trouble.empty()) {
            std::printf("%s: hour %ld tick %ld: %s\n", setting.name, tick / ticksPerHour, tick % ticksPerHour,
                        trouble.c_str());
            return false;
        }
        if (tick + 1 == settledTicks) {
            settledRss = StatusKilobytes("VmRSS");
        }
    }
    const long long packets = form.sim.PacketsSourced;
    const long rss = StatusKilobytes("VmRSS");
    const long settledMinutes = settledTicks / (ticksPerHour / 60);
    std::printf(
        "%-22s %ld h  %ld ticks  %lld sourced  %d served  %d lost  %d withdrawn  %s  rss %ld kB (after %ld min %ld kB)"
        "  peak %ld kB\n",
        setting.name, hours, static_cast<long>(form.sim.TickCount), packets, form.sim.PacketsServiced,
        form.sim.PacketsLost, form.sim.PacketsWithdrawn, form.sim.display.lblMeanWaitingTime.caption.text().c_str(),
        rss, settledMinutes, settledRss, StatusKilobytes("VmHWM"));
    if (settledRss <= 0 || rss <= 0) {
        std::printf("%s: cannot read the resident memory from /proc/self/status\n", setting.name);
        return false;
    }
    if (rss > settledRss + kAllowedGrowthKb) {
        std::printf("%s: memory grew from %ld kB after %ld min to %ld kB, more than %ld kB\n", setting.name, settledRss,
                    settledMinutes, rss, kAllowedGrowthKb);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const long hours = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1;
    if (hours < 1) {
        std::fprintf(stderr, "usage: waitline-soak HOURS\n");
        return 2;
    }
    const Setting settings[] = {
        {"Exponential 50/50", "Exponential", "50", "10", "5"},
        {"Pareto 0.1 at 0.1", "Pareto 0.1", "0.1", "10", "5"},
    };
    bool sound = true;
    for (const Setting& setting : settings) {
        sound = Soak(setting, hours) && sound;
    }
    return sound ? 0 : 1;
}
