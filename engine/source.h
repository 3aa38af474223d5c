#pragma once

#include "engine/simulation.h"

namespace waitline {

// The arrival process, once per tick (mode 1) and once at start-up (mode 0,
// which makes an arrival due at the first tick after Go).
void SourceTick(Simulation& sim, int mode);

}  // namespace waitline
