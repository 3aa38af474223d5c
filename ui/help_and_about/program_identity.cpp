#include "ui/help_and_about/program_identity.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace waitline {

QIcon ProgramIcon()
{
    // Rendered here rather than loaded through an image plugin, so the icon
    // needs nothing at run time beyond the program's own libraries.
    QSvgRenderer renderer(QStringLiteral(":/icons/org.waitline.Waitline.svg"));
    QIcon icon;
    if (!renderer.isValid()) {
        return icon;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void IdentifyProgram()
{
    // The class of every window (WM_CLASS) is the application's name, which
    // the menu entry's StartupWMClass names, so docks group the window under
    // the entry; Wayland matches the desktop file name instead.
    QCoreApplication::setApplicationName(QStringLiteral(WAITLINE_NAME));
    QCoreApplication::setApplicationVersion(QStringLiteral(WAITLINE_VERSION));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
    QApplication::setWindowIcon(ProgramIcon());
}

QString ProgramNameAndVersion() { return QStringLiteral(WAITLINE_NAME " " WAITLINE_VERSION); }

QString AboutParagraph()
{
    return QCoreApplication::translate(
               "About", "%1 shows a queue at work so that students can watch queueing theory happen. "
                        "Coloured packets arrive at random from a source, drop onto a column of queue places, wait, "
                        "are served by one to five servers and leave; a packet that finds every place taken is turned "
                        "away and falls into the bin as lost. The window counts the packets and shows the percentage "
                        "dropped, the mean and standard deviation of the time in the system and the mean number of "
                        "packets in the queue, while you choose the rates, the distributions, the servers and the "
                        "queue length.")
        .arg(QStringLiteral(WAITLINE_NAME));
}

QString LicenceLine()
{
    return QCoreApplication::translate(
        "About", "Copyright \u00a9 2026 The Waitline developers. Released under the MIT licence.");
}

}  // namespace waitline
