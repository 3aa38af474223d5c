// Runs the window-free tick a given number of times after a fixed warm-up,
// for instruction counts under callgrind:
//
//   tick_runner light|heavy TICKS
//
// Instructions per tick = (count with TICKS = N - count with TICKS = 0) / N.

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "control/form.h"
#include "tests/support/load.h"

int main(int argc, char** argv)
{
    using namespace waitline;
    if (argc != 3) {
        std::fputs("usage: tick_runner light|heavy TICKS\n", stderr);
        return 2;
    }
    const Load load = std::string_view(argv[1]) == "heavy" ? Load::Heavy : Load::Light;
    const long ticks = std::strtol(argv[2], nullptr, 10);
    Form form;
    StartWarmRun(form, load);
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
