#include "skin/bundled_fonts.h"
#include "tests/support/gui_test_main.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace orvane::test {
namespace {

[[noreturn]] void fail(const char *why)
{
    std::fprintf(stderr, "GUI test set-up: %s\n", why);
    std::exit(EXIT_FAILURE);
}

// Holds the fontconfig file and its cache for the whole run.
QTemporaryDir &fontconfigDir()
{
    static QTemporaryDir dir;
    return dir;
}

// No <dir> and no <include>: fontconfig offers no font at all, so only the
// bundled fonts exist, and its rendering defaults are its built-in ones.
void writeFontconfigFile()
{
    QTemporaryDir &dir = fontconfigDir();
    if (!dir.isValid())
        fail("no temporary folder for the fontconfig file");
    const QString path = dir.filePath(QStringLiteral("fonts.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        fail("cannot write the fontconfig file");
    const QByteArray cache = QFile::encodeName(dir.filePath(QStringLiteral("cache")));
    file.write("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
               "<fontconfig>\n  <cachedir>" +
               cache + "</cachedir>\n</fontconfig>\n");
    if (!file.flush())
        fail("cannot write the fontconfig file");
    qputenv("FONTCONFIG_FILE", QFile::encodeName(path));
    qunsetenv("FONTCONFIG_PATH");
}

} // namespace

void prepareGuiTestEnvironment(TestPlatform platform)
{
    qputenv("QT_QPA_PLATFORM", platform == TestPlatform::X11 ? "xcb" : "offscreen");
    for (const char *name :
         {"QT_SCREEN_SCALE_FACTORS", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_QPA_PLATFORMTHEME",
          "QT_STYLE_OVERRIDE", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_USE_PHYSICAL_DPI"})
        qunsetenv(name);
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_FONT_DPI", "96");
    // No session bus of the machine's: under xcb the accessibility bridge
    // would talk to it (and libdbus leaks on a failed connection).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    writeFontconfigFile();
}

void finishGuiTestSetup()
{
    QLocale::setDefault(QLocale::c());
    QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"));
    if (!fusion)
        fail("no Fusion style");
    QApplication::setStyle(fusion);
    QApplication::setPalette(fusion->standardPalette());
    if (!orvane::installBundledFonts())
        fail("the bundled fonts could not be installed");
}

} // namespace orvane::test
