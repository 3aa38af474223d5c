// Runs the window-free tick a given number of times after a fixed warm-up,
// for instruction counts under callgrind:
//
//   tick_runner light|heavy|heavy-recorded|batch-heavy TICKS
//
// Instructions per tick = (count with TICKS = N - count with TICKS = 0) / N.
// light is the start-up settings (arrivals and service at 1 per second, one
// server, queue length 3), heavy the window's heavy load (rates 50, five
// servers, queue length 10), heavy-recorded that with the analysis record
// following the run, and batch-heavy the batch mode's heavy load (arrivals at
// 20, service at 5, five servers, queue length 10). floor_runner takes the
// same loads.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "control/form.h"
#include "statistics/run_record.h"
#include "tests/support/load.h"

int main(int argc, char** argv)
{
    using namespace waitline;
    constexpr const char* kUsage = "usage: tick_runner light|heavy|heavy-recorded|batch-heavy TICKS\n";
    if (argc != 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view mode = argv[1];
    const bool recorded = mode == "heavy-recorded";
    Load load = Load::Light;
    if (mode == "heavy" || recorded) {
        load = Load::Heavy;
    } else if (mode == "batch-heavy") {
        load = Load::BatchHeavy;
    } else if (mode != "light") {
        std::fputs(kUsage, stderr);
        return 2;
    }
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
