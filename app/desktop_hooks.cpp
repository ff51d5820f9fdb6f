#include "app/desktop_hooks.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>

namespace orvane {
namespace {

void showBox(QMessageBox::Icon icon, const QString &text)
{
    // Parentless, so it is centred on the screen rather than on the window.
    QMessageBox box(icon, QCoreApplication::applicationName(), QString(text).remove(u'\r'),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

PlatformHooks PlatformHooks::desktop()
{
    PlatformHooks hooks;
    hooks.showMessage = [](const QString &text) {
        showBox(QMessageBox::NoIcon, text);
    };
    hooks.showError = [](const QString &text) {
        showBox(QMessageBox::Critical, text);
    };
    hooks.openUrl = [](const QUrl &url) {
        QDesktopServices::openUrl(url);
    };
    hooks.savedLoginFolder = [] {
        return QDir::currentPath();
    };
    return hooks;
}

} // namespace orvane
