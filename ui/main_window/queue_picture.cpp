#include "ui/main_window/queue_picture.h"

#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/common/picture_in_qt.h"
#include "ui/common/text.h"
#include "ui/main_window/canvas.h"
#include "ui/main_window/drawn_items.h"

namespace waitline {

namespace {

using namespace layout;

QString Name(const char* name) { return QString::fromLatin1(name); }

// Members of a control array also carry their index in the property
// "index", as the scenario runner and the tests find them.
template <typename Item>
Item* WithIndex(Item* item, int index)
{
    item->setProperty("index", index);
    return item;
}

LabelItem* MakeLabel(const LabelRow& row, QObject* parent)
{
    return new LabelItem(Name(row.name), ToQt(row.place), LayoutFont(row.style), ToQt(row.align),
                         Translated("Layout", row.caption), parent);
}

LineItem* MakeLine(const LineRow& row, QObject* parent)
{
    return new LineItem(Name(row.name), ToQt(row.line), ToQt(row.color), row.width, parent);
}

// The items with their layers, put in stacking order once all are built.
class Stack {
public:
    Stack() { layered_.reserve(kDrawnItemCount); }

    template <typename Item>
    Item* add(int layer, Item* item)
    {
        layered_.emplace_back(layer, item);
        return item;
    }

    std::vector<DrawnItem*> backToFront()
    {
        std::sort(layered_.begin(), layered_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<DrawnItem*> items;
        items.reserve(layered_.size());
        for (const auto& [layer, item] : layered_) {
            items.push_back(item);
        }
        return items;
    }

private:
    std::vector<std::pair<int, DrawnItem*>> layered_;
};

}  // namespace

void DirtyAreas::add(const QRect& area)
{
    if (area.isEmpty()) {
        return;
    }
    if (count_ == areas_.size()) {
        everything_ = true;
        return;
    }
    areas_[count_++] = area;
}

void DirtyAreas::repaint(QWidget& canvas) const
{
    if (everything_) {
        canvas.update();
        return;
    }
    for (std::size_t k = 0; k < count_; ++k) {
        canvas.update(areas_[k]);
    }
}

QueuePicture::QueuePicture(QWidget& window) : canvas_(new Canvas(&window))
{
    canvas_->setObjectName(QStringLiteral("canvas"));
    canvas_->setGeometry(QRect(QPoint(0, 0), ToQt(kClientSize)));

    Stack stack;
    for (const LabelRow& row : kFixedLabels) {
        stack.add(row.layer, MakeLabel(row, canvas_));
    }
    for (std::size_t i = 0; i < kValueLabels.size(); ++i) {
        valueLabels_[i] = stack.add(kValueLabels[i].layer, MakeLabel(kValueLabels[i], canvas_));
    }
    for (const LineRow& row : kFunnelAndBin) {
        stack.add(row.layer, MakeLine(row, canvas_));
    }
    line12_ = stack.add(kArrivalLine.layer, MakeLine(kArrivalLine, canvas_));
    const OutlineRow& fifo = kColumnOutline;
    shpFIFO_ =
        stack.add(fifo.layer, new OutlineItem(Name(fifo.name), ToQt(fifo.rect), ToQt(fifo.color), fifo.width, canvas_));

    const BoxArrayRow& boxes = kQueueBoxes;
    for (int j = 0; j < boxes.count; ++j) {
        auto* box = new OutlineItem(ToQString(MemberName(boxes.name, j)), ToQt(QueueBoxRect(j)), ToQt(boxes.color),
                                    boxes.width, canvas_);
        boxQueue_[static_cast<std::size_t>(j)] = stack.add(boxes.layers.at(j), WithIndex(box, j));
    }
    for (int j = 0; j < MaxServers; ++j) {
        for (std::size_t k = 0; k < kServerLines.size(); ++k) {
            const ServerLineRow& row = kServerLines[k];
            auto* line = new LineItem(ToQString(MemberName(row.name, j)), ToQt(ServerLineAt(row, j)), ToQt(kBlack),
                                      row.width, canvas_);
            serverLines_[static_cast<std::size_t>(j)][k] = stack.add(row.layers.at(j), WithIndex(line, j));
        }
    }
    const QSizeF packetSize(geometry::kPacketWidth, geometry::kPacketHeight);
    for (int i = 0; i < kPackets.count; ++i) {
        auto* packet =
            new PacketItem(ToQString(MemberName(kPackets.name, i)), packetSize, kPackets.outlineWidth, canvas_);
        packet->setVisible(false);
        packets_[static_cast<std::size_t>(i)] = stack.add(kPackets.layers.at(i), WithIndex(packet, i));
    }
    canvas_->setItems(stack.backToFront());
}

void QueuePicture::show(const Simulation& sim)
{
    // Only what changed is repainted: the old and new places of each packet
    // that moved, appeared, vanished or changed colour, and each label whose
    // picture changed. The canvas paints every item in stacking order within
    // those areas, so the result equals a full repaint.
    dirty_.clear();
    if (showQueueDrawing(sim.display.drawing)) {
        // The queue picture changes seldom and over a large area.
        dirty_.addEverything();
    }
    showValueLabels(sim.display);
    showPackets(sim.packets);
    dirty_.repaint(*canvas_);
}

bool QueuePicture::showQueueDrawing(const QueueDrawing& drawing)
{
    bool changed = false;
    const auto show = [&changed](DrawnItem* item, bool visible) {
        if (item->isVisible() != visible) {
            item->setVisible(visible);
            changed = true;
        }
    };
    for (std::size_t j = 0; j < boxQueue_.size(); ++j) {
        show(boxQueue_[j], drawing.boxQueue[j]);
    }
    for (std::size_t j = 0; j < serverLines_.size(); ++j) {
        for (std::size_t k = 0; k < serverLines_[j].size(); ++k) {
            show(serverLines_[j][k], drawing.serverLines[j][k]);
        }
    }
    QRectF fifo = shpFIFO_->rect();
    fifo.setTop(drawing.shpFIFOTop);
    fifo.setHeight(drawing.shpFIFOHeight);
    if (fifo.top() != shpFIFO_->rect().top() || fifo.height() != shpFIFO_->rect().height()) {
        shpFIFO_->setRect(fifo);
        changed = true;
    }
    QLineF arrival = line12_->line();
    if (arrival.y2() != static_cast<qreal>(drawing.Line12Y2)) {
        arrival.setP2(QPointF(arrival.x2(), drawing.Line12Y2));
        line12_->setLine(arrival);
        changed = true;
    }
    return changed;
}

void QueuePicture::showValueLabels(const DisplayModel& display)
{
    for (std::size_t i = 0; i < valueLabels_.size(); ++i) {
        const Label& label = display.*kValueLabels[i].shows;
        LabelItem* item = valueLabels_[i];
        const bool wasShown = item->isVisible();
        const bool captionChanged = item->assignCaption(label.caption);
        item->setVisible(label.visible);
        if (wasShown != label.visible || (captionChanged && label.visible)) {
            dirty_.add(item->paintedBounds());
        }
    }
}

void QueuePicture::showPackets(const std::array<Packet, MaxPacket + 1>& packets)
{
    for (std::size_t i = 0; i < packets_.size(); ++i) {
        const Packet& p = packets[i];
        PacketItem* item = packets_[i];
        const bool wasShown = item->isVisible();
        const QRect before = item->pixelRect();
        const QColor fillBefore = item->fillColor();
        const QColor fill(p.FillColor.r, p.FillColor.g, p.FillColor.b);
        item->setRect(QRectF(p.Left, p.Top, geometry::kPacketWidth, geometry::kPacketHeight));
        item->setVisible(p.Visible);
        item->setFillColor(fill);
        if (!wasShown && !p.Visible) {
            continue;
        }
        const QRect after = item->pixelRect();
        if (wasShown && p.Visible && before == after && fillBefore == fill) {
            continue;
        }
        const QRect oldArea = wasShown ? before : QRect();
        const QRect newArea = p.Visible ? after : QRect();
        // A step of a packet overlaps its last place: one rectangle covers both.
        if (oldArea.intersects(newArea)) {
            dirty_.add(oldArea | newArea);
        } else {
            dirty_.add(oldArea);
            dirty_.add(newArea);
        }
    }
}

}  // namespace waitline
