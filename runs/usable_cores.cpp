#include "runs/usable_cores.h"

#include <algorithm>
#include <thread>

#if defined(__linux__)
#include <sched.h>
#endif

namespace waitline::batch {

unsigned UsableCores()
{
#if defined(__linux__)
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof(allowed), &allowed) == 0) {
        return static_cast<unsigned>(std::max(CPU_COUNT(&allowed), 1));
    }
#endif
    return std::max(std::thread::hardware_concurrency(), 1U);
}

}  // namespace waitline::batch
