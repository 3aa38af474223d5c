#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// What the command-line programs write to a terminal or a file, written
// safely.
namespace waitline {

// Text a user typed, made safe for a one-line message: control characters
// (a newline, the escape that begins a terminal's colour and cursor codes,
// C1 controls), bytes that are not UTF-8 and the backslash are written as
// \n, \t, \r, \e, \xNN and \\. Letters of every script stay as typed.
std::string Printable(std::string_view text);

// The same, in single quotes: 'TEXT'.
std::string Quoted(std::string_view text);

// Writes the text and flushes the stream. False when any of it could not be
// written, as on a full disk. (A pipe closed by its reader ends the program
// by its signal, as usual for a command-line program.)
bool WriteWhole(std::FILE* stream, std::string_view text);

}  // namespace waitline
