#include "ui/accessibility/value_announcer.h"

#include <QAccessible>

#include <utility>

#include "ui/main_window/canvas.h"
#include "ui/main_window/drawn_items.h"

namespace waitline {

namespace {

QString OwnCopy(const QString& text) { return QString(text.constData(), text.size()); }

}  // namespace

ValueAnnouncer::ValueAnnouncer(const Canvas& canvas, AnnouncementHooks hooks) : hooks_(std::move(hooks))
{
    std::size_t n = 0;
    for (const Explanation& row : kExplanations) {
        if (row.kind != Explained::Value) {
            continue;
        }
        for (DrawnItem* item : canvas.items()) {
            if (item->objectName() == QLatin1StringView(row.object.data(), row.object.size())) {
                labels_[n] = static_cast<LabelItem*>(item);
                announced_[n] = OwnCopy(labels_[n]->caption());
            }
        }
        ++n;
    }
}

void ValueAnnouncer::shown()
{
    if (!hooks_.listening()) {
        return;
    }
    const Clock::time_point now = hooks_.now();
    if (last_ && now - *last_ < std::chrono::seconds(1)) {
        return;
    }
    bool changed = false;
    for (std::size_t i = 0; i < labels_.size() && !changed; ++i) {
        changed = labels_[i] != nullptr && labels_[i]->caption() != announced_[i];
    }
    if (changed) {
        announce();
        last_ = now;
    }
}

void ValueAnnouncer::announce()
{
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        LabelItem* label = labels_[i];
        if (label == nullptr || label->caption() == announced_[i]) {
            continue;
        }
        QString before = std::exchange(announced_[i], OwnCopy(label->caption()));
        // AT-SPI passes a text update on as the label's text-changed events;
        // a value change of an object without a numeric value it drops.
        QAccessibleTextUpdateEvent event(label, 0, before, announced_[i]);
        hooks_.send(&event);
    }
}

}  // namespace waitline
