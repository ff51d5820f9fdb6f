#include "skin/skin_reader.h"

#include <QFile>
#include <QImageReader>

// Outside any namespace: the resource initialiser is declared at global scope.
static void initSkinResources()
{
    Q_INIT_RESOURCE(orvane_skins);
}

namespace orvane {

const SkinRead &storedSkin()
{
    static const SkinRead read = [] {
        initSkinResources();
        const QString folder = QStringLiteral(":/orvane/skins/iOS4_Ext.skn/");
        QFile settings(folder + QStringLiteral("skin.ini"));
        if (!settings.open(QIODevice::ReadOnly))
            return SkinRead{std::nullopt, QStringLiteral("the stored skin is missing")};
        // Most screens use one density: the other set is decoded only if drawn.
        return readSkin(
            settings.readAll(), [folder](const QString &file) { return QImage(folder + file); },
            [&folder](const QString &file) { return QImageReader(folder + file).size(); });
    }();
    return read;
}

} // namespace orvane
