#include "skin/bundled_fonts.h"

#include <QFontDatabase>
#include <QResource>
#include <QStringList>

// Outside any namespace: the resource initialiser is declared at global scope.
static void initFontResources()
{
    Q_INIT_RESOURCE(orvane_fonts);
}

using namespace Qt::StringLiterals;

namespace orvane {

namespace {

// A face's bytes straight from the program's resources: an uncompressed one is
// not copied, and neither is grown while read as a file would be.
QByteArray faceData(const QString &path)
{
    const QResource resource(path);
    if (!resource.isValid())
        return {};
    if (resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()),
                                       qsizetype(resource.size()));
    return resource.uncompressedData();
}

} // namespace

bool installBundledFonts()
{
    static const bool installed = [] {
        initFontResources();
        bool all = true;
        for (const QString &face : {u":/orvane/fonts/LiberationSans-Regular.ttf"_s,
                                    u":/orvane/fonts/LiberationSans-Bold.ttf"_s}) {
            const int id = QFontDatabase::addApplicationFontFromData(faceData(face));
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
