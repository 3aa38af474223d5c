#pragma once

#include <cstdint>

#include "engine/simulation.h"

namespace waitline {

// Who calls the arrival process: start-up, once, which makes an arrival due at
// the first tick after Go; or the tick, every time.
enum class SourceCall : std::uint8_t { StartUp, Tick };

void SourceTick(Simulation& sim, SourceCall call);

}  // namespace waitline
