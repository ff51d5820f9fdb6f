#include "app/application_title.h"

#include <QFileInfo>

namespace orvane {

QString applicationTitle(const QString &programPath)
{
    QString name = QFileInfo(programPath).fileName();
    if (const qsizetype dot = name.indexOf(u'.'); dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.first(1) + name.sliced(1).toLower();
}

} // namespace orvane
