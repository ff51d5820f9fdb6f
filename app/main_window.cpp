#include "app/main_window.h"

#include "app/input_hold.h"
#include "app/network_worker.h"
#include "service/forecast_reply.h"
#include "service/login_address.h"
#include "service/saved_login.h"
#include "service/tag_value.h"
#include "service/text_codec.h"
#include "skin/desktop_font.h"
#include "skin/skin_reader.h"
#include "table/forecast_grid.h"
#include "table/forecast_rows.h"
#include "ui_main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QTabBar>
#include <cstdio>
#include <memory>
#include <utility>

// Outside any namespace: the resource initialisers are declared at global scope.
static void initWindowResources()
{
    Q_INIT_RESOURCE(orvane_pictures);
    Q_INIT_RESOURCE(orvane_icon);
}

using namespace Qt::Literals::StringLiterals;

namespace orvane {
namespace {

constexpr QSize kClientSize(800, 623);

// The application icon at every size it has; the task bar shows it, the
// caption does not.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addFile(u":/orvane/icon/orvane_%1.png"_s.arg(size));
        icon.addFile(u":/orvane/icon/orvane_%1@2x.png"_s.arg(size));
    }
    return icon;
}

// The first-page picture at its natural size, crisp on dense screens.
QPixmap firstPagePicture()
{
    const bool dense = qApp->devicePixelRatio() > 1.0;
    QPixmap picture(dense ? u":/orvane/pictures/first_page@2x.jpg"_s
                          : u":/orvane/pictures/first_page.jpg"_s);
    picture.setDevicePixelRatio(dense ? 2.0 : 1.0);
    return picture;
}

QString updateMessage(const QString &makerSite)
{
    return u"Update New Version Programm Please!\n\rGo to site "_s + makerSite +
           u"\n\rОбновите программу с сайта!"_s;
}

QUrl downloadPage(const QString &makerSite)
{
    return QUrl(u"http://"_s + makerSite +
                    u"/index.php?option=com_content&view=article&id=54&Itemid=19#скачать"_s,
                QUrl::TolerantMode);
}

// The label's name is what a screen reader says of it: its text, once it has one.
void setStatusText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setAccessibleName(text);
}

QString windowTitleFor(QByteArrayView subscription)
{
    return u"Orvane ("_s + fromCp1251(subscription) + u')';
}

} // namespace

std::shared_ptr<const Skin> programSkin()
{
    const SkinRead &stored = storedSkin();
    if (!stored.skin) {
        std::fprintf(stderr, "orvane: the stored skin cannot be used (%s); drawing plainly.\n",
                     qPrintable(stored.error));
        return nullptr;
    }
    static const auto skin = std::make_shared<const Skin>(*stored.skin);
    return skin;
}

TForm1::TForm1(ServiceEndpoints endpoints, PlatformHooks hooks, std::shared_ptr<const Skin> skin,
               QWidget *parent)
    : SkinnedWindow(parent), ui(std::make_unique<Ui::TForm1>()), ImageList3(FlagImages::bundled()),
      m_endpoints(std::move(endpoints)), m_hooks(std::move(hooks)),
      m_worker(std::make_unique<NetworkWorker>()),
      m_gate(
          this, [this] { close(); }, [this] { m_worker->abandon(); })
{
    static const bool resources = (initWindowResources(), true);
    Q_UNUSED(resources);
    ui->setupUi(this);
    setWindowIcon(applicationIcon());
    // The tab captions' own font; the pages keep the window's.
    ui->page->tabBar()->setProperty(kDesktopFontProperty, u"Arial,14"_s);
    applyDesktopFonts(this);
    ui->NG->setFlagImages(ImageList3);
    ui->Image1->setPixmap(firstPagePicture());
    ui->spSkinLinkLabel1->setText(m_endpoints.makerSite);
    ui->spSkinLinkLabel1->setTarget(m_endpoints.makerSite);
    ui->spSkinLinkLabel1->setAccessibleName(m_endpoints.makerSite);
    ui->spSkinLinkLabel1->setOpener([this](const QUrl &url) {
        if (m_hooks.openUrl)
            m_hooks.openUrl(url);
    });
    ui->spSkinStdLabel1->setBuddy(ui->loginedit);
    setSkin(std::move(skin));
    layOut();

    connect(ui->spSkinXFormButton1, &QPushButton::clicked, this, &TForm1::spSkinXFormButton1Click);
    connect(ui->spSkinXFormButton2, &QPushButton::clicked, this, &TForm1::spSkinXFormButton2Click);

    FormCreate();
}

TForm1::~TForm1() = default;

// Places what follows from the skin: the client area inside the frame, the
// labels sized to their text, and the status labels against the tool panel's
// inner right edge, filling its height.
void TForm1::layOut()
{
    setClientSize(kClientSize);
    ui->page->move(clientRect().topLeft());
    for (QWidget *label :
         {static_cast<QWidget *>(ui->spSkinStdLabel1), static_cast<QWidget *>(ui->spSkinStdLabel2),
          static_cast<QWidget *>(ui->spSkinLinkLabel1)})
        label->resize(label->sizeHint());

    const QRect inside = ui->spSkinPanel1->contentsRect();
    int right = inside.right() + 1;
    for (QLabel *label : {ui->pr2, ui->pr1}) {
        label->setGeometry(right - label->width(), inside.top(), label->width(), inside.height());
        right = label->x();
    }
    ui->spSkinXFormButton2->move(0, 0);
    ui->page->setFocus();
}

void TForm1::FormCreate()
{
    const HandlerGate::Running running(m_gate, [this] { FormCreate(); });
    if (!running)
        return;

    if (!LoadSavedLogin())
        return;
    ui->page->setCurrentWidget(ui->spSkinTabSheet1);
    ui->page->setTabVisible(ui->page->indexOf(ui->spSkinTabSheet2), false);
    ui->page->setTabVisible(ui->page->indexOf(ui->spSkinTabSheet1), true);
}

bool TForm1::LoadSavedLogin()
{
    const SavedLoginRead saved = readSavedLogin(savedLoginFolder());
    if (saved.found)
        ui->zap->setChecked(true);
    if (saved.login)
        ui->loginedit->setText(fromCp1251(*saved.login));
    if (saved.password)
        ui->passedit->setText(*saved.password);
    if (saved.error) {
        showError(errorBoxText(*saved.error));
        return false;
    }
    return true;
}

void TForm1::spSkinXFormButton1Click()
{
    const HandlerGate::Running running(m_gate, [this] { spSkinXFormButton1Click(); });
    if (!running)
        return;

    if (!versionIsCurrent())
        return;
    m_credentials = {toCp1251(ui->loginedit->text()), ui->passedit->text()};
    QByteArray reply;
    if (!fetchOrTell(reply))
        return;
    if (containsFailMarker(reply)) {
        showMessage(u"Autorization Failed!"_s);
        return;
    }
    setWindowTitle(windowTitleFor(tagValueView(reply, "PODPISKA")));
    // The load below fetches the forecasts again; holding this copy as well would double
    // the peak memory of a large reply.
    reply = QByteArray();
    if (!rememberLogin())
        return;
    showForecastScreen();
    LoadForecasts();
}

// Whether LOGIN may go on. An outdated version takes the update path: the
// message, the download page, and the window closes once the handler has returned.
bool TForm1::versionIsCurrent()
{
    switch (probeVersion()) {
    case ProbeResult::Current:
        return true;
    case ProbeResult::Cancelled:
        return false;
    case ProbeResult::Unreachable:
        showMessage(kConnectionMessage.toString());
        return false;
    case ProbeResult::ServerError:
        // A server that cannot answer says nothing of the version.
        showMessage(kServerErrorMessage.toString());
        return false;
    case ProbeResult::Outdated:
        showMessage(updateMessage(m_endpoints.makerSite));
        if (m_hooks.openUrl)
            m_hooks.openUrl(downloadPage(m_endpoints.makerSite));
        close();
        return false;
    }
    return false;
}

// Saves the login when "remember" is ticked and deletes the file otherwise;
// false when saving failed, after the error box has shown why.
bool TForm1::rememberLogin()
{
    const QString folder = savedLoginFolder();
    if (!ui->zap->isChecked()) {
        deleteSavedLogin(folder);
        return true;
    }
    if (const std::optional<QString> error = SaveLogin(m_credentials, folder)) {
        showError(errorBoxText(*error));
        return false;
    }
    return true;
}

// The login reply, or false: after a failure with nothing received the user
// is told so; an abandoned call just ends the handler.
bool TForm1::fetchOrTell(QByteArray &reply)
{
    switch (fetchLoginReply(reply)) {
    case Fetch::Received:
        return true;
    case Fetch::Abandoned:
        return false;
    case Fetch::Failed:
        showMessage(kConnectionMessage.toString());
        return false;
    }
    return false;
}

void TForm1::spSkinXFormButton2Click()
{
    const HandlerGate::Running running(m_gate, [this] { spSkinXFormButton2Click(); });
    if (!running)
        return;
    LoadForecasts();
}

void TForm1::LoadForecasts()
{
    const HandlerGate::Running running(m_gate, [this] { LoadForecasts(); });
    if (!running)
        return;

    // Fetched before the grid is cleared: a failed request must leave the rows.
    QByteArray reply;
    if (!fetchOrTell(reply))
        return;
    ui->NG->ClearRows();
    const ForecastReply forecasts = readForecastReply(reply);
    if (forecasts.refused) {
        showMessage(u"Ошибка авторизации!"_s);
        return;
    }
    setWindowTitle(windowTitleFor(forecasts.title));
    setStatusText(ui->pr1, u"Profit: "_s + fromCp1251(forecasts.profit));
    if (!forecasts.hasForecasts)
        return;
    for (const MatchRecord &match : forecasts.matches)
        AddForecastRow(*ui->NG, match);
    setStatusText(ui->pr2, u"Count: "_s + QString::number(ui->NG->RowCount()));
}

bool TForm1::focusNextPrevChild(bool next)
{
    QList<QWidget *> cycle{ui->page->tabBar()};
    if (ui->page->currentWidget() == ui->spSkinTabSheet1)
        cycle << ui->loginedit << ui->passedit;
    else
        cycle << ui->NG;
    const qsizetype at = std::max<qsizetype>(0, cycle.indexOf(focusWidget()));
    const qsizetype n = cycle.size();
    QWidget *target = cycle[(at + (next ? 1 : n - 1)) % n];
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_gate.allowClose())
        QWidget::closeEvent(event);
    else
        event->ignore();
}

// Failed when the request failed before any byte of a body arrived: an empty
// success must not be confused with no answer at all.
TForm1::Fetch TForm1::fetchLoginReply(QByteArray &reply)
{
    // Owned by the job: an abandoned one still writes here after this returns.
    struct Outcome {
        QByteArray reply;
        bool failed = false;
    };
    const auto outcome = std::make_shared<Outcome>();
    const QByteArray url = loginAddress(m_credentials, m_endpoints.serviceHost);
    if (!wait([url, outcome](http::HttpClient &Id, const http::CancelToken &cancel) {
            outcome->failed = http::HttpGetText(Id, url, outcome->reply, &cancel).has_value();
        }))
        return Fetch::Abandoned;
    reply = std::move(outcome->reply);
    return !outcome->failed || !reply.isEmpty() ? Fetch::Received : Fetch::Failed;
}

ProbeResult TForm1::probeVersion()
{
    const QByteArray url = versionFileAddress(m_endpoints.serviceHost);
    const std::chrono::milliseconds timeout = m_hooks.probeTimeout;
    const auto result = std::make_shared<ProbeResult>(ProbeResult::Unreachable);
    if (!wait([url, timeout, result](http::HttpClient &, const http::CancelToken &cancel) {
            *result = ProbeUrl(url, timeout, &cancel);
        }))
        return ProbeResult::Cancelled;
    return *result;
}

// False when the call was abandoned: the handler must stop without a word.
bool TForm1::wait(NetworkWorker::Job job)
{
    if (m_gate.abandoned())
        return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool finished = false;
    {
        const HandlerGate::Waiting waiting(m_gate, HandlerGate::Wait::Network);
        // Input waits until the handler has returned, but the frame's close
        // button and system menu answer at once, so a close abandons the call.
        const InputHold hold(*this);
        finished = m_worker->run(std::move(job), QEventLoop::AllEvents);
    }
    QGuiApplication::restoreOverrideCursor();
    // A job may finish just as the close arrives; the close still wins.
    return finished && !m_gate.abandoned();
}

void TForm1::showMessage(const QString &text)
{
    const HandlerGate::Waiting waiting(m_gate, HandlerGate::Wait::Dialog);
    if (m_hooks.showMessage)
        m_hooks.showMessage(text);
}

void TForm1::showError(const QString &text)
{
    const HandlerGate::Waiting waiting(m_gate, HandlerGate::Wait::Dialog);
    if (m_hooks.showError)
        m_hooks.showError(text);
}

void TForm1::showForecastScreen()
{
    ui->page->setCurrentWidget(ui->spSkinTabSheet2);
    ui->page->setTabVisible(ui->page->indexOf(ui->spSkinTabSheet1), false);
    ui->page->setTabVisible(ui->page->indexOf(ui->spSkinTabSheet2), true);
}

QString TForm1::savedLoginFolder() const
{
    return m_hooks.savedLoginFolder ? m_hooks.savedLoginFolder() : QDir::currentPath();
}

} // namespace orvane
