#pragma once

#include <string>

#include "engine/simulation.h"

namespace waitline {

// Checks that the model agrees with itself; used by tests and fuzzers, never
// by the shipped tick. Returns an empty text when all is well, otherwise a
// description of the first disagreement found.
std::string CheckInvariants(const Simulation& sim);

}  // namespace waitline
