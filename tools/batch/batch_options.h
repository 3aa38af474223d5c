#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "tools/batch/batch_run.h"

// The command line of waitline-batch, GNU style: --name VALUE or --name=VALUE.
namespace waitline::batch {

enum class Format : std::uint8_t { Table, Csv, Json };

// The demo's limits, as its boxes keep them.
inline constexpr double kHighestRate = kRateCeiling;      // the window's check puts faster typed rates back
inline constexpr std::int64_t kMostSeconds = 20'000'000;  // the tick counter stops a little beyond
inline constexpr int kMostReplications = 10'000;

struct Options {
    Settings settings;
    Format format = Format::Table;
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
