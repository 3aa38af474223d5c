#include "ui/analysis_window/stored_place.h"

#include <QDataStream>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace waitline {

namespace {

// Edges as 64-bit numbers: a stored place may hold any integer, and its far
// edge must not wrap around.
struct Span {
    std::int64_t from;
    std::int64_t to;  // one past the end
};

// From the corners a rectangle holds, not its width, which wraps around when
// the corners lie further apart than an int reaches.
Span Horizontal(const QRect& r) { return {r.left(), std::int64_t{r.right()} + 1}; }
Span Vertical(const QRect& r) { return {r.top(), std::int64_t{r.bottom()} + 1}; }

std::int64_t Overlap(Span a, Span b)
{
    return std::max<std::int64_t>(0, std::min(a.to, b.to) - std::max(a.from, b.from));
}

// The span no longer than the area's and moved into it.
Span Fit(Span place, Span area)
{
    const std::int64_t length = std::min(place.to - place.from, area.to - area.from);
    const std::int64_t from = std::clamp(place.from, area.from, area.to - length);
    return {from, from + length};
}

struct StoredGeometry {
    QRect place;  // the window without its frame, where it was when not maximized
    bool maximized = false;
};

// Reads what QWidget::saveGeometry writes, with no help from restoreGeometry,
// which moves and resizes by numbers of its own that can wrap around.
std::optional<StoredGeometry> ReadStoredGeometry(const QByteArray& stored)
{
    QDataStream stream(stored);
    stream.setVersion(QDataStream::Qt_4_0);
    constexpr quint32 kMagic = 0x1D9D0CB;
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    QRect frame;
    QRect normal;
    qint32 screen = 0;
    quint8 maximized = 0;
    quint8 fullScreen = 0;
    stream >> magic >> major >> minor >> frame >> normal >> screen >> maximized >> fullScreen;
    if (stream.status() != QDataStream::Ok || magic != kMagic || major < 1 || major > 3) {
        return std::nullopt;
    }
    return StoredGeometry{normal, maximized != 0};
}

}  // namespace

std::unique_ptr<QSettings> OpenUserSettings()
{
    // The file QSettings would choose for this program, named here so that
    // it is looked at before anything reads it.
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/" WAITLINE_NAME "/" WAITLINE_NAME ".conf");
    const QFileInfo file(path);
    if (file.exists() && !file.isFile()) {
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

std::optional<QRect> FitOnScreens(const QRect& place, std::span<const QRect> areas)
{
    const Span across = Horizontal(place);
    const Span down = Vertical(place);
    if (across.to <= across.from || down.to <= down.from) {
        return std::nullopt;
    }
    const QRect* best = nullptr;
    std::int64_t bestOverlap = 0;
    for (const QRect& area : areas) {
        const std::int64_t overlap = Overlap(across, Horizontal(area)) * Overlap(down, Vertical(area));
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    const Span x = Fit(across, Horizontal(*best));
    const Span y = Fit(down, Vertical(*best));
    return QRect(static_cast<int>(x.from), static_cast<int>(y.from), static_cast<int>(x.to - x.from),
                 static_cast<int>(y.to - y.from));
}

QRect PlaceBeside(const QRect& main, const QSize& size, const QRect& available)
{
    constexpr int kGap = 8;
    const QSize fitting = size.boundedTo(available.size());
    const std::array<QPoint, 3> candidates{
        QPoint(main.right() + 1 + kGap, main.top()),
        QPoint(main.left() - kGap - fitting.width(), main.top()),
        QPoint(main.left(), main.bottom() + 1 + kGap),
    };
    for (const QPoint& corner : candidates) {
        const QRect place(corner, fitting);
        if (available.contains(place)) {
            return place;
        }
    }
    // No room beside it: at the side of the area, from its top, where it
    // covers less of the main window.
    const QRect right(QPoint(available.right() + 1 - fitting.width(), available.top()), fitting);
    const QRect left(available.topLeft(), fitting);
    auto covered = [&main](const QRect& place) {
        const QRect both = place.intersected(main);
        return static_cast<std::int64_t>(both.width()) * both.height();
    };
    return covered(left) < covered(right) ? left : right;
}

QMargins FrameOf(const QWidget* shown)
{
    if (shown == nullptr) {
        return {};
    }
    const QRect frame = shown->frameGeometry();
    const QRect client = shown->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

bool RestorePlace(QWidget& window, const QByteArray& stored, const QMargins& frame)
{
    const std::optional<StoredGeometry> geometry = ReadStoredGeometry(stored);
    if (!geometry) {
        return false;
    }
    std::vector<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.push_back(screen->availableGeometry());
    }
    const std::optional<QRect> place = FitOnScreens(geometry->place.marginsAdded(frame), areas);
    if (!place) {
        return false;
    }
    window.setGeometry(place->marginsRemoved(frame));
    if (geometry->maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
    return true;
}

}  // namespace waitline
