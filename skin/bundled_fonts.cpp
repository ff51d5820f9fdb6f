#include "skin/bundled_fonts.h"

#include <QFontDatabase>
#include <QStringList>

// Outside any namespace: the resource initialiser is declared at global scope.
static void initFontResources()
{
    Q_INIT_RESOURCE(orvane_fonts);
}

using namespace Qt::StringLiterals;

namespace orvane {

bool installBundledFonts()
{
    static const bool installed = [] {
        initFontResources();
        bool all = true;
        for (const QString &face : {u":/orvane/fonts/LiberationSans-Regular.ttf"_s,
                                    u":/orvane/fonts/LiberationSans-Bold.ttf"_s}) {
            const int id = QFontDatabase::addApplicationFont(face);
            all = all && id >= 0 &&
                  QFontDatabase::applicationFontFamilies(id).contains(bundledFontFamily());
        }
        return all;
    }();
    return installed;
}

QString bundledFontFamily()
{
    return u"Liberation Sans"_s;
}

} // namespace orvane
