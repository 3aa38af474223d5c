#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every way the program turns text into numbers and numbers into text. None of
// these depends on the user's locale: the point is always the decimal separator.
namespace waitline {

// The value of the longest leading part of the text that reads as a decimal
// number, with blanks skipped anywhere (a 1, a blank and a 2 read as 12).
// Text that does not begin with a number reads as 0. Never fails and never
// returns a value that is not finite: a number too large for a Double reads as
// the largest Double of its sign, one too small as 0.
double LeadingNumber(std::string_view text);

// The whole text read as one decimal number, blanks allowed only before and
// after it. Empty when the text is anything else or the value is not finite.
std::optional<double> StrictNumber(std::string_view text);

// The strict number rounded to the nearest whole number, halves to the even
// neighbour. Empty when the text is not a number or the result leaves the
// 16-bit range.
std::optional<std::int16_t> WholeNumber(std::string_view text);

// A whole number written with digits only (no sign, blank, point or
// exponent), as the tools take counts, seeds and seconds. Empty for any other
// text or a value beyond 64 bits.
std::optional<std::uint64_t> DigitsNumber(std::string_view text);

// Nearest whole number, halves to the even neighbour (62.5 gives 62).
double RoundHalfEven(double x);

// A whole number in plain decimal: no blanks, no grouping, no leading zeros.
std::string NumberToText(std::int64_t value);

// Writes the decimal text of value into text without allocating once text has
// the capacity.
void AssignNumber(std::string& text, std::int64_t value);

// Plain decimal text of a Double with up to 15 significant digits, a "0"
// before the point below 1 and no trailing zeros ("0.01", "12.5", "3").
void AssignDecimal(std::string& text, double value);
std::string DecimalText(double value);

// The statistics format: cut (not rounded) to hundredths, a leading blank for a
// value of 0 or more, no "0" before the point, no trailing zeros, then unit.
// 0.25 gives " .25", 12.5 gives " 12.5", 3 gives " 3".
std::string FormatStatistic(double value, std::string_view unit = {});

}  // namespace waitline
