#pragma once

// Installs every accessible interface the windows make for themselves, and
// the guard in front of the bridge that serves them on the accessibility bus.
// Qt keeps the first interface it makes for an object, even one made for an
// event nobody listens to, so this runs before the main window's first widget
// exists.
namespace waitline {

void InstallAccessibilityFactories();

}  // namespace waitline
