#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runs/sweep.h"

// The command line of waitline-batch, GNU style: --name VALUE or --name=VALUE.
namespace waitline::batch {

enum class Format : std::uint8_t { Table, Csv, Json };

// The demo's limits, as its boxes keep them.
inline constexpr double kHighestRate = kRateCeiling;      // the window's check puts faster typed rates back
inline constexpr std::int64_t kMostSeconds = 20'000'000;  // the tick counter stops a little beyond
inline constexpr int kMostReplications = 10'000;
inline constexpr int kMostJobs = 1024;
inline constexpr std::size_t kMostSweeps = 2;

struct Options {
    Settings settings;
    Format format = Format::Table;
    std::vector<SweepAxis> sweeps;  // none: one run; two: a grid, the first outermost
    unsigned jobs = 0;              // worker threads; 0: one per usable core
};

struct ParsedOptions {
    enum class Action : std::uint8_t { Run, Help, Version, Refuse };
    Action action = Action::Run;
    Options options;
    std::string error;  // for Refuse: one line, naming the option and what it allows
};

// The arguments after the program's name.
ParsedOptions ParseOptions(std::span<const std::string_view> arguments);

// What --help prints.
std::string UsageText();

}  // namespace waitline::batch
