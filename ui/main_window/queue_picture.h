#pragma once

#include <QRect>

#include <array>
#include <cstddef>

#include "engine/simulation.h"
#include "picture/layout.h"

class QWidget;

namespace waitline {

class Canvas;
class LabelItem;
class LineItem;
class OutlineItem;
class PacketItem;

// The canvas areas one show() repaints: at most two per packet and one per
// value label.
class DirtyAreas {
public:
    void clear()
    {
        count_ = 0;
        everything_ = false;
    }
    void addEverything() { everything_ = true; }
    // Keeps an area to repaint. With more areas than room the whole canvas is
    // repainted instead.
    void add(const QRect& area);
    // Asks the canvas to repaint what was kept.
    void repaint(QWidget& canvas) const;

private:
    std::array<QRect, 2 * static_cast<std::size_t>(layout::kPackets.count) + layout::kValueLabels.size()> areas_{};
    std::size_t count_ = 0;
    bool everything_ = false;
};

// The window's picture: the canvas and every item drawn on it, built from the
// layout, and the simulation shown in them.
class QueuePicture {
public:
    // Builds the canvas over the whole client area of `window`, which owns it
    // and, through it, every item.
    explicit QueuePicture(QWidget& window);
    QueuePicture(const QueuePicture&) = delete;
    QueuePicture& operator=(const QueuePicture&) = delete;

    Canvas* canvas() const { return canvas_; }

    // Shows the packets, the value labels and the queue drawing, and asks the
    // canvas to repaint what changed.
    void show(const Simulation& sim);

private:
    // Returns whether the queue drawing changed.
    bool showQueueDrawing(const QueueDrawing& drawing);
    void showValueLabels(const DisplayModel& display);
    void showPackets(const std::array<Packet, MaxPacket + 1>& packets);

    Canvas* canvas_;

    // The drawn items the model changes.
    OutlineItem* shpFIFO_ = nullptr;
    LineItem* line12_ = nullptr;
    std::array<OutlineItem*, layout::kQueueBoxes.count> boxQueue_{};
    std::array<std::array<LineItem*, kServerLineCount>, MaxServers> serverLines_{};
    std::array<PacketItem*, layout::kPackets.count> packets_{};
    std::array<LabelItem*, layout::kValueLabels.size()> valueLabels_{};

    DirtyAreas dirty_;
};

}  // namespace waitline
