#pragma once

#include "app/desktop_hooks.h"
#include "app/handler_gate.h"
#include "app/network_worker.h"
#include "service/credentials.h"
#include "service/version_probe.h"
#include "skin/skin.h"
#include "skin/skinned_window.h"
#include "table/league_flags.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QWidget>
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

inline constexpr QStringView kConnectionMessage =
    u"Cannot connect to the forecast server. Check your connection and try again.";
inline constexpr QStringView kServerErrorMessage =
    u"The forecast server cannot answer right now. Try again later.";

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
    enum class Fetch { Received, Failed, Abandoned };

    // Fills the login page from the saved-login file; false when reading it
    // failed, after the error box has shown why.
    bool LoadSavedLogin();
    bool versionIsCurrent();
    bool rememberLogin();
    Fetch fetchLoginReply(QByteArray &reply);
    bool fetchOrTell(QByteArray &reply);
    ProbeResult probeVersion();
    [[nodiscard]] bool wait(NetworkWorker::Job job);
    void showMessage(const QString &text);
    void showError(const QString &text);
    void showForecastScreen();
    void layOut();
    QString savedLoginFolder() const;

    std::unique_ptr<Ui::TForm1> ui;
    const FlagImages ImageList3; // loaded once; NG holds a copy that shares it
    ServiceEndpoints m_endpoints;
    PlatformHooks m_hooks;
    std::unique_ptr<NetworkWorker> m_worker;
    Credentials m_credentials;
    HandlerGate m_gate;
};

} // namespace orvane
