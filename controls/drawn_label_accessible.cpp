#include "controls/drawn_label_accessible.h"

#include "controls/link_label.h"
#include "controls/shadow_label.h"

#include <QAccessibleWidget>

namespace orvane {
namespace {

class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel *label) : QAccessibleWidget(label, QAccessible::Link) {}

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<LinkLabel *>(widget())->open();
    }
};

// Both draw their text themselves, so without this a screen reader finds
// only an unnamed area.
QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(ShadowLabel::staticMetaObject.className()))
        return new QAccessibleWidget(qobject_cast<QWidget *>(object), QAccessible::StaticText);
    if (className == QLatin1StringView(LinkLabel::staticMetaObject.className()))
        return new LinkLabelAccessible(qobject_cast<LinkLabel *>(object));
    return nullptr;
}

} // namespace

void installDrawnLabelAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace orvane
