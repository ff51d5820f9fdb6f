#include "app/run_program.h"

#include "app/application_title.h"
#include "app/main_window.h"
#include "service/text_codec.h"
#include "skin/bundled_fonts.h"
#include "skin/skin_reader.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <cstdio>
#include <orvane/build_config.h>
#include <thread>
#include <utility>

namespace orvane {
namespace {

// Calls back once the first paint of the watched window is done: the paint
// event comes before the drawing and the flush, so the call is queued behind them.
class FirstPaintWatcher : public QObject {
public:
    explicit FirstPaintWatcher(std::function<void()> callback) : m_callback(std::move(callback)) {}
    bool armed() const { return bool(m_callback); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_callback) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, std::exchange(m_callback, {}), Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_callback;
};

} // namespace

int runProgram(int argc, char *argv[], std::function<void()> firstShown)
{
    // A Wayland client can neither place its window nor cut its outline: ask
    // for X11 (XWayland under a Wayland session) unless the user chose.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    QApplication app(argc, argv);
    // Decoding the skin's pictures is the longest step before the window and
    // needs nothing of the GUI thread's, so it runs beside the checks and the
    // font registration.
    std::jthread skinReader([] { storedSkin(); });
    // Not the display name: Qt would append that to the window's caption.
    QCoreApplication::setApplicationName(applicationTitle(QCoreApplication::applicationFilePath()));
    // Lets the task bar and the window manager match the window to its menu entry.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(build::kApplicationId));

    if (!cp1251Available()) {
        QMessageBox::critical(nullptr, QCoreApplication::applicationName(),
                              QStringLiteral("This copy of Qt cannot convert Windows-1251 text, "
                                             "which the forecast service sends. Install a Qt "
                                             "built with ICU and start the program again."));
        return 1;
    }
    if (!installBundledFonts())
        std::fputs("orvane: the bundled fonts could not be installed; text may not fit.\n", stderr);

    skinReader.join();
    FirstPaintWatcher watcher(std::move(firstShown));
    TForm1 Form1({QByteArray(build::kServiceHost), QString::fromUtf8(build::kMakerSite)});
    if (watcher.armed())
        Form1.installEventFilter(&watcher);
    Form1.show();
    return QApplication::exec();
}

} // namespace orvane
