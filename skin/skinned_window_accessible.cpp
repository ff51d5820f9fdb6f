#include "skin/skinned_window_accessible.h"

#include "skin/skinned_window.h"

#include <QAccessibleWidget>

namespace orvane {
namespace {

// A plain top-level widget is only a client area to a screen reader, which then
// neither announces it as a window nor reads its caption.
QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    auto *window = qobject_cast<SkinnedWindow *>(object);
    if (!window || className != QLatin1StringView(SkinnedWindow::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void installSkinnedWindowAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace orvane
