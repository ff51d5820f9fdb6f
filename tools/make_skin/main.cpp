// Paints the pictures of the skin "iOS4_Ext" into its folder, checks that the
// skin reads with them, and optionally writes a contact sheet and a mock-up of
// the window for checking them by eye.
#include "skin/bundled_fonts.h"
#include "skin/skin_reader.h"
#include "tools/make_skin/skin_pictures.h"
#include "tools/make_skin/skin_preview.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

int fail(const QString &why)
{
    std::fprintf(stderr, "make_skin: %s\n", qPrintable(why));
    return 1;
}

QString withSuffix(QString path, const QString &suffix)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot < 0 ? path + suffix : path.insert(dot, suffix);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes the pictures of the skin iOS4_Ext."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"skin"_s, u"The skin's folder, with its skin.ini."_s);
    const QCommandLineOption sheetOption(u"sheet"_s, u"Also write a contact sheet to <png>."_s,
                                         u"png"_s);
    const QCommandLineOption mockupOption(
        u"mockup"_s, u"Also write a mock-up of the window to <png> (and its @2x)."_s, u"png"_s);
    parser.addOption(sheetOption);
    parser.addOption(mockupOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(1);
    const QDir folder(parser.positionalArguments().constFirst());
    if (!folder.exists(u"skin.ini"_s))
        return fail(u"no skin.ini in %1"_s.arg(folder.path()));
    if (!orvane::installBundledFonts())
        return fail(u"cannot install the bundled fonts"_s);

    std::vector<orvane::skinart::PaintedPicture> pictures;
    try {
        pictures = orvane::skinart::paintSkinPictures();
    } catch (const std::exception &error) {
        return fail(QString::fromUtf8(error.what()));
    }
    if (const QString error = orvane::skinart::writeSkinPictures(pictures, folder);
        !error.isEmpty())
        return fail(error);

    // The skin must read with what was written, rectangles and @2x sizes included.
    QFile settings(folder.filePath(u"skin.ini"_s));
    if (!settings.open(QIODevice::ReadOnly))
        return fail(u"cannot read %1"_s.arg(settings.fileName()));
    const orvane::SkinRead read = orvane::readSkin(
        settings.readAll(), [&](const QString &file) { return QImage(folder.filePath(file)); });
    if (!read.skin)
        return fail(u"the skin does not read with these pictures: %1"_s.arg(read.error));
    for (const orvane::SkinPicture &picture : read.skin->pictures)
        if (picture.image2x.isNull())
            return fail(u"%1 has no @2x picture"_s.arg(picture.file));

    if (parser.isSet(sheetOption)) {
        const QString path = parser.value(sheetOption);
        if (!orvane::skinart::contactSheet(pictures).save(path))
            return fail(u"cannot write %1"_s.arg(path));
    }
    if (parser.isSet(mockupOption)) {
        const QString path = parser.value(mockupOption);
        if (!orvane::skinart::skinMockup(*read.skin, 1).save(path) ||
            !orvane::skinart::skinMockup(*read.skin, 2).save(withSuffix(path, u"@2x"_s)))
            return fail(u"cannot write %1"_s.arg(path));
    }
    return 0;
}
