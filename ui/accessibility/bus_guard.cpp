#include "ui/accessibility/bus_guard.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>

namespace waitline {

namespace {

const QString kTextInterface = QStringLiteral("org.a11y.atspi.Text");
const QString kEditableTextInterface = QStringLiteral("org.a11y.atspi.EditableText");
const QString kTableInterface = QStringLiteral("org.a11y.atspi.Table");
const QString kAccessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

using Kind = GuardVerdict::Kind;

GuardVerdict Pass(QVariantList arguments) { return {Kind::Pass, std::move(arguments)}; }
GuardVerdict Answer(QVariantList arguments) { return {Kind::Answer, std::move(arguments)}; }
GuardVerdict NoObject() { return {Kind::NoObject, {}}; }

int Argument(const QVariantList& arguments, int index)
{
    return index < arguments.size() ? arguments.at(index).toInt() : 0;
}

// Sets an argument the request brought; one it did not bring stays missing.
void SetArgument(QVariantList& arguments, int index, int value)
{
    if (index < arguments.size()) {
        arguments[index] = value;
    }
}

bool Within(int index, int count) { return index >= 0 && index < count; }

// --- Text ---------------------------------------------------------------------

// AT-SPI's boundary types 1 to 4 are the start and end of a word or of a
// sentence, which Qt finds by stepping from boundary to boundary.
bool WordOrSentence(int boundary) { return boundary >= 1 && boundary <= 4; }

// An end offset as AT-SPI gives it (-1: the end of the text), brought into
// [start, count].
int EndWithin(int end, int start, int count) { return end < 0 ? count : std::clamp(end, start, count); }

GuardVerdict JudgeText(QAccessibleTextInterface& text, const QString& method, QVariantList arguments)
{
    const int count = std::max(text.characterCount(), 0);
    auto clampAt = [&](int index) { SetArgument(arguments, index, std::clamp(Argument(arguments, index), 0, count)); };
    if (method == QLatin1String("GetTextAtOffset")) {
        // Qt looks for the end of the word or sentence that starts at the
        // end of the text, and never stops looking. There is none: the
        // piece there is empty. -1 stands for the end, -2 for the caret.
        int offset = Argument(arguments, 0);
        offset = offset == -1 ? count : offset == -2 ? text.cursorPosition() : offset;
        if (offset == count && WordOrSentence(Argument(arguments, 1))) {
            return Answer({QString(), count, count});
        }
        return Pass(arguments);
    }
    if (method == QLatin1String("GetCharacterExtents")) {
        return Within(Argument(arguments, 0), count) ? Pass(arguments) : Answer({-1, -1, 0, 0});
    }
    if (method == QLatin1String("GetText") || method == QLatin1String("GetRangeExtents")) {
        // The bridge visits every offset of the range: it ends with the text.
        clampAt(0);
        SetArgument(arguments, 1, EndWithin(Argument(arguments, 1), Argument(arguments, 0), count));
        return Pass(arguments);
    }
    if (method == QLatin1String("GetAttributeRun") || method == QLatin1String("GetAttributes") ||
        method == QLatin1String("GetAttributeValue") || method == QLatin1String("SetCaretOffset")) {
        clampAt(0);
    } else if (method == QLatin1String("AddSelection")) {
        clampAt(0);
        clampAt(1);
    } else if (method == QLatin1String("SetSelection")) {
        clampAt(1);
        clampAt(2);
    }
    return Pass(arguments);
}

GuardVerdict JudgeEditableText(QAccessibleTextInterface& text, const QString& method, QVariantList arguments)
{
    const int count = std::max(text.characterCount(), 0);
    // Inserting far past the end would fill the gap with blanks: gigabytes
    // of them at 2^31 - 1.
    if (method == QLatin1String("InsertText") || method == QLatin1String("PasteText")) {
        SetArgument(arguments, 0, std::clamp(Argument(arguments, 0), 0, count));
    } else if (method == QLatin1String("DeleteText") || method == QLatin1String("CutText") ||
               method == QLatin1String("CopyText")) {
        const int start = std::clamp(Argument(arguments, 0), 0, count);
        SetArgument(arguments, 0, start);
        SetArgument(arguments, 1, EndWithin(Argument(arguments, 1), start, count));
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

// What the bridge says an object can be asked, from its introspection: each
// method with the types of its arguments, and each property, writable or
// not. The bridge reads its arguments by position without counting them, so
// a request it does not describe, or one with other arguments, never reaches
// it.
struct Vocabulary {
    QHash<QString, QString> methods;  // "interface.Method" -> argument types
    QHash<QString, bool> properties;  // "interface.Property" -> writable

    static Vocabulary from(const QString& introspection)
    {
        Vocabulary words;
        QXmlStreamReader xml(QStringLiteral("<node>") + introspection + QStringLiteral("</node>"));
        QString interface;
        QString method;
        QString signature;
        while (!xml.atEnd()) {
            xml.readNext();
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString name = attributes.value(QLatin1String("name")).toString();
            if (xml.isStartElement() && xml.name() == QLatin1String("interface")) {
                interface = name;
            } else if (xml.isStartElement() && xml.name() == QLatin1String("property")) {
                words.properties.insert(interface + QLatin1Char('.') + name,
                                        attributes.value(QLatin1String("access")) == QLatin1String("readwrite"));
            } else if (xml.isStartElement() && xml.name() == QLatin1String("method")) {
                method = name;
                signature.clear();
            } else if (xml.isStartElement() && xml.name() == QLatin1String("arg") &&
                       attributes.value(QLatin1String("direction")) == QLatin1String("in")) {
                signature += attributes.value(QLatin1String("type"));
            } else if (xml.isEndElement() && xml.name() == QLatin1String("method")) {
                words.methods.insert(interface + QLatin1Char('.') + method, signature);
            }
        }
        return words;
    }

    // Get (interface, name) of a property it has, Set (interface, name,
    // value) of one it may change, or a method it has, with the arguments
    // that method takes.
    bool allows(const QDBusMessage& message) const
    {
        const QString method = message.member();
        const QString given = message.signature();
        if (message.interface() == kPropertiesInterface) {
            const bool get = method == QLatin1String("Get") && given == QLatin1String("ss");
            const bool set = method == QLatin1String("Set") && given == QLatin1String("ssv");
            if (!get && !set) {
                return false;
            }
            const QVariantList arguments = message.arguments();
            const auto property =
                properties.constFind(arguments.at(0).toString() + QLatin1Char('.') + arguments.at(1).toString());
            return property != properties.constEnd() && (get || *property);
        }
        const QString key = message.interface() + QLatin1Char('.') + method;
        const auto wanted = methods.constFind(key);
        if (wanted != methods.constEnd()) {
            return *wanted == given;
        }
        // The one method readers call that the bridge answers without
        // describing it.
        return key == QLatin1String("org.a11y.atspi.Accessible.GetInterfaces") && given.isEmpty();
    }
};

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
        QAccessibleInterface* object = ObjectAt(message.path());
        if (object == nullptr || !object->isValid()) {
            return bridge_->handleMessage(message, connection);  // which says there is no such object
        }
        if (!vocabularyAt(message.path()).allows(message)) {
            return connection.send(message.createErrorReply(
                QDBusError::InvalidArgs,
                QStringLiteral("no %1.%2 with these arguments here").arg(message.interface(), message.member())));
        }
        const bool property = message.interface() == kPropertiesInterface;
        // A property is read as the bridge reads it: Get + its name.
        const QString interface = property ? message.arguments().at(0).toString() : message.interface();
        if (property) {
            // Properties take no arguments of their own; only a table's depend
            // on there being a table.
            const bool noTable = interface == kTableInterface && object->tableInterface() == nullptr;
            return noTable ? unsupported(message, connection) : bridge_->handleMessage(message, connection);
        }
        const GuardVerdict verdict = JudgeRequest(object, interface, message.member(), message.arguments());
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
    // Read once for each kind of object: the introspection of a path lists
    // the interfaces its object has, from a few fixed texts.
    const Vocabulary& vocabularyAt(const QString& path)
    {
        const QString introspection = bridge_->introspect(path);
        auto known = vocabularies_.find(introspection);
        if (known == vocabularies_.end()) {
            known = vocabularies_.insert(introspection, Vocabulary::from(introspection));
        }
        return *known;
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
    QHash<QString, Vocabulary> vocabularies_;
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
// its observers, in the same call; the guard takes its place as soon as that
// call has returned. A request that arrives in between, while the bridge
// introduces the program to the accessibility registry (one round trip),
// still reaches the bridge: readers learn of the program only from that
// introduction, so few can ask so soon.
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
