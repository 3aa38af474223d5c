// Runs the window-free tick a given number of times after a fixed warm-up,
// for instruction counts under callgrind:
//
//   tick_runner light|heavy|heavy-recorded TICKS
//
// Instructions per tick = (count with TICKS = N - count with TICKS = 0) / N.
// heavy-recorded is heavy with the analysis record following the run.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "control/form.h"
#include "statistics/run_record.h"
#include "tests/support/load.h"

int main(int argc, char** argv)
{
    using namespace waitline;
    if (argc != 3) {
        std::fputs("usage: tick_runner light|heavy|heavy-recorded TICKS\n", stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    const bool recorded = mode == "heavy-recorded";
    const Load load = mode == "heavy" || recorded ? Load::Heavy : Load::Light;
    const long ticks = std::strtol(argv[2], nullptr, 10);
    Form form;
    RunRecord record;
    StartWarmRun(form, load);
    if (recorded) {
        form.record = &record;
        record.restart(form.sim);
    }
    long delivered = 0;
    for (long k = 1; k <= ticks; ++k) {
        delivered += DeliverTimerMove(form) ? 1 : 0;
        if (k % 100 == 0) {
            DeliverTimerCheck(form);
        }
    }
    std::printf("%ld ticks, %d packets sourced\n", delivered, form.sim.PacketsSourced);
    return 0;
}
