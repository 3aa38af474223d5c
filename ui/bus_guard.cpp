#include "ui/bus_guard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <optional>

#include "ui/text_pieces.h"

namespace waitline {

namespace {

const QString kTextInterface = QStringLiteral("org.a11y.atspi.Text");
const QString kEditableTextInterface = QStringLiteral("org.a11y.atspi.EditableText");
const QString kTableInterface = QStringLiteral("org.a11y.atspi.Table");
const QString kAccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

using Kind = GuardVerdict::Kind;

GuardVerdict Pass(QVariantList arguments) { return {Kind::Pass, std::move(arguments)}; }
GuardVerdict Answer(QVariantList arguments) { return {Kind::Answer, std::move(arguments)}; }
GuardVerdict NoObject() { return {Kind::NoObject, {}}; }

int Argument(const QVariantList& arguments, int index)
{
    return index < arguments.size() ? arguments.at(index).toInt() : 0;
}

bool Within(int index, int count) { return index >= 0 && index < count; }

// --- Text ---------------------------------------------------------------------

// AT-SPI's boundary types, 0 to 6: a character, the start and the end of a
// word, of a sentence, of a line. Starts and ends mean the same pieces here.
std::optional<TextUnit> UnitOf(int boundary)
{
    constexpr std::array<TextUnit, 7> kUnits{TextUnit::Character, TextUnit::Word, TextUnit::Word, TextUnit::Sentence,
                                             TextUnit::Sentence,  TextUnit::Line, TextUnit::Line};
    if (!Within(boundary, static_cast<int>(kUnits.size()))) {
        return std::nullopt;
    }
    return kUnits[static_cast<std::size_t>(boundary)];
}

QVariantList PieceReply(const TextPiece& piece) { return {piece.text, piece.start, piece.end}; }

// An end offset as AT-SPI gives it (-1: the end of the text), brought into
// [start, count].
int EndWithin(int end, int start, int count) { return end < 0 ? count : std::clamp(end, start, count); }

GuardVerdict JudgeText(QAccessibleTextInterface& text, const QString& method, QVariantList arguments)
{
    const int count = std::max(text.characterCount(), 0);
    auto offsetAt = [&](int index) { return std::clamp(Argument(arguments, index), 0, count); };

    static const std::array<std::pair<QString, TextPlace>, 3> kPieceMethods{{
        {QStringLiteral("GetTextBeforeOffset"), TextPlace::Before},
        {QStringLiteral("GetTextAtOffset"), TextPlace::At},
        {QStringLiteral("GetTextAfterOffset"), TextPlace::After},
    }};
    for (const auto& [name, place] : kPieceMethods) {
        if (method == name) {
            int offset = Argument(arguments, 0);
            if (offset == -2) {  // the caret, by AT-SPI's convention
                offset = text.cursorPosition();
            }
            const std::optional<TextUnit> unit = UnitOf(Argument(arguments, 1));
            if (!unit) {
                return Answer(PieceReply({}));
            }
            return Answer(PieceReply(PieceOfText(text.text(0, count), offset, *unit, place)));
        }
    }
    if (method == QLatin1String("GetCharacterAtOffset")) {
        const int offset = Argument(arguments, 0);
        const QString character = Within(offset, count) ? text.text(offset, offset + 1) : QString();
        return Answer({character.isEmpty() ? 0 : static_cast<int>(character.at(0).unicode())});
    }
    if (method == QLatin1String("GetCharacterExtents")) {
        if (!Within(Argument(arguments, 0), count)) {
            return Answer({-1, -1, 0, 0});
        }
        return Pass(arguments);
    }
    if (method == QLatin1String("GetText") || method == QLatin1String("GetRangeExtents")) {
        // The bridge visits every offset of the range: it ends with the text.
        const int start = offsetAt(0);
        arguments[0] = start;
        arguments[1] = EndWithin(Argument(arguments, 1), start, count);
        return Pass(arguments);
    }
    if (method == QLatin1String("GetAttributeRun") || method == QLatin1String("GetAttributes") ||
        method == QLatin1String("GetAttributeValue") || method == QLatin1String("SetCaretOffset")) {
        arguments[0] = offsetAt(0);
        return Pass(arguments);
    }
    if (method == QLatin1String("AddSelection")) {
        arguments[0] = offsetAt(0);
        arguments[1] = offsetAt(1);
        return Pass(arguments);
    }
    if (method == QLatin1String("SetSelection")) {
        arguments[1] = offsetAt(1);
        arguments[2] = offsetAt(2);
        return Pass(arguments);
    }
    return Pass(arguments);
}

GuardVerdict JudgeEditableText(QAccessibleTextInterface& text, const QString& method, QVariantList arguments)
{
    const int count = std::max(text.characterCount(), 0);
    auto offsetAt = [&](int index) { return std::clamp(Argument(arguments, index), 0, count); };
    // Inserting far past the end would fill the gap with blanks: gigabytes
    // of them at 2^31 - 1.
    if (method == QLatin1String("InsertText") || method == QLatin1String("PasteText")) {
        arguments[0] = offsetAt(0);
    } else if (method == QLatin1String("DeleteText") || method == QLatin1String("CutText") ||
               method == QLatin1String("CopyText")) {
        const int start = offsetAt(0);
        arguments[0] = start;
        arguments[1] = EndWithin(Argument(arguments, 1), start, count);
    }
    return Pass(arguments);
}

// --- Tables ------------------------------------------------------------------

// The cell, if it exists and can say where it lies.
QAccessibleTableCellInterface* CellAt(QAccessibleTableInterface& table, int row, int column)
{
    if (!Within(row, table.rowCount()) || !Within(column, table.columnCount())) {
        return nullptr;
    }
    QAccessibleInterface* cell = table.cellAt(row, column);
    return cell != nullptr ? cell->tableCellInterface() : nullptr;
}

GuardVerdict JudgeTable(QAccessibleInterface& object, const QString& method, const QVariantList& arguments)
{
    QAccessibleTableInterface* table = object.tableInterface();
    if (table == nullptr) {
        // A cell answers for the table interface too, and the bridge then
        // asks a table that is not there.
        return {Kind::Unsupported, {}};
    }
    const int first = Argument(arguments, 0);
    const int second = Argument(arguments, 1);
    const int rows = table->rowCount();
    const int columns = table->columnCount();
    if (method == QLatin1String("GetAccessibleAt")) {
        return CellAt(*table, first, second) != nullptr ? Pass(arguments) : NoObject();
    }
    if (method == QLatin1String("GetIndexAt")) {
        return CellAt(*table, first, second) != nullptr ? Pass(arguments) : Answer({-1});
    }
    if (method == QLatin1String("GetRowExtentAt") || method == QLatin1String("GetColumnExtentAt")) {
        return CellAt(*table, first, second) != nullptr ? Pass(arguments) : Answer({0});
    }
    if (method == QLatin1String("IsSelected")) {
        return CellAt(*table, first, second) != nullptr ? Pass(arguments) : Answer({false});
    }
    if (method == QLatin1String("GetRowColumnExtentsAtIndex")) {
        const bool exists = columns > 0 && first >= 0 && CellAt(*table, first / columns, first % columns) != nullptr;
        return exists ? Pass(arguments) : Answer({false, -1, -1, -1, -1, false});
    }
    if (method == QLatin1String("GetRowAtIndex") || method == QLatin1String("GetColumnAtIndex")) {
        return columns > 0 && Within(first, object.childCount()) ? Pass(arguments) : Answer({-1});
    }
    const bool aboutRow = method.contains(QLatin1String("Row"));
    const bool inRange = Within(first, aboutRow ? rows : columns);
    if (method == QLatin1String("GetRowDescription") || method == QLatin1String("GetColumnDescription")) {
        return inRange ? Pass(arguments) : Answer({QString()});
    }
    if (method == QLatin1String("GetRowHeader") || method == QLatin1String("GetColumnHeader")) {
        return inRange ? Pass(arguments) : NoObject();
    }
    static const std::array<QString, 6> kSelections{
        QStringLiteral("IsRowSelected"),      QStringLiteral("IsColumnSelected"),
        QStringLiteral("AddRowSelection"),    QStringLiteral("AddColumnSelection"),
        QStringLiteral("RemoveRowSelection"), QStringLiteral("RemoveColumnSelection")};
    if (std::find(kSelections.begin(), kSelections.end(), method) != kSelections.end()) {
        return inRange ? Pass(arguments) : Answer({false});
    }
    return Pass(arguments);
}

// --- On the bus ----------------------------------------------------------------

const QString kAccessiblePath = QStringLiteral("/org/a11y/atspi/accessible");

// The object a path names, as the bridge finds it: the application at
// .../root, otherwise the interface whose id ends the path.
QAccessibleInterface* ObjectAt(const QString& path)
{
    if (path == kAccessiblePath + QStringLiteral("/root")) {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    const QStringList parts = path.split(QLatin1Char('/'));
    bool number = false;
    const QAccessible::Id id = parts.size() == 6 ? parts.at(5).toUInt(&number) : 0;
    return number ? QAccessible::accessibleInterface(id) : nullptr;
}

// The argument types of each method, as the bridge describes its methods:
// the bridge reads its arguments by position, past the end of the list when
// a request brings too few.
class MethodSignatures {
public:
    // Empty when the bridge describes no such method.
    std::optional<QString> of(const QString& interface, const QString& method, const QString& path,
                              const QDBusVirtualObject& bridge)
    {
        const QString key = interface + QLatin1Char('.') + method;
        if (!known_.contains(key)) {
            learn(bridge.introspect(path));
        }
        const auto found = known_.constFind(key);
        return found != known_.constEnd() ? std::optional<QString>(*found) : std::nullopt;
    }

private:
    void learn(const QString& introspection)
    {
        QXmlStreamReader xml(QStringLiteral("<node>") + introspection + QStringLiteral("</node>"));
        QString interface;
        QString method;
        QString signature;
        while (!xml.atEnd()) {
            xml.readNext();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (xml.isStartElement() && xml.name() == QLatin1String("interface")) {
                interface = attributes.value(QLatin1String("name")).toString();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("method")) {
                method = attributes.value(QLatin1String("name")).toString();
                signature.clear();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("arg") &&
                       attributes.value(QLatin1String("direction")) == QLatin1String("in")) {
                signature += attributes.value(QLatin1String("type"));
            } else if (xml.isEndElement() && xml.name() == QLatin1String("method")) {
                known_.insert(interface + QLatin1Char('.') + method, signature);
            }
        }
    }

    QHash<QString, QString> known_;
};

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

class BusGuard : public QDBusVirtualObject {
public:
    BusGuard(QDBusVirtualObject* bridge, QObject* parent) : QDBusVirtualObject(parent), bridge_(bridge) {}

    QString introspect(const QString& path) const override
    {
        return bridge_ != nullptr ? bridge_->introspect(path) : QString();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (bridge_ == nullptr) {
            return false;
        }
        if (!argumentsFit(message)) {
            return connection.send(message.createErrorReply(
                QDBusError::InvalidArgs, QStringLiteral("%1 takes other arguments").arg(message.member())));
        }
        QAccessibleInterface* object = ObjectAt(message.path());
        if (object == nullptr || !object->isValid()) {
            return bridge_->handleMessage(message, connection);  // which says there is no such object
        }
        QString interface = message.interface();
        QString method = message.member();
        if (interface == kPropertiesInterface) {
            // A property is read as the bridge reads it: Get + its name.
            interface = message.arguments().at(0).toString();
            method = message.member() + message.arguments().at(1).toString();
            const GuardVerdict verdict = JudgeRequest(object, interface, method, {});
            if (verdict.kind == Kind::Unsupported) {
                return unsupported(message, connection);
            }
            return bridge_->handleMessage(message, connection);
        }
        const GuardVerdict verdict = JudgeRequest(object, interface, method, message.arguments());
        switch (verdict.kind) {
        case Kind::Pass: {
            if (verdict.arguments == message.arguments()) {
                return bridge_->handleMessage(message, connection);
            }
            QDBusMessage inRange = message;
            inRange.setArguments(verdict.arguments);
            return bridge_->handleMessage(inRange, connection);
        }
        case Kind::Answer: return connection.send(message.createReply(verdict.arguments));
        case Kind::NoObject: return connection.send(message.createReply(noObject(connection)));
        case Kind::Unsupported: return unsupported(message, connection);
        }
        return false;
    }

private:
    // Whether the request brings the arguments its method reads. A property
    // is read with Get (interface, name) and written with Set (interface,
    // name, value); the bridge cannot answer GetAll. Property readers that
    // the bridge also answers as methods take nothing.
    bool argumentsFit(const QDBusMessage& message)
    {
        const QString interface = message.interface();
        const QString method = message.member();
        const QString given = message.signature();
        if (interface == kPropertiesInterface) {
            return (method == QLatin1String("Get") && given == QLatin1String("ss")) ||
                   (method == QLatin1String("Set") && given == QLatin1String("ssv"));
        }
        if (!interface.startsWith(QLatin1String("org.a11y.atspi."))) {
            return true;  // introspection, which Qt's D-Bus answers itself
        }
        const std::optional<QString> wanted = signatures_.of(interface, method, message.path(), *bridge_);
        return wanted ? given == *wanted : method.startsWith(QLatin1String("Get")) && given.isEmpty();
    }

    static QVariant noObject(const QDBusConnection& connection)
    {
        QDBusArgument reference;
        reference.beginStructure();
        reference << connection.baseService() << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/null"));
        reference.endStructure();
        return QVariant::fromValue(reference);
    }

    static bool unsupported(const QDBusMessage& message, const QDBusConnection& connection)
    {
        return connection.send(
            message.createErrorReply(QDBusError::NotSupported, QStringLiteral("this object has no such interface")));
    }

    QPointer<QDBusVirtualObject> bridge_;
    MethodSignatures signatures_;
};

// Takes the bridge's place on the accessibility bus, once it is there.
void StandInFrontOfBridge()
{
    QDBusConnection bus(QStringLiteral("a11y"));
    if (!bus.isConnected()) {
        return;
    }
    auto* bridge = qobject_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(kAccessiblePath));
    if (bridge == nullptr || dynamic_cast<BusGuard*>(bridge) != nullptr) {
        return;
    }
    bus.unregisterObject(kAccessiblePath);
    auto* guard = new BusGuard(bridge, bridge);
    if (!bus.registerVirtualObject(kAccessiblePath, guard, QDBusConnection::SubPath)) {
        bus.registerVirtualObject(kAccessiblePath, bridge, QDBusConnection::SubPath);
        delete guard;
    }
}

// Qt makes its bridge when accessibility becomes active, right after telling
// its observers, in the same call; the guard follows as soon as that call
// returns, before the bus can deliver any request.
class ActivationWatcher : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (active) {
            QTimer::singleShot(0, QCoreApplication::instance(), &StandInFrontOfBridge);
        }
    }
};

}  // namespace

GuardVerdict JudgeRequest(QAccessibleInterface* object, const QString& interface, const QString& method,
                          const QVariantList& arguments)
{
    if (object == nullptr) {
        return Pass(arguments);
    }
    if (interface == kAccessibleInterface && method == QLatin1String("GetChildAtIndex")) {
        return Within(Argument(arguments, 0), object->childCount()) ? Pass(arguments) : NoObject();
    }
    if (interface == kTableInterface) {
        return JudgeTable(*object, method, arguments);
    }
    QAccessibleTextInterface* text = object->textInterface();
    if (text == nullptr) {
        return Pass(arguments);
    }
    if (interface == kTextInterface) {
        return JudgeText(*text, method, arguments);
    }
    if (interface == kEditableTextInterface) {
        return JudgeEditableText(*text, method, arguments);
    }
    return Pass(arguments);
}

void InstallAccessibilityBusGuard()
{
    static ActivationWatcher watcher;
    QAccessible::installActivationObserver(&watcher);
    if (QAccessible::isActive()) {
        QTimer::singleShot(0, QCoreApplication::instance(), &StandInFrontOfBridge);
    }
}

}  // namespace waitline
