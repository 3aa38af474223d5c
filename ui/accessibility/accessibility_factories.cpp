#include "ui/accessibility/accessibility_factories.h"

#include <QAccessibleWidget>

#include "ui/accessibility/bus_guard.h"
#include "ui/accessibility/combo_accessibility.h"
#include "ui/accessibility/picture_accessibility.h"
#include "ui/main_window/main_window.h"

namespace waitline {
namespace {

// A plain top-level widget reads as a "filler" to screen readers, which then
// do not announce it as a window with its title.
QAccessibleInterface* WindowAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(MainWindow::staticMetaObject.className()) && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibilityFactories()
{
    QAccessible::installFactory(&WindowAccessibleFactory);
    QAccessible::installFactory(&PictureAccessibleFactory);
    QAccessible::installFactory(&ComboAccessibleFactory);
    InstallAccessibilityBusGuard();
}

}  // namespace waitline
