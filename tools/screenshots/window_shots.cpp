#include "tools/screenshots/window_shots.h"

#include "app/main_window.h"
#include "controls/password_box.h"
#include "tools/demo_service/demo_reply.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <orvane/build_config.h>

using namespace Qt::Literals::StringLiterals;

namespace orvane::shots {
namespace {

class Shooter {
public:
    Shooter(const QByteArray &serviceHost, const QDir &folder)
        : m_serviceHost(serviceHost), m_folder(folder)
    {
        const qreal ratio = qApp->devicePixelRatio();
        if (ratio != 1.0)
            m_suffix = u"@%1x"_s.arg(ratio);
    }

    // One window from its creation to the forecast page.
    void shoot(std::shared_ptr<const Skin> skin, const QString &variant)
    {
        QTemporaryDir savedLogins; // keeps the saved-login file of the machine out of it
        TForm1 form({m_serviceHost, QString::fromUtf8(build::kMakerSite)},
                    hooks(savedLogins.path()), std::move(skin));
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form)) {
            m_problems << u"the window was not shown"_s;
            return;
        }
        save(form, u"login"_s + variant);

        widget<QLineEdit>(form, "loginedit")->setText(QString::fromLatin1(demo::kLogin));
        widget<PasswordBox>(form, "passedit")->setText(QByteArray(demo::kPassword));
        widget<QAbstractButton>(form, "spSkinXFormButton1")->click();
        if (!onForecastPage(form))
            return;
        save(form, u"forecast"_s + variant);
    }

    QStringList problems() const { return m_problems; }

private:
    PlatformHooks hooks(const QString &savedLoginFolder)
    {
        PlatformHooks hooks;
        hooks.showMessage = [this](const QString &text) {
            m_problems << u"the window said: "_s + text;
        };
        hooks.showError = hooks.showMessage;
        hooks.openUrl = [this](const QUrl &url) {
            m_problems << u"the window opened "_s + url.toString();
        };
        hooks.savedLoginFolder = [savedLoginFolder] {
            return savedLoginFolder;
        };
        return hooks;
    }

    template <class W> W *widget(const QWidget &form, const char *name)
    {
        W *found = form.findChild<W *>(QString::fromLatin1(name));
        if (!found)
            qFatal("the window has no %s", name);
        return found;
    }

    bool onForecastPage(const TForm1 &form)
    {
        const auto *page = widget<QTabWidget>(form, "page");
        const bool shown = page->currentWidget()->objectName() == u"spSkinTabSheet2" &&
                           !page->isTabVisible(0) && page->isTabVisible(1);
        const QString count = widget<QLabel>(form, "pr2")->text();
        if (!shown || !count.startsWith(u"Count: ") ||
            !form.windowTitle().startsWith(u"Orvane (")) {
            m_problems << u"the login as \"%1\" did not reach the forecast page (title \"%2\", "
                          u"\"%3\")"_s.arg(QString::fromLatin1(demo::kLogin), form.windowTitle(),
                                           count);
            return false;
        }
        return true;
    }

    void save(QWidget &form, const QString &name)
    {
        // A view lays out its rows and scroll bars from the event loop, after
        // the handler has returned.
        for (int round = 0; round < 3; ++round)
            QCoreApplication::processEvents();
        const QString path = m_folder.filePath(name + m_suffix + u".png"_s);
        if (!form.grab().save(path, "PNG"))
            m_problems << u"cannot write "_s + path;
    }

    QByteArray m_serviceHost;
    QDir m_folder;
    QString m_suffix;
    QStringList m_problems;
};

} // namespace

QStringList saveWindowShots(const QByteArray &serviceHost, const QDir &folder)
{
    std::shared_ptr<const Skin> skin = programSkin();
    if (!skin)
        return {u"the stored skin cannot be read"_s};
    Shooter shooter(serviceHost, folder);
    shooter.shoot(std::move(skin), QString());
    shooter.shoot(nullptr, u"-plain"_s);
    return shooter.problems();
}

} // namespace orvane::shots
