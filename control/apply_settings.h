#pragma once

#include <string>

#include "control/form.h"
#include "statistics/run_record.h"

namespace waitline {

// Sets the six settings the way a user sets them: chooses the two
// distributions, types the two rates, and chooses the queue length before the
// server count (the server list is cut to the queue length). False when a box
// refuses what it is given.
bool ApplySettings(Form& form, const SeriesSettings& settings);

// A rate in plain decimal, as a user would type it: the shortest text that
// the demo reads back as the same rate.
std::string RateText(double rate);

}  // namespace waitline
