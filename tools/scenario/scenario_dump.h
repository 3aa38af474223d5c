#pragma once

#include <string>
#include <vector>

#include "tools/scenario/scenario_window.h"

namespace waitline::scenario {

// The whole state as one line of JSON: the model's figures, and the captions,
// boxes and drawing as the window shows them.
std::string DumpJson(const ScenarioWindow& window, const std::vector<std::string>& messages);

}  // namespace waitline::scenario
