#pragma once

#include <QByteArray>
#include <QMargins>
#include <QRect>
#include <QString>

#include <memory>
#include <optional>
#include <span>

class QSettings;
class QWidget;

// Where a window is kept between runs. The settings file is the user's to
// break: it is read only when it is a plain file, and a place read from it is
// trusted only as far as the screens that exist now.
namespace waitline {

// The user's settings file for this program, or nothing when something other
// than a plain file (a pipe, a device, a folder) stands at its name: reading
// that could wait for ever, so the defaults are used and it is left alone.
std::unique_ptr<QSettings> OpenUserSettings();

// The place clipped to the available area of the screen that holds the most
// of it: no larger than that area, and moved into it. Nothing when no screen
// holds any of it, or the place is empty.
std::optional<QRect> FitOnScreens(const QRect& place, std::span<const QRect> areas);

// Where a window of `size` opens beside the main window at `main` (its
// frame), within the available area of the screen: to its right, else to
// its left, else below it, and only where none has room, over it as little
// as the area allows. Clipped to the area.
QRect PlaceBeside(const QRect& main, const QSize& size, const QRect& available);

// Gives the window the place stored in `stored` (from QWidget::saveGeometry),
// its frame, `frame` wider all round, fitted to the screens there are now,
// and maximizes it if it was. Returns false, leaving the window as it was,
// when there is no usable place in it.
bool RestorePlace(QWidget& window, const QByteArray& stored, const QMargins& frame);

// How much wider than its client area the desktop draws a top-level window,
// on each side: the same as for `shown`, a window it already shows.
QMargins FrameOf(const QWidget* shown);

}  // namespace waitline
