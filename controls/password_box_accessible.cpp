#include "controls/password_box_accessible.h"

#include "controls/password_box.h"

#include <QAccessibleWidget>

namespace orvane {
namespace {

class PasswordBoxAccessible : public QAccessibleWidget {
public:
    explicit PasswordBoxAccessible(QWidget *box) : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.passwordEdit = true;
        state.editable = true;
        return state;
    }

    // No text interface either: the name and description only, never the value.
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? QString() : QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    auto *box = qobject_cast<PasswordBox *>(object);
    if (!box || className != QLatin1StringView(PasswordBox::staticMetaObject.className()))
        return nullptr;
    return new PasswordBoxAccessible(box);
}

} // namespace

void installPasswordBoxAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace orvane
