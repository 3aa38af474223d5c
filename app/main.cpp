// The program: one main window, started up before it is first shown.
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ui/main_window.h"

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Without a display the X11 platform would abort; say so plainly instead.
bool DisplayAvailable()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool defaultPlatform = platform == nullptr || *platform == '\0' || std::string_view(platform) == "xcb";
    return !defaultPlatform || IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!DisplayAvailable()) {
        std::fputs("waitline: no display found; set DISPLAY or run under a desktop session\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Waitline"));
    // Lets desktops match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.waitline.Waitline"));
    waitline::MainWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
