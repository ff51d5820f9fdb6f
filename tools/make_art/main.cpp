// Writes the first-page picture and the application icon into resources/,
// with their .qrc files, licence notices and manifest, then reads every file
// back and refuses output of the wrong size or kind.
#include "tools/make_art/app_icon.h"
#include "tools/make_art/art_manifest.h"
#include "tools/make_art/first_page.h"
#include "tools/make_art/ico_file.h"
#include "tools/make_art/output_checks.h"
#include "tools/make_art/page_layout.h"
#include "tools/make_art/previews.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>
#include <orvane/build_config.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kJpegQuality = 92;
constexpr int kIconPoints[] = {16, 32, 48, 64};

bool fail(const QString &message)
{
    std::fprintf(stderr, "make_art: %s\n", qPrintable(message));
    return false;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail(u"cannot write "_s + path);
    return true;
}

bool writeImage(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        return fail(u"cannot write %1: %2"_s.arg(path, writer.errorString()));
    return true;
}

QString qrc(const QString &prefix, const QStringList &files)
{
    QString text =
        u"<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"%1\">\n"_s.arg(prefix);
    for (const QString &file : files)
        text += u"    <file>%1</file>\n"_s.arg(file);
    return text + u"</qresource>\n</RCC>\n"_s;
}

// A fontconfig file with no font folders: only the bundled fonts exist, so a
// font installed on the machine under the same name cannot stand in for them.
bool hideMachineFonts(const QTemporaryDir &dir)
{
    const QByteArray cache = QFile::encodeName(dir.filePath(u"cache"_s));
    const QString path = dir.filePath(u"fonts.conf"_s);
    if (!dir.isValid() ||
        !writeBytes(path, "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                          "<fontconfig>\n  <cachedir>" +
                              cache + "</cachedir>\n</fontconfig>\n"))
        return fail(u"cannot write a fontconfig file"_s);
    qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
    qunsetenv("FONTCONFIG_PATH");
    return true;
}

bool registerFonts(const QDir &fonts)
{
    for (const QString &file : {u"LiberationSans-Regular.ttf"_s, u"LiberationSans-Bold.ttf"_s})
        if (QFontDatabase::addApplicationFont(fonts.filePath(file)) < 0)
            return fail(u"cannot load the font "_s + fonts.filePath(file));
    return true;
}

bool report(const QStringList &errors)
{
    for (const QString &error : errors)
        fail(error);
    return errors.isEmpty();
}

bool writePictures(const EmojiLibrary &emoji, const QDir &pictures, const QDir &preview,
                   bool withPreview)
{
    const QDir &out = pictures;
    bool ok = true;
    for (const int scale : {1, 2}) {
        QImage picture = paintFirstPage(emoji, scale);
        // 96 dots per inch, or twice that for the @2x file; nothing else in the
        // header depends on the machine or the time.
        picture.setDotsPerMeterX(3780 * scale);
        picture.setDotsPerMeterY(3780 * scale);
        const QString name = scale == 1 ? u"first_page.jpg"_s : u"first_page@2x.jpg"_s;
        if (!writeImage(picture, out.filePath(name), "jpeg", kJpegQuality))
            return false;
        if (!report(checkJpeg(out.filePath(name), PageLayout::kPicture * scale)))
            return false;

        const QImage written(out.filePath(name));
        for (const ContrastFigure &figure : measureContrast(written, scale)) {
            std::printf("%dx contrast, %s: %.1f:1\n", scale, qPrintable(figure.what), figure.ratio);
            if (figure.ratio < figure.minimum)
                ok = fail(u"%1 reads too poorly at %2x"_s.arg(figure.what).arg(scale));
        }
        if (withPreview) {
            const QString suffix = scale == 1 ? QString() : u"@2x"_s;
            if (!writeImage(written, preview.filePath(u"first_page%1.png"_s.arg(suffix)), "png") ||
                !writeImage(loginPagePreview(written, scale,
                                             QString::fromLatin1(orvane::build::kMakerSite)),
                            preview.filePath(u"login_page_preview%1.png"_s.arg(suffix)), "png"))
                return false;
        }
    }
    return ok &&
           writeBytes(
               out.filePath(u"orvane_pictures.qrc"_s),
               qrc(u"/orvane/pictures"_s, {u"first_page.jpg"_s, u"first_page@2x.jpg"_s}).toUtf8());
}

bool writeIcons(const QDir &out, const QDir &preview, bool withPreview, QStringList *files)
{
    QList<QImage> sheet, ico;
    for (const int points : kIconPoints) {
        for (const int ratio : {1, 2}) {
            const QImage icon = paintAppIcon(points, ratio);
            const QString name =
                u"orvane_%1%2.png"_s.arg(points).arg(ratio == 2 ? u"@2x"_s : QString());
            if (!writeImage(icon, out.filePath(name), "png") ||
                !report(checkPng(out.filePath(name), QSize(points, points) * ratio)))
                return false;
            *files << name;
            sheet << icon;
            if (ratio == 1 || points == 64)
                ico << icon;
        }
    }
    const QString icoPath = out.filePath(u"orvane.ico"_s);
    if (!writeBytes(icoPath, icoFile(ico)) || !report(checkIco(icoPath, ico)))
        return false;
    if (withPreview &&
        !writeImage(iconContactSheet(sheet), preview.filePath(u"icon_sheet.png"_s), "png"))
        return false;
    return writeBytes(out.filePath(u"orvane_icon.qrc"_s), qrc(u"/orvane/icon"_s, *files).toUtf8());
}

bool writeLicence(const QDir &package, const QDir &toolSource, const QDir &pictures)
{
    QFile packageLicence(package.filePath(u"LICENSE"_s));
    QFile artworkLicence(toolSource.filePath(u"LICENSE-fluent-emoji-artwork.txt"_s));
    if (!packageLicence.open(QIODevice::ReadOnly) || !artworkLicence.open(QIODevice::ReadOnly))
        return fail(u"cannot read the emoji licences"_s);
    const QByteArray text =
        "The emoji in first_page.jpg and first_page@2x.jpg come from the npm package\n"
        "fluentui-emoji, which packages the Fluent Emoji artwork. Both are MIT-licensed.\n\n"
        "--- fluentui-emoji (the package) ---\n\n" +
        packageLicence.readAll().trimmed() + "\n\n--- Fluent Emoji (the artwork) ---\n\n" +
        artworkLicence.readAll().trimmed() + "\n";
    return writeBytes(pictures.filePath(u"LICENSE-fluentui-emoji.txt"_s), text);
}

} // namespace

int main(int argc, char *argv[])
{
    const QTemporaryDir fontconfig;
    if (!hideMachineFonts(fontconfig))
        return 1;
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Writes the first-page picture and the application icon."_s);
    parser.addHelpOption();
    parser.addPositionalArgument(u"fluentui-emoji"_s, u"Folder of the fluentui-emoji package."_s);
    parser.addPositionalArgument(u"resources"_s, u"The repository's resources folder."_s);
    const QCommandLineOption previewOption(
        u"preview"_s, u"Also write previews for checking by eye into <folder>."_s, u"folder"_s);
    parser.addOption(previewOption);
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(1);

    const QDir package(parser.positionalArguments().at(0));
    const QDir resources(parser.positionalArguments().at(1));
    const QDir toolSource(QStringLiteral(ORVANE_MAKE_ART_SOURCE_DIR));
    const QDir pictures(resources.filePath(u"pictures"_s));
    const QDir icons(resources.filePath(u"icon"_s));
    const bool withPreview = parser.isSet(previewOption);
    const QDir preview(parser.value(previewOption));
    for (const QDir &dir : {pictures, icons, withPreview ? preview : pictures}) {
        if (!QDir().mkpath(dir.path())) {
            fail(u"cannot create "_s + dir.path());
            return 1;
        }
    }

    if (!registerFonts(QDir(resources.filePath(u"fonts"_s))))
        return 1;
    EmojiLibrary emoji(package);
    if (!emoji.load(firstPageEmoji())) {
        fail(emoji.error());
        return 1;
    }

    QStringList iconFiles;
    if (!writePictures(emoji, pictures, preview, withPreview) ||
        !writeIcons(icons, preview, withPreview, &iconFiles) ||
        !writeLicence(package, toolSource, pictures) ||
        !writeBytes(resources.filePath(u"ART-MANIFEST.md"_s),
                    artManifest(emoji.packageVersion(), emoji.files(), iconFiles).toUtf8()))
        return 1;
    return 0;
}
