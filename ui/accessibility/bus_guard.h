#pragma once

#include <QString>
#include <QVariantList>

class QAccessibleInterface;

// Screen readers ask the program through AT-SPI, which Qt's bridge answers
// from the accessible interfaces. Some requests, ordinary or hostile, make
// Qt 6.4's bridge or its interfaces loop for ever or read past a list: the
// word at the end of a text, the extents of a range ending at 2^31 - 1, a
// cell or child that does not exist. The guard stands in front of the bridge
// on the accessibility bus and answers those itself, quickly, with "nothing"
// where there is nothing; it refuses requests the bridge does not describe or
// whose arguments do not fit; everything else, brought into range, goes on
// to the bridge.
namespace waitline {

struct GuardVerdict {
    enum class Kind {
        Pass,         // to the bridge, with `arguments`, perhaps brought into range
        Answer,       // reply with `arguments`
        NoObject,     // reply with the reference to no object
        Unsupported,  // reply with an error: the object cannot do this
    };
    Kind kind = Kind::Pass;
    QVariantList arguments;
};

// The verdict on one method call to `object`: an AT-SPI interface, a method
// and its arguments.
GuardVerdict JudgeRequest(QAccessibleInterface* object, const QString& interface, const QString& method,
                          const QVariantList& arguments);

// Puts the guard in front of Qt's bridge whenever accessibility becomes
// active, before any request can reach the bridge. Call once, before the
// first window is made.
void InstallAccessibilityBusGuard();

}  // namespace waitline
