#include "application_title.h"
#include "main_window.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <orvane/build_config.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Not the display name: Qt would append that to the window's caption.
    QCoreApplication::setApplicationName(
        orvane::applicationTitle(QCoreApplication::applicationFilePath()));

    orvane::TForm1 Form1(
        {QByteArray(orvane::build::kServiceHost), QString::fromUtf8(orvane::build::kMakerSite)});
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        Form1.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, Form1.size(),
                                              screen->geometry()));
    }
    Form1.show();
    return QApplication::exec();
}
