#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "control/form.h"

// The scenario language: one command a line, read into plain values that the
// runner then delivers to the window.
namespace waitline::script {

struct Random {
    std::vector<float> values;
};
struct Seed {
    std::uint64_t seed = 0;
};
struct Type {
    ComboId box;
    std::string text;
};
struct Choose {
    ComboId box;
    std::string entry;
};
struct ClickButton {
    ButtonId button;
};
struct Tick {
    std::uint64_t count = 1;
};
struct Check {
    std::uint64_t count = 1;
};
struct Run {
    std::uint64_t seconds = 0;
};
struct Dump {};
struct Snapshot {
    std::string file;
};

using Command = std::variant<Random, Seed, Type, Choose, ClickButton, Tick, Check, Run, Dump, Snapshot>;

struct Parsed {
    std::optional<Command> command;  // empty for a blank line or a comment
    std::string error;               // set when the line cannot be run
};

Parsed ParseLine(std::string_view line);

}  // namespace waitline::script
