#pragma once

#include <QIcon>
#include <QString>

// Who the program is to the desktop and to the user: its name, version,
// menu entry, icon and the words of its About box.
namespace waitline {

// The menu entry's file name without ".desktop"; also the Wayland app id.
inline constexpr const char* kDesktopFileName = "org.waitline.Waitline";

// The program's icon, drawn from the same picture as the menu entry's icon
// at the sizes title bars, task bars and switchers ask for.
QIcon ProgramIcon();

// Names the running program after its menu entry and gives every window its
// icon. Call once, right after the QApplication is made.
void IdentifyProgram();

// "Waitline 0.1.0".
QString ProgramNameAndVersion();

// The About box's paragraph on what the demo shows, and its licence line.
QString AboutParagraph();
QString LicenceLine();

}  // namespace waitline
