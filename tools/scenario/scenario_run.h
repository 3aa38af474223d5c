#pragma once

#include <string>

#include "tools/scenario/scenario_window.h"

namespace waitline::scenario {

// Exit statuses of a scenario run besides 0, the whole script ran.
inline constexpr int kUnrunnableLine = 2;
inline constexpr int kRandomExhausted = 3;

// Starts the window and runs the script in the file, or on standard input for
// "-", one line at a time: dumps go to standard output, the first failing
// line's reason to standard error. Returns the exit status.
int RunScenario(ScenarioWindow& window, const std::string& file);

}  // namespace waitline::scenario
