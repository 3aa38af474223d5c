#include "ui/accessibility/picture_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>

#include <algorithm>
#include <vector>

#include "ui/accessibility/control_explanations.h"
#include "ui/common/text.h"
#include "ui/main_window/canvas.h"
#include "ui/main_window/drawn_items.h"

namespace waitline {

namespace {

bool IsOnCanvas(const Explanation& row) { return row.kind == Explained::Caption || row.kind == Explained::Value; }

// A painted label, read as text. Captions and values alike are StaticText:
// AT-SPI makes that a label, which screen readers read in flat review and under
// the mouse from its text, and whose text changes it follows. Indicator would
// reach AT-SPI as an unknown role, which screen readers skip.
class LabelAccessible : public QAccessibleObject, public QAccessibleTextInterface {
public:
    LabelAccessible(LabelItem* label, const Explanation& row) : QAccessibleObject(label), row_(row) {}

    QWindow* window() const override { return canvas()->window()->windowHandle(); }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(canvas()); }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return SpokenName(row_);
        case QAccessible::Description: return HelpText(row_);
        case QAccessible::Value: return row_.kind == Explained::Value ? shown() : QString();
        default: return {};
        }
    }

    // Screen coordinates, as every accessible rectangle is.
    QRect rect() const override
    {
        const QRect place = label()->pixelRect();
        return {canvas()->mapToGlobal(place.topLeft()), place.size()};
    }

    QAccessible::Role role() const override { return QAccessible::StaticText; }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !label()->isVisible() || !canvas()->isVisible();
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return nullptr;
    }

    // QAccessibleTextInterface: the painted text, read only.
    QString text(int startOffset, int endOffset) const override
    {
        const QString all = shown();
        if (endOffset < 0 || endOffset > all.size()) {
            endOffset = static_cast<int>(all.size());
        }
        startOffset = std::clamp(startOffset, 0, endOffset);
        return all.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(label()->caption().size()); }

    QRect characterRect(int offset) const override
    {
        const QString all = shown();
        if (offset < 0 || offset >= all.size()) {
            return {};
        }
        const QFontMetrics metrics(label()->font());
        const QRect box = rect();
        const int before = metrics.horizontalAdvance(all.left(offset));
        const int width = metrics.horizontalAdvance(all.at(offset));
        return {textLeft(box, metrics.horizontalAdvance(all)) + before, box.top(), width, metrics.height()};
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QString all = shown();
        for (int i = 0; i < all.size(); ++i) {
            if (characterRect(i).contains(point)) {
                return i;
            }
        }
        return -1;
    }

    void selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    LabelItem* label() const { return static_cast<LabelItem*>(object()); }
    QWidget* canvas() const { return static_cast<QWidget*>(label()->parent()); }

    // A copy of its own: the tick rewrites the label's caption in place, which
    // a shared copy held by a screen reader would turn into an allocation.
    QString shown() const
    {
        const QString caption = label()->caption();
        return QString(caption.constData(), caption.size());
    }

    int textLeft(const QRect& box, int textWidth) const
    {
        const Qt::Alignment align = label()->alignment();
        if ((align & Qt::AlignRight) != 0) {
            return box.right() + 1 - textWidth;
        }
        if ((align & Qt::AlignHCenter) != 0) {
            return box.left() + (box.width() - textWidth) / 2;
        }
        return box.left();
    }

    const Explanation& row_;
};

// The canvas is a Pane rather than a Graphic: AT-SPI makes a Graphic an
// image, a leaf whose children screen readers do not visit, while a panel's
// labels are read in turn. Its description is the queue in words.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(Canvas* canvas) : QAccessibleWidget(canvas, QAccessible::Pane) {}

    int childCount() const override { return static_cast<int>(labels().size()); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(labels()[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const std::vector<LabelItem*>& all = labels();
        const auto found = std::find(all.begin(), all.end(), child != nullptr ? child->object() : nullptr);
        return found == all.end() ? -1 : static_cast<int>(found - all.begin());
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        LabelItem* label = canvas()->labelAt(canvas()->mapFromGlobal(QPoint(x, y)));
        const std::vector<LabelItem*>& all = labels();
        if (label == nullptr || std::find(all.begin(), all.end(), label) == all.end()) {
            return nullptr;
        }
        return QAccessible::queryAccessibleInterface(label);
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const Explanation* row = FindExplanation(canvas()->objectName());
            return row != nullptr ? SpokenName(*row) : QString();
        }
        case QAccessible::Description: return canvas()->description();
        default: return QAccessibleWidget::text(t);
        }
    }

private:
    Canvas* canvas() const { return static_cast<Canvas*>(widget()); }

    // In reading order. Found on first use rather than when the interface is
    // made, which may be before the canvas holds its items.
    const std::vector<LabelItem*>& labels() const
    {
        if (labels_.empty()) {
            for (const Explanation& row : kExplanations) {
                if (!IsOnCanvas(row)) {
                    continue;
                }
                for (DrawnItem* item : canvas()->items()) {
                    if (item->objectName() == QLatin1StringView(row.object.data(), row.object.size())) {
                        labels_.push_back(static_cast<LabelItem*>(item));
                    }
                }
            }
        }
        return labels_;
    }

    mutable std::vector<LabelItem*> labels_;
};

}  // namespace

QAccessibleInterface* PictureAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1StringView(Canvas::staticMetaObject.className())) {
        return new PictureAccessible(static_cast<Canvas*>(object));
    }
    if (className == QLatin1StringView(LabelItem::staticMetaObject.className())) {
        const Explanation* row = FindExplanation(object->objectName());
        // Only labels on a canvas are read; a label the table leaves out
        // stays silent.
        if (row != nullptr && IsOnCanvas(*row) && qobject_cast<Canvas*>(object->parent()) != nullptr) {
            return new LabelAccessible(static_cast<LabelItem*>(object), *row);
        }
    }
    return nullptr;
}

}  // namespace waitline
