#pragma once

#include <QString>

#include <string_view>

// The model's texts are UTF-8 and nearly always plain ASCII; the window
// compares and copies them on every tick, so the ASCII case allocates nothing.
namespace waitline {

bool IsAscii(std::string_view text);

QString ToQString(std::string_view text);

// Whether shown holds the same text as the UTF-8 text. Allocates nothing when
// the text is plain ASCII.
bool SameText(const QString& shown, std::string_view text);

// A text of the Qt-free tables and of the model, marked there with
// WAITLINE_TR, in the user's language: translated in its context when a
// translation is installed, as written otherwise.
QString Translated(const char* context, std::string_view text);

// A window's title: the program's name, then what the window shows, after an
// en dash, in every window alike.
QString WindowTitle(const QString& what = {});

// A tooltip's text broken into lines of about 40 characters at most, which
// the eye takes in at a glance; a screen reader gets the unbroken text.
QString ToolTipText(const QString& text);

}  // namespace waitline
