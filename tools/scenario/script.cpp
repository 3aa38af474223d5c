#include "tools/scenario/script.h"

#include <charconv>

#include "engine/decimal_chars.h"
#include "engine/number_text.h"
#include "engine/translatable.h"

namespace waitline::script {

namespace {

bool IsBlankLine(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

// Splits "word rest" at the first blank; rest keeps every blank after it.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text)
{
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) {
        return {text, {}};
    }
    return {text.substr(0, blank), text.substr(blank + 1)};
}

// A plain decimal such as 0.5 (no sign, no exponent) that is in [0, 1) once
// it has been made a Single.
std::optional<float> RandomValue(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos ||
        text.find('.') != text.rfind('.') || text.find_first_of("0123456789") == std::string_view::npos) {
        return std::nullopt;
    }
    // Read straight into a Single: going through a Double could round twice.
    float single = 0.0F;
    const auto result = chars::FromChars(text.data(), text.data() + text.size(), single);
    if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    if (!(single >= 0.0F && single < 1.0F)) {
        return std::nullopt;
    }
    return single;
}

Parsed Error(std::string text) { return Parsed{std::nullopt, std::move(text)}; }

Parsed Counted(std::string_view name, std::string_view argument)
{
    std::uint64_t count = 1;
    if (!argument.empty()) {
        const auto value = DigitsNumber(argument);
        if (!value) {
            return Error(WAITLINE_TR("waitline-scenario", "bad number: ") + std::string(argument));
        }
        count = *value;
    }
    if (name == "tick") {
        return Parsed{Tick{count}, {}};
    }
    return Parsed{Check{count}, {}};
}

Parsed ParseRandom(std::string_view rest)
{
    Random random;
    while (!rest.empty()) {
        auto [word, tail] = SplitWord(rest);
        rest = tail;
        if (word.empty()) {
            continue;
        }
        const auto value = RandomValue(word);
        if (!value) {
            return Error(WAITLINE_TR("waitline-scenario", "bad random value: ") + std::string(word));
        }
        random.values.push_back(*value);
    }
    if (random.values.empty()) {
        return Error(WAITLINE_TR("waitline-scenario", "random needs at least one value"));
    }
    return Parsed{random, {}};
}

Parsed ParseBoxCommand(std::string_view name, std::string_view rest)
{
    const auto [control, text] = SplitWord(rest);
    const auto box = ComboByName(control);
    if (!box) {
        return Error(WAITLINE_TR("waitline-scenario", "unknown control: ") + std::string(control));
    }
    if (name == "type") {
        return Parsed{Type{*box, std::string(text)}, {}};
    }
    return Parsed{Choose{*box, std::string(text)}, {}};
}

}  // namespace

Parsed ParseLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (IsBlankLine(line)) {
        return {};
    }
    // Blanks before the command are allowed, as they are before a comment.
    line.remove_prefix(line.find_first_not_of(" \t"));
    const auto [name, text] = SplitWord(line);
    if (name == "type" || name == "choose") {
        return ParseBoxCommand(name, text);  // their text keeps every blank
    }
    std::string_view rest = text;
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
        rest.remove_suffix(1);
    }
    if (name == "random") {
        return ParseRandom(rest);
    }
    if (name == "seed") {
        const auto seed = DigitsNumber(rest);
        if (!seed) {
            return Error(WAITLINE_TR("waitline-scenario", "bad number: ") + std::string(rest));
        }
        return Parsed{Seed{*seed}, {}};
    }
    if (name == "click") {
        const auto button = ButtonByName(rest);
        if (!button) {
            return Error(WAITLINE_TR("waitline-scenario", "unknown button: ") + std::string(rest));
        }
        return Parsed{ClickButton{*button}, {}};
    }
    if (name == "tick" || name == "check") {
        return Counted(name, rest);
    }
    if (name == "run") {
        const auto seconds = DigitsNumber(rest);
        if (!seconds) {
            return Error(WAITLINE_TR("waitline-scenario", "bad number: ") + std::string(rest));
        }
        return Parsed{Run{*seconds}, {}};
    }
    if (name == "dump") {
        return rest.empty() ? Parsed{Dump{}, {}} : Error(WAITLINE_TR("waitline-scenario", "dump takes no argument"));
    }
    if (name == "snapshot") {
        return rest.empty() ? Error(WAITLINE_TR("waitline-scenario", "snapshot needs a file name"))
                            : Parsed{Snapshot{std::string(rest)}, {}};
    }
    return Error(WAITLINE_TR("waitline-scenario", "unknown command: ") + std::string(name));
}

}  // namespace waitline::script
