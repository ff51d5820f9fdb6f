#include "application_title.h"
#include "bundled_fonts.h"
#include "main_window.h"
#include "text_codec.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <orvane/build_config.h>

int main(int argc, char *argv[])
{
    // A Wayland client can neither place its window nor cut its outline: ask
    // for X11 (XWayland under a Wayland session) unless the user chose.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    QApplication app(argc, argv);
    // Not the display name: Qt would append that to the window's caption.
    QCoreApplication::setApplicationName(
        orvane::applicationTitle(QCoreApplication::applicationFilePath()));

    if (!orvane::cp1251Available()) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QStringLiteral("This copy of Qt cannot convert Windows-1251 text, "
                                             "which the forecast service sends. Install a Qt "
                                             "built with ICU and start the program again."));
        return 1;
    }
    if (!orvane::installBundledFonts())
        std::fputs("orvane: the bundled fonts could not be installed; text may not fit.\n", stderr);

    orvane::TForm1 Form1(
        {QByteArray(orvane::build::kServiceHost), QString::fromUtf8(orvane::build::kMakerSite)});
    Form1.show();
    return QApplication::exec();
}
