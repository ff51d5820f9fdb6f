#pragma once

#include "app/network_worker.h"
#include "service/credentials.h"
#include "service/version_probe.h"
#include "skin/skin.h"
#include "skin/skinned_window.h"
#include "table/league_flags.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

namespace Ui {
class TForm1;
}

namespace orvane {

// Where the window's requests and links go: fixed values of the build.
struct ServiceEndpoints {
    QByteArray serviceHost; // authority (host[:port]) of the login request and the version file
    QString makerSite;      // domain of the maker's web site
};

// What the window asks of the desktop. Tests replace these so that no dialog
// shows and no browser opens.
struct PlatformHooks {
    std::function<void(const QString &text)> showMessage; // modal, no icon, one OK button
    std::function<void(const QString &text)> showError;   // modal, error icon, one OK button
    std::function<void(const QUrl &url)> openUrl;
    std::function<QString()> savedLoginFolder; // asked at each access to the saved-login file
    std::chrono::milliseconds probeTimeout = kProbeTimeout;

    // Message boxes titled with the application name, centred on the screen;
    // the default browser; the current working directory.
    static PlatformHooks desktop();
};

inline constexpr QStringView kConnectionMessage =
    u"Cannot connect to the forecast server. Check your connection and try again.";

// The skin the program is drawn with: the stored one, or none when it cannot
// be read (the window then draws plainly and says why on standard error).
std::shared_ptr<const Skin> programSkin();

// The program's one window: a login page and a forecast page in a skinned frame.
class TForm1 : public SkinnedWindow {
    Q_OBJECT

public:
    explicit TForm1(ServiceEndpoints endpoints, PlatformHooks hooks = PlatformHooks::desktop(),
                    std::shared_ptr<const Skin> skin = programSkin(), QWidget *parent = nullptr);
    ~TForm1() override;

    // The handlers. While one of them waits for the network or a message box,
    // a call to another is deferred until it has returned, as user input is.
    // A close request while one waits for the network abandons the call: the
    // handlers stop there, without a message, and the window closes at once.
    void FormCreate();
    void spSkinXFormButton1Click(); // LOGIN
    void spSkinXFormButton2Click(); // Refresh
    void LoadForecasts();

    const Credentials &credentials() const { return m_credentials; }

protected:
    void closeEvent(QCloseEvent *event) override;
    // Tab visits the tab strip and the shown page's fields in turn: the login
    // and password boxes, or the grid.
    bool focusNextPrevChild(bool next) override;

private:
    using Handler = void (TForm1::*)();
    class Running;
    enum class Fetch { Received, Failed, Abandoned };

    // Fills the login page from the saved-login file; false when reading it
    // failed, after the error box has shown why.
    bool LoadSavedLogin();
    Fetch fetchLoginReply(QByteArray &reply);
    bool fetchOrTell(QByteArray &reply);
    ProbeResult probeVersion();
    [[nodiscard]] bool wait(NetworkWorker::Job job);
    void showMessage(const QString &text);
    void showError(const QString &text);
    void showForecastScreen();
    void layOut();
    QString savedLoginFolder() const;
    void afterHandlers();

    std::unique_ptr<Ui::TForm1> ui;
    const FlagImages ImageList3; // loaded once; NG holds a copy that shares it
    ServiceEndpoints m_endpoints;
    PlatformHooks m_hooks;
    std::unique_ptr<NetworkWorker> m_worker;
    Credentials m_credentials;

    int m_handlerDepth = 0;      // handlers on the stack
    int m_loopDepth = 0;         // local event loops those handlers wait in
    int m_networkDepth = 0;      // of them, the ones that wait for the network
    bool m_closePending = false; // a close arrived while a handler showed a message
    bool m_abandoned = false;    // a close arrived while a handler waited for the network
    QList<Handler> m_deferred;   // handlers called while another one waited
};

} // namespace orvane
