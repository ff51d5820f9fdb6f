#include "main_window.h"

#include "forecast_grid.h"
#include "forecast_reply.h"
#include "forecast_rows.h"
#include "login_address.h"
#include "network_worker.h"
#include "saved_login.h"
#include "tag_value.h"
#include "text_codec.h"
#include "ui_main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <memory>
#include <utility>

using namespace Qt::Literals::StringLiterals;

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

QString windowTitleFor(QByteArrayView subscription)
{
    return u"Orvane ("_s + fromCp1251(subscription) + u')';
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

// Marks a handler as running. A handler called while another one waits in a
// local event loop (for the network or a message box) is put off until the
// running one has returned, as the user input of that time is.
class TForm1::Running {
public:
    Running(TForm1 &form, Handler handler) : m_form(form)
    {
        if (form.m_loopDepth > 0) {
            form.m_deferred.append(handler);
            return;
        }
        m_entered = true;
        ++form.m_handlerDepth;
    }
    ~Running()
    {
        if (m_entered && --m_form.m_handlerDepth == 0)
            m_form.afterHandlers();
    }
    Running(const Running &) = delete;
    Running &operator=(const Running &) = delete;

    explicit operator bool() const { return m_entered; }

private:
    TForm1 &m_form;
    bool m_entered = false;
};

namespace {

class LoopScope {
public:
    explicit LoopScope(int &depth) : m_depth(depth) { ++m_depth; }
    ~LoopScope() { --m_depth; }
    LoopScope(const LoopScope &) = delete;
    LoopScope &operator=(const LoopScope &) = delete;

private:
    int &m_depth;
};

} // namespace

TForm1::TForm1(ServiceEndpoints endpoints, PlatformHooks hooks, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TForm1>()), ImageList3(FlagImages::bundled()),
      m_endpoints(std::move(endpoints)), m_hooks(std::move(hooks)),
      m_worker(std::make_unique<NetworkWorker>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->NG->setFlagImages(ImageList3);
    ui->spSkinLinkLabel1->setText(m_endpoints.makerSite);
    for (QLabel *label : {ui->spSkinStdLabel1, ui->spSkinStdLabel2, ui->spSkinLinkLabel1})
        label->adjustSize();

    connect(ui->spSkinXFormButton1, &QPushButton::clicked, this, &TForm1::spSkinXFormButton1Click);
    connect(ui->spSkinXFormButton2, &QPushButton::clicked, this, &TForm1::spSkinXFormButton2Click);

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate()
{
    const Running running(*this, &TForm1::FormCreate);
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
        ui->passedit->setText(fromCp1251(*saved.password));
    if (saved.error) {
        showError(errorBoxText(*saved.error));
        return false;
    }
    return true;
}

void TForm1::spSkinXFormButton1Click()
{
    const Running running(*this, &TForm1::spSkinXFormButton1Click);
    if (!running)
        return;

    switch (probeVersion()) {
    case ProbeResult::Current:
        break;
    case ProbeResult::Cancelled:
        return;
    case ProbeResult::Unreachable:
        showMessage(kConnectionMessage.toString());
        return;
    case ProbeResult::Outdated:
        showMessage(updateMessage(m_endpoints.makerSite));
        if (m_hooks.openUrl)
            m_hooks.openUrl(downloadPage(m_endpoints.makerSite));
        close(); // takes effect once this handler has returned
        return;
    }

    m_credentials = {toCp1251(ui->loginedit->text()), toCp1251(ui->passedit->text())};
    QByteArray reply;
    switch (fetchLoginReply(reply)) {
    case Fetch::Received:
        break;
    case Fetch::Abandoned:
        return;
    case Fetch::Failed:
        showMessage(kConnectionMessage.toString());
        return;
    }
    if (containsFailMarker(reply)) {
        showMessage(u"Autorization Failed!"_s);
        return;
    }
    setWindowTitle(windowTitleFor(tagValueView(reply, "PODPISKA")));
    const QString folder = savedLoginFolder();
    if (ui->zap->isChecked()) {
        if (const std::optional<QString> error = SaveLogin(m_credentials, folder)) {
            showError(errorBoxText(*error));
            return;
        }
    } else {
        deleteSavedLogin(folder);
    }
    showForecastScreen();
    LoadForecasts();
}

void TForm1::spSkinXFormButton2Click()
{
    const Running running(*this, &TForm1::spSkinXFormButton2Click);
    if (!running)
        return;
    LoadForecasts();
}

void TForm1::LoadForecasts()
{
    const Running running(*this, &TForm1::LoadForecasts);
    if (!running)
        return;

    // Fetched before the grid is cleared: a failed request must leave the rows.
    QByteArray reply;
    switch (fetchLoginReply(reply)) {
    case Fetch::Received:
        break;
    case Fetch::Abandoned:
        return;
    case Fetch::Failed:
        showMessage(kConnectionMessage.toString());
        return;
    }
    ui->NG->ClearRows();
    const ForecastReply forecasts = readForecastReply(reply);
    if (forecasts.refused) {
        showMessage(u"Ошибка авторизации!"_s);
        return;
    }
    setWindowTitle(windowTitleFor(forecasts.title));
    ui->pr1->setText(u"Profit: "_s + fromCp1251(forecasts.profit));
    if (!forecasts.hasForecasts)
        return;
    for (const MatchRecord &match : forecasts.matches)
        AddForecastRow(*ui->NG, match);
    ui->pr2->setText(u"Count: "_s + QString::number(ui->NG->RowCount()));
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (m_networkDepth > 0) {
        // Closing never waits for the network: the handler gives the call up.
        m_abandoned = true;
        m_worker->abandon();
        QWidget::closeEvent(event);
        return;
    }
    if (m_handlerDepth > 0) {
        m_closePending = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
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
    if (m_abandoned)
        return false;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    bool finished = false;
    {
        const LoopScope scope(m_loopDepth);
        const LoopScope network(m_networkDepth);
        finished = m_worker->run(std::move(job));
    }
    QGuiApplication::restoreOverrideCursor();
    // A job may finish just as the close arrives; the close still wins.
    return finished && !m_abandoned;
}

void TForm1::showMessage(const QString &text)
{
    const LoopScope scope(m_loopDepth);
    if (m_hooks.showMessage)
        m_hooks.showMessage(text);
}

void TForm1::showError(const QString &text)
{
    const LoopScope scope(m_loopDepth);
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

void TForm1::afterHandlers()
{
    if (std::exchange(m_abandoned, false)) {
        // Already closed.
        m_closePending = false;
        m_deferred.clear();
        return;
    }
    if (m_closePending) {
        // The window is going: what was clicked before the close no longer matters.
        m_closePending = false;
        m_deferred.clear();
        close();
        return;
    }
    for (const Handler handler : std::exchange(m_deferred, {}))
        QMetaObject::invokeMethod(this, handler, Qt::QueuedConnection);
}

} // namespace orvane
