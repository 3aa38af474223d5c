// waitline-soak: runs the demo headless for many simulated hours at the
// hardest settings, checks the model after every tick and watches the
// process's memory. Prints one line of figures per setting; exits non-zero
// on a broken invariant or growing memory.
//
//   waitline-soak HOURS

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

    const long ticksPerHour = 360000;
    long rssAfterFirstHour = 0;
    long long packets = 0;
    for (long hour = 0; hour < hours; ++hour) {
        for (long tick = 0; tick < ticksPerHour; ++tick) {
            DeliverTimerMove(form);
            if (tick % 100 == 99) {
                DeliverTimerCheck(form);
            }
            const std::string trouble = CheckInvariants(form.sim);
            if (!trouble.empty()) {
                std::printf("%s: hour %ld tick %ld: %s\n", setting.name, hour, tick, trouble.c_str());
                return false;
            }
        }
        if (hour == 0) {
            rssAfterFirstHour = StatusKilobytes("VmRSS");
        }
    }
    packets = form.sim.PacketsSourced;
    const long rss = StatusKilobytes("VmRSS");
    std::printf(
        "%-22s %ld h  %ld ticks  %lld sourced  %d served  %d lost  %d withdrawn  %s  rss %ld kB (after 1 h %ld kB)"
        "  peak %ld kB\n",
        setting.name, hours, static_cast<long>(form.sim.TickCount), packets, form.sim.PacketsServiced,
        form.sim.PacketsLost, form.sim.PacketsWithdrawn, form.sim.display.lblMeanWaitingTime.caption.c_str(), rss,
        rssAfterFirstHour, StatusKilobytes("VmHWM"));
    if (hours > 1 && rss > rssAfterFirstHour + 256) {
        std::printf("%s: memory grew from %ld kB to %ld kB\n", setting.name, rssAfterFirstHour, rss);
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
