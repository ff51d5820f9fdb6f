#include "app/application_title.h"
#include "app/main_window.h"
#include "controls/link_label.h"
#include "controls/password_box.h"
#include "service/text_codec.h"
#include "skin/caption_button.h"
#include "table/forecast_grid.h"
#include "tests/support/gui_test_main.h"
#include "tests/support/http_exchange.h"
#include "tests/support/recording_hooks.h"
#include "tests/support/scripted_server.h"
#include "tests/support/widget_lookup.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QNetworkProxy>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>

using namespace orvane;
using namespace orvane::test;
using namespace Qt::Literals::StringLiterals;
using Then = Exchange::Then;

Q_DECLARE_METATYPE(QList<orvane::test::ConnectionScript>)
Q_DECLARE_METATYPE(orvane::test::Exchange)

namespace {

const QByteArray kProbeOk = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
const QString kMakerSite = u"maker.example"_s;
const QString kConnection = kConnectionMessage.toString();
const QByteArray kOld = "old\r\nold\r\n";
const QByteArray kNew = "user\r\nsecret\r\n";

QByteArray loginRequest(const QByteArray &authority, const QByteArray &query)
{
    return getRequest("/login/orvane.php?" + query, authority);
}

const Exchange kProbe = play(kProbeOk, Then::Close);

QByteArray forecastsReply(const QByteArray &title, const QByteArray &profit, int count)
{
    QByteArray reply = "<PODPISKA>" + title + "</PODPISKA><profit>" + profit + "</profit>";
    for (int i = 0; i < count; ++i) {
        reply += "<match id=\"" + QByteArray::number(i) + "\"><id>" + QByteArray::number(i) +
                 "</id><time>18:00</time><home> Home </home><away>Away</away><kf>1.85</kf>"
                 "<itog>+</itog><bet>1X</bet><score>1:0</score><liga>England. Premier</liga>"
                 "<orvane>tipster</orvane><musum>85</musum></match>";
    }
    return reply;
}

const QByteArray kFirst = ok("<PODPISKA>VIP</PODPISKA>");
const QByteArray kSecond = ok(forecastsReply("Gold", "42", 2));

// Which screen the page control shows.
QString screenOf(const QObject &form)
{
    const auto *page = widget<QTabWidget>(form, "page");
    const QWidget *current = page->currentWidget();
    const bool about = page->isTabVisible(0);
    const bool forecast = page->isTabVisible(1);
    if (current->objectName() == u"spSkinTabSheet1" && about && !forecast)
        return u"login"_s;
    if (current->objectName() == u"spSkinTabSheet2" && !about && forecast)
        return u"forecast"_s;
    if (current->objectName() == u"spSkinTabSheet2" && about && forecast)
        return u"layout"_s;
    return u"other"_s;
}

QByteArray readFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

// A loopback HTTP peer on the test's own thread. It can read and answer only
// while this thread runs its event loop, so every answered request shows that
// the window's thread kept processing events while it waited.
class LoopServer : public QObject {
public:
    // `answer` is asked for each request's bytes; while `gated`, the answers
    // wait for Release().
    explicit LoopServer(std::function<QByteArray(const QByteArray &request)> answer)
        : m_answer(std::move(answer))
    {
        m_server.setProxy(QNetworkProxy::NoProxy);
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, this,
                        [this, socket] { m_closed.insert(socket); });
            }
        });
    }

    QByteArray authority() const
    {
        return "127.0.0.1:" + QByteArray::number(m_server.serverPort());
    }

    void release()
    {
        for (auto &[socket, reply] : std::exchange(m_held, {})) {
            if (socket)
                socket->write(reply);
        }
    }

    // Whether the client has closed the connection that carried request `index`.
    bool closedAfter(qsizetype index) const
    {
        return index < m_requestSockets.size() && m_closed.contains(m_requestSockets[index]);
    }

    bool gated = false;
    QList<QByteArray> requests;

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        for (qsizetype end; (end = buffer.indexOf("\r\n\r\n")) >= 0;) {
            const QByteArray request = buffer.first(end + 4);
            buffer.remove(0, end + 4);
            requests.append(request);
            m_requestSockets.append(socket);
            m_held.append({socket, m_answer(request)});
            if (!gated)
                release();
        }
    }

    std::function<QByteArray(const QByteArray &)> m_answer;
    // Before the server: its sockets report their close as they are destroyed with it.
    QList<const QTcpSocket *> m_requestSockets;
    QSet<const QTcpSocket *> m_closed;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<std::pair<QPointer<QTcpSocket>, QByteArray>> m_held;
};

// The probe's file, then the two login replies, again and again.
std::function<QByteArray(const QByteArray &)> loginAnswers(std::function<void()> during = {})
{
    return [during, logins = 0](const QByteArray &request) mutable {
        if (during)
            during();
        if (request.startsWith("GET /refresh/"))
            return kProbeOk;
        return logins++ % 2 == 0 ? kFirst : kSecond;
    };
}

// Calls `onPaint` for every paint event of widgets of one window.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget *window, std::function<void()> onPaint)
        : m_window(window), m_onPaint(std::move(onPaint))
    {
        qApp->installEventFilter(this);
    }
    ~PaintWatch() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window)
            m_onPaint();
        return false;
    }

private:
    QWidget *m_window;
    std::function<void()> m_onPaint;
};

// As the window manager's close button sends it.
void requestClose(QWidget *window)
{
    QCloseEvent close;
    QCoreApplication::sendEvent(window->windowHandle(), &close);
}

// A left click at `at` in `widget`, handed to its window as the display hands
// input over: through the window, not straight to the widget.
void postClick(QWidget *widget, QPoint at)
{
    QWindow *window = widget->window()->windowHandle();
    const QPointF local = widget->mapTo(widget->window(), at);
    const QPointF global = widget->mapToGlobal(at);
    QCoreApplication::postEvent(window, new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                        Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(
        window, new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, {}, {}));
}

bool busyCursorShown()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void applicationTitle_data();
    void applicationTitle();
    void window();
    void savedLoginAtStart_data();
    void savedLoginAtStart();
    void login_data();
    void login();
    void loginOutcome_data();
    void loginOutcome();
    void updatePath_data();
    void updatePath();
    void serverErrorStaysOnLoginScreen_data();
    void serverErrorStaysOnLoginScreen();
    void refresh_data();
    void refresh();
    void saveFailureStaysOnLoginScreen();
    void repaintsWithBusyCursorWhileWaiting();
    void closeDuringCall_data();
    void closeDuringCall();
    void destroyDuringStalledCall();
    void clickDuringCallRunsAfterIt();
    void editedPasswordGoesOutByteForByte_data();
    void editedPasswordGoesOutByteForByte();
    void linkLabelOpensTheMakersSite();
    void inputDuringCallIsHeldUntilItEnds();

private:
    std::unique_ptr<TForm1> openWindow(const QByteArray &authority);
    QString capLogPath() const { return m_dir->filePath(u"cap.log"_s); }
    void pressLogin(TForm1 &form)
    {
        QTest::mouseClick(widget<QPushButton>(form, "spSkinXFormButton1"), Qt::LeftButton);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_messages;
    QStringList m_errors;
    QList<QUrl> m_opened;
    // Bound but not listening: connections to its port are refused.
    QTcpSocket m_refused;
};

void TestMainWindow::initTestCase()
{
    // The version probe honours the system's proxy settings; these exchanges stay on loopback.
    for (const char *name :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        qunsetenv(name);
    m_refused.setProxy(QNetworkProxy::NoProxy);
    QVERIFY(m_refused.bind(QHostAddress::LocalHost, 0));
}

void TestMainWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_messages.clear();
    m_errors.clear();
    m_opened.clear();
}

std::unique_ptr<TForm1> TestMainWindow::openWindow(const QByteArray &authority)
{
    PlatformHooks hooks = recordingHooks(m_messages, m_errors, m_opened, m_dir->path());
    hooks.probeTimeout = std::chrono::seconds(20);
    auto form = std::make_unique<TForm1>(ServiceEndpoints{authority, kMakerSite}, hooks);
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
    return form;
}

void TestMainWindow::applicationTitle_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");

    QTest::newRow("lower case name") << u"/usr/bin/orvane"_s << u"orvane"_s;
    QTest::newRow("capitals after the first") << u"/opt/ORVANE.EXE"_s << u"Orvane"_s;
    QTest::newRow("cut at the first dot") << u"Orvane.v5.exe"_s << u"Orvane"_s;
    QTest::newRow("dots in folders") << u"/a.b/c.d/OrVaNe"_s << u"Orvane"_s;
    QTest::newRow("cyrillic") << u"/x/ПРОГНОЗ.exe"_s << u"Прогноз"_s;
    QTest::newRow("dot first") << u"/x/.orvane"_s << QString();
}

void TestMainWindow::applicationTitle()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    QCOMPARE(orvane::applicationTitle(path), title);
}

void TestMainWindow::window()
{
    const auto form = openWindow("127.0.0.1:1");
    QCOMPARE(form->objectName(), u"Form1"_s);
    QCOMPARE(form->windowTitle(), u"Orvane"_s);
    // The client area is fixed at 800 x 623 inside the frame; the window cannot be resized.
    QCOMPARE(form->clientRect().size(), QSize(800, 623));
    QCOMPARE(widget<QTabWidget>(*form, "page")->geometry(), form->clientRect());
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QCOMPARE(form->size(), QSize(800, 623).grownBy(form->frameThickness()));
    QCOMPARE(widget<LinkLabel>(*form, "spSkinLinkLabel1")->text(), kMakerSite);
}

void TestMainWindow::savedLoginAtStart_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<bool>("folder");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QString>("screen");

    QTest::newRow("none") << QByteArray() << false << QString() << QString() << false
                          << QStringList() << u"login"_s;
    QTest::newRow("folder") << QByteArray() << true << QString() << QString() << false
                            << QStringList() << u"login"_s;
    QTest::newRow("two lines") << QByteArray("u\r\np\r\n") << false << u"u"_s << u"p"_s << true
                               << QStringList() << u"login"_s;
    QTest::newRow("cyrillic, LF, more lines")
        << QByteArray("\xc8\xe2\xe0\xed\n\xef\xe0\xf0\xee\xeb\xfc\nthird\n") << false << u"Иван"_s
        << u"пароль"_s << true << QStringList() << u"login"_s;
    QTest::newRow("one line") << QByteArray("solo") << false << u"solo"_s << QString() << true
                              << QStringList{u"List index out of bounds (1)"_s} << u"layout"_s;
    QTest::newRow("empty") << QByteArray("") << false << QString() << QString() << true
                           << QStringList{u"List index out of bounds (0)"_s} << u"layout"_s;
}

void TestMainWindow::savedLoginAtStart()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, folder);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(bool, ticked);
    QFETCH(QStringList, errors);
    QFETCH(QString, screen);

    if (folder)
        QVERIFY(QDir(m_dir->path()).mkdir(u"cap.log"_s));
    if (!content.isNull())
        writeAll(capLogPath(), content);

    const auto form = openWindow("127.0.0.1:1");
    QCOMPARE(widget<QLineEdit>(*form, "loginedit")->text(), login);
    QCOMPARE(fromCp1251(widget<PasswordBox>(*form, "passedit")->text()), password);
    QCOMPARE(widget<QCheckBox>(*form, "zap")->isChecked(), ticked);
    QCOMPARE(m_errors, errors);
    QCOMPARE(screenOf(*form), screen);
    QCOMPARE(m_messages, QStringList());
}

void TestMainWindow::login_data()
{
    QTest::addColumn<QByteArray>("before"); // the saved-login file at start; null: none
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("after"); // null: no file

    QTest::newRow("remember") << QByteArray() << true << u"user"_s << u"secret"_s
                              << QByteArray("login=user&pass=secret") << kNew;
    QTest::newRow("remember over old")
        << kOld << true << u"user"_s << u"secret"_s << QByteArray("login=user&pass=secret") << kNew;
    QTest::newRow("forget") << kOld << false << u"user"_s << u"secret"_s
                            << QByteArray("login=user&pass=secret") << QByteArray();
    QTest::newRow("forget, no file") << QByteArray() << false << u"u"_s << u"p"_s
                                     << QByteArray("login=u&pass=p") << QByteArray();
    QTest::newRow("empty fields") << QByteArray() << true << QString() << QString()
                                  << QByteArray("login=&pass=") << QByteArray("\r\n\r\n");
    QTest::newRow("cyrillic, raw") << QByteArray() << true << u" Иван П"_s << u"п&x=1"_s
                                   << QByteArray("login= \xc8\xe2\xe0\xed \xcf&pass=\xef&x=1")
                                   << QByteArray(" \xc8\xe2\xe0\xed \xcf\r\n\xef&x=1\r\n");
}

void TestMainWindow::login()
{
    QFETCH(QByteArray, before);
    QFETCH(bool, remember);
    QFETCH(QString, login);
    QFETCH(QString, password);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, after);

    if (!before.isNull())
        writeAll(capLogPath(), before);
    ScriptedServer server({{kProbe}, {play(kFirst), play(kSecond)}});
    const auto form = openWindow(server.authority());
    widget<QLineEdit>(*form, "loginedit")->setText(login);
    widget<PasswordBox>(*form, "passedit")->setText(toCp1251(password));
    widget<QCheckBox>(*form, "zap")->setChecked(remember);
    pressLogin(*form);

    QCOMPARE(m_messages, QStringList());
    QCOMPARE(m_errors, QStringList());
    const QList<QByteArray> requests = server.requests();
    QCOMPARE(requests.size(), 3);
    QVERIFY2(requests[0].startsWith("GET /refresh/orvane5.txt HTTP/1.1\r\n"),
             requests[0].constData());
    QCOMPARE(requests[1], loginRequest(server.authority(), query));
    QCOMPARE(requests[2], requests[1]);
    QCOMPARE(server.connectionsAccepted(), 2); // the probe's, then the one client's

    QCOMPARE(form->credentials().login + '|' + form->credentials().password,
             query.sliced(6).replace("&pass=", "|"));
    QCOMPARE(form->windowTitle(), u"Orvane (Gold)"_s);
    QCOMPARE(screenOf(*form), u"forecast"_s);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), 2);
    QCOMPARE(widget<QLabel>(*form, "pr1")->text(), u"Profit: 42"_s);
    QCOMPARE(widget<QLabel>(*form, "pr2")->text(), u"Count: 2"_s);
    QCOMPARE(QFileInfo::exists(capLogPath()), !after.isNull());
    QCOMPARE(readFileBytes(capLogPath()), after);
}

void TestMainWindow::editedPasswordGoesOutByteForByte_data()
{
    QTest::addColumn<QString>("typed");     // typed into the box, character by character
    QTest::addColumn<QString>("clipboard"); // then pasted with Ctrl+V at the end
    QTest::addColumn<int>("backspaces");    // then deleted from the end
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("typed Cyrillic and blanks")
        << u"п ар&#1"_s << QString() << 0 << QByteArray("\xef \xe0\xf0&#1");
    QTest::newRow("pasted, line break dropped")
        << u"ab"_s << u"c\r\nd"_s << 0 << QByteArray("abcd");
    QTest::newRow("deleted") << u"secret!!"_s << QString() << 2 << QByteArray("secret");
    QTest::newRow("outside the code page") << u"x€y✓"_s << QString() << 0 << QByteArray("x\x88y?");
}

// What the user typed, pasted and deleted in the box reaches the wire and the
// saved-login file unchanged (the "#" rest of a password stops at the wire,
// as any "#" in a URL does).
void TestMainWindow::editedPasswordGoesOutByteForByte()
{
    QFETCH(QString, typed);
    QFETCH(QString, clipboard);
    QFETCH(int, backspaces);
    QFETCH(QByteArray, sent);

    ScriptedServer server({{kProbe}, {play(kFirst), play(kSecond)}});
    const auto form = openWindow(server.authority());
    widget<QLineEdit>(*form, "loginedit")->setText(u"u"_s);
    widget<QCheckBox>(*form, "zap")->setChecked(true);
    PasswordBox *box = widget<PasswordBox>(*form, "passedit");
    box->setFocus();
    for (const QChar c : typed) { // as a keyboard sends them, Cyrillic included
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
    if (!clipboard.isNull()) {
        QGuiApplication::clipboard()->setText(clipboard);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
    for (int i = 0; i < backspaces; ++i)
        QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), sent);
    pressLogin(*form);

    QByteArray onTheWire = sent;
    if (const qsizetype hash = onTheWire.indexOf('#'); hash >= 0)
        onTheWire.truncate(hash);
    QCOMPARE(server.requests().value(1),
             loginRequest(server.authority(), "login=u&pass=" + onTheWire));
    QCOMPARE(readFileBytes(capLogPath()), "u\r\n" + sent + "\r\n");
}

void TestMainWindow::loginOutcome_data()
{
    QTest::addColumn<QList<ConnectionScript>>("scripts"); // none: the service refuses connections
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("screen");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("pr1");
    QTest::addColumn<QByteArray>("file");

    using Scripts = QList<ConnectionScript>;
    const QString login = u"login"_s;
    const QString forecast = u"forecast"_s;
    const QString untitled = u"Orvane"_s;
    const qsizetype head = ok("<PODPISKA>Partial</PODPISKA>").indexOf("\r\n\r\n") + 4;

    QTest::newRow("refused") << Scripts{{kProbe}, {play(ok("Login Failed"))}}
                             << QStringList{u"Autorization Failed!"_s} << login << untitled << 0
                             << QString() << kOld;
    QTest::newRow("Fail inside the data")
        << Scripts{{kProbe}, {play(ok("<PODPISKA>x</PODPISKA><liga>Failures</liga>"))}}
        << QStringList{u"Autorization Failed!"_s} << login << untitled << 0 << QString() << kOld;
    QTest::newRow("forecasts refused") << Scripts{{kProbe}, {play(kFirst), play(ok("Failed"))}}
                                       << QStringList{u"Ошибка авторизации!"_s} << forecast
                                       << u"Orvane (VIP)"_s << 0 << QString() << kNew;
    QTest::newRow("empty replies are no failure")
        << Scripts{{kProbe}, {play(ok("")), play(ok(""))}} << QStringList() << forecast
        << u"Orvane ()"_s << 0 << u"Profit: "_s << kNew;

    // A failure with nothing received is not an empty success.
    QTest::newRow("probe unreachable")
        << Scripts() << QStringList{kConnection} << login << untitled << 0 << QString() << kOld;
    QTest::newRow("login unreachable") << Scripts{{kProbe}} << QStringList{kConnection} << login
                                       << untitled << 0 << QString() << kOld;
    QTest::newRow("login cut in its headers")
        << Scripts{{kProbe}, {play("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", Then::Close)}}
        << QStringList{kConnection} << login << untitled << 0 << QString() << kOld;
    QTest::newRow("forecasts unreachable")
        << Scripts{{kProbe}, {play(kFirst, Then::Close)}} << QStringList{kConnection} << forecast
        << u"Orvane (VIP)"_s << 0 << QString() << kNew;
    // A body cut short is read as the whole reply, as before.
    QTest::newRow("login cut in its body")
        << Scripts{{kProbe}, {play(ok("<PODPISKA>Partial</PODPISKA>"), Then::Close, head + 12)}}
        << QStringList{kConnection} << forecast << u"Orvane ()"_s << 0 << QString() << kNew;
}

void TestMainWindow::loginOutcome()
{
    QFETCH(QList<ConnectionScript>, scripts);
    QFETCH(QStringList, messages);
    QFETCH(QString, screen);
    QFETCH(QString, title);
    QFETCH(int, rows);
    QFETCH(QString, pr1);
    QFETCH(QByteArray, file);

    writeAll(capLogPath(), kOld);
    std::unique_ptr<ScriptedServer> server;
    QByteArray authority = "127.0.0.1:" + QByteArray::number(m_refused.localPort());
    if (!scripts.isEmpty()) {
        server = std::make_unique<ScriptedServer>(scripts);
        authority = server->authority();
    }
    const auto form = openWindow(authority);
    widget<QLineEdit>(*form, "loginedit")->setText(u"user"_s);
    widget<PasswordBox>(*form, "passedit")->setText("secret");
    pressLogin(*form);

    QCOMPARE(m_messages, messages);
    QCOMPARE(m_errors, QStringList());
    QCOMPARE(screenOf(*form), screen);
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), rows);
    QCOMPARE(widget<QLabel>(*form, "pr1")->text(), pr1);
    QCOMPARE(widget<QLabel>(*form, "pr2")->text(), QString());
    QCOMPARE(readFileBytes(capLogPath()), file);
}

void TestMainWindow::updatePath_data()
{
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("404") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
    QTest::newRow("304") << QByteArray("HTTP/1.1 304 Not Modified\r\n\r\n");
}

void TestMainWindow::updatePath()
{
    QFETCH(QByteArray, reply);

    writeAll(capLogPath(), kOld);
    ScriptedServer server({{play(reply, Then::Close)}, {play(kFirst), play(kSecond)}});
    const auto form = openWindow(server.authority());
    widget<QLineEdit>(*form, "loginedit")->setText(u"user"_s);
    pressLogin(*form);

    QCOMPARE(m_messages, QStringList{u"Update New Version Programm Please!\n\rGo to site "
                                     u"maker.example\n\rОбновите программу с сайта!"_s});
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened[0].toString(),
             u"http://maker.example/index.php?option=com_content&view=article&id=54&Itemid=19"
             u"#скачать"_s);
    QVERIFY(!form->isVisible());
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(form->credentials(), Credentials());
    QCOMPARE(readFileBytes(capLogPath()), kOld);
}

void TestMainWindow::serverErrorStaysOnLoginScreen_data()
{
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("503") << QByteArray(
        "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n\r\n");
    QTest::newRow("500") << QByteArray("HTTP/1.1 500 Oops\r\nContent-Length: 0\r\n\r\n");
}

// The server could not say whether this version is current: no update path,
// and once it answers again the next LOGIN goes through.
void TestMainWindow::serverErrorStaysOnLoginScreen()
{
    QFETCH(QByteArray, reply);

    writeAll(capLogPath(), kOld);
    ScriptedServer server({{play(reply, Then::Close)}, {kProbe}, {play(kFirst), play(kSecond)}});
    const auto form = openWindow(server.authority());
    widget<QLineEdit>(*form, "loginedit")->setText(u"user"_s);
    pressLogin(*form);

    const QStringList told{u"The forecast server cannot answer right now. Try again later."_s};
    QCOMPARE(m_messages, told);
    QCOMPARE(m_opened, QList<QUrl>());
    QVERIFY(form->isVisible());
    QCOMPARE(screenOf(*form), u"login"_s);
    QCOMPARE(server.requests().size(), 1);
    QCOMPARE(form->credentials(), Credentials());
    QCOMPARE(readFileBytes(capLogPath()), kOld);

    pressLogin(*form);
    QCOMPARE(screenOf(*form), u"forecast"_s);
    QCOMPARE(m_messages, told);
    QCOMPARE(server.requests().size(), 4);
}

void TestMainWindow::refresh_data()
{
    QTest::addColumn<ConnectionScript>("tail"); // after the two login replies
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("pr1");
    QTest::addColumn<QString>("pr2");

    QTest::newRow("new list") << ConnectionScript{play(kSecond),
                                                  play(ok(forecastsReply("S", "-7", 3)))}
                              << QStringList() << u"Orvane (S)"_s << 3 << u"Profit: -7"_s
                              << u"Count: 3"_s;
    QTest::newRow("no forecasts keeps the count")
        << ConnectionScript{play(kSecond), play(ok(forecastsReply("S", "5", 0)))} << QStringList()
        << u"Orvane (S)"_s << 0 << u"Profit: 5"_s << u"Count: 2"_s;
    QTest::newRow("refused") << ConnectionScript{play(kSecond), play(ok("Failed"))}
                             << QStringList{u"Ошибка авторизации!"_s} << u"Orvane (Gold)"_s << 0
                             << u"Profit: 42"_s << u"Count: 2"_s;
    QTest::newRow("empty reply") << ConnectionScript{play(kSecond), play(ok(""))} << QStringList()
                                 << u"Orvane ()"_s << 0 << u"Profit: "_s << u"Count: 2"_s;
    QTest::newRow("unreachable keeps everything")
        << ConnectionScript{play(kSecond, Then::Close)} << QStringList{kConnection}
        << u"Orvane (Gold)"_s << 2 << u"Profit: 42"_s << u"Count: 2"_s;
}

void TestMainWindow::refresh()
{
    QFETCH(ConnectionScript, tail);
    QFETCH(QStringList, messages);
    QFETCH(QString, title);
    QFETCH(int, rows);
    QFETCH(QString, pr1);
    QFETCH(QString, pr2);

    ScriptedServer server({{kProbe}, ConnectionScript{play(kFirst)} + tail});
    const auto form = openWindow(server.authority());
    pressLogin(*form);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), 2);
    const qsizetype before = server.requests().size();
    QTest::mouseClick(widget<QPushButton>(*form, "spSkinXFormButton2"), Qt::LeftButton);

    QCOMPARE(m_messages, messages);
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), rows);
    QCOMPARE(widget<QLabel>(*form, "pr1")->text(), pr1);
    QCOMPARE(widget<QLabel>(*form, "pr2")->text(), pr2);
    QCOMPARE(screenOf(*form), u"forecast"_s);
    if (messages != QStringList{kConnection}) {
        QCOMPARE(server.requests().size(), before + 1);
        QCOMPARE(server.requests().last(), loginRequest(server.authority(), "login=&pass="));
    }
}

void TestMainWindow::saveFailureStaysOnLoginScreen()
{
    ScriptedServer server({{kProbe}, {play(kFirst), play(kFirst), play(kSecond)}, {kProbe}});
    const auto form = openWindow(server.authority());
    QVERIFY(QDir(m_dir->path()).mkdir(u"cap.log"_s));
    widget<QCheckBox>(*form, "zap")->setChecked(true);
    pressLogin(*form);

    QCOMPARE(m_errors.size(), 1);
    const QString path = QDir::toNativeSeparators(capLogPath());
    QVERIFY2(m_errors[0].startsWith(u"Cannot create file \""_s + path + u"\". "_s),
             qPrintable(m_errors[0]));
    QVERIFY(m_errors[0].endsWith(u'.'));
    QCOMPARE(form->windowTitle(), u"Orvane (VIP)"_s);
    QCOMPARE(screenOf(*form), u"login"_s);
    QCOMPARE(server.requests().size(), 2); // no forecasts loaded

    // Unticked, the file is deleted instead (a folder stays) and the login goes through.
    widget<QCheckBox>(*form, "zap")->setChecked(false);
    pressLogin(*form);
    QCOMPARE(m_errors.size(), 1);
    QCOMPARE(screenOf(*form), u"forecast"_s);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), 2);
    QVERIFY(QFileInfo(capLogPath()).isDir());
}

void TestMainWindow::repaintsWithBusyCursorWhileWaiting()
{
    TForm1 *window = nullptr;
    QList<bool> busy;
    LoopServer server(loginAnswers([&] {
        busy.append(busyCursorShown());
        window->update(); // answered once the window has repainted
    }));
    server.gated = true;
    const auto form = openWindow(server.authority());
    window = form.get();
    PaintWatch watch(window, [&] { server.release(); });
    pressLogin(*form);

    QCOMPARE(server.requests.size(), 3);
    QCOMPARE(busy, QList<bool>({true, true, true}));
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(screenOf(*form), u"forecast"_s);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), 2);
}

// The server never answers the request that the close comes with: the
// handler can only return because nothing waited for it.
void TestMainWindow::closeDuringCall_data()
{
    QTest::addColumn<int>("stallAt"); // 0 probe, 1 and 2 the login requests, 3 Refresh's
    QTest::addColumn<bool>("remember");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("byButton"); // the frame's close button, else the window manager

    QTest::newRow("probe") << 0 << true << kOld << 0 << false;
    QTest::newRow("probe, close button") << 0 << true << kOld << 0 << true;
    QTest::newRow("login request, close button") << 1 << true << kOld << 0 << true;
    QTest::newRow("login request") << 1 << true << kOld << 0 << false;
    QTest::newRow("login request, not remembered") << 1 << false << kOld << 0 << false;
    // The file was written before the request went out.
    QTest::newRow("forecast request of LOGIN") << 2 << true << kNew << 0 << false;
    QTest::newRow("forecast request of Refresh") << 3 << true << kNew << 2 << false;
}

void TestMainWindow::closeDuringCall()
{
    QFETCH(int, stallAt);
    QFETCH(bool, remember);
    QFETCH(QByteArray, file);
    QFETCH(int, rows);
    QFETCH(bool, byButton);

    writeAll(capLogPath(), kOld);
    TForm1 *window = nullptr;
    LoopServer *loop = nullptr;
    LoopServer server(loginAnswers([&] {
        if (loop->requests.size() == stallAt + 1) {
            loop->gated = true;
            if (byButton)
                postClick(window->frameButton(SkinnedWindow::FrameButton::Close), {5, 5});
            else
                requestClose(window);
        }
    }));
    loop = &server;
    auto form = openWindow(server.authority());
    window = form.get();
    widget<QLineEdit>(*form, "loginedit")->setText(u"user"_s);
    widget<PasswordBox>(*form, "passedit")->setText("secret");
    widget<QCheckBox>(*form, "zap")->setChecked(remember);
    pressLogin(*form);
    if (stallAt == 3) {
        QVERIFY(form->isVisible());
        QTest::mouseClick(widget<QPushButton>(*form, "spSkinXFormButton2"), Qt::LeftButton);
    }

    QCOMPARE(server.requests.size(), stallAt + 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(m_messages, QStringList());
    QCOMPARE(m_errors, QStringList());
    QCOMPARE(readFileBytes(capLogPath()), file);
    QCOMPARE(widget<ForecastGrid>(*form, "NG")->RowCount(), rows);
    QVERIFY(!QGuiApplication::overrideCursor());
    QTRY_VERIFY(server.closedAfter(stallAt)); // the call was given up, not left running
    form.reset();
}

// Destroyed at once after the close, while its worker may still be inside the
// stalled call: the destructor cancels it rather than waiting for the server.
void TestMainWindow::destroyDuringStalledCall()
{
    TForm1 *window = nullptr;
    LoopServer *loop = nullptr;
    LoopServer server(loginAnswers([&] {
        if (loop->requests.size() == 2) {
            loop->gated = true;
            requestClose(window);
        }
    }));
    loop = &server;
    auto form = openWindow(server.authority());
    window = form.get();
    pressLogin(*form);
    QElapsedTimer destroying;
    destroying.start();
    form.reset();
    // Waiting for the network would take the 30 s of silence the client allows.
    QVERIFY2(destroying.elapsed() < 10'000, QByteArray::number(destroying.elapsed()).constData());
    QTRY_VERIFY(server.closedAfter(1));
    QCOMPARE(m_messages, QStringList());
}

void TestMainWindow::inputDuringCallIsHeldUntilItEnds()
{
    TForm1 *window = nullptr;
    LoopServer *loop = nullptr;
    LoopServer server(loginAnswers([&] {
        if (loop->requests.size() != 4) // Refresh's request, after LOGIN's three
            return;
        loop->gated = true;
        QPushButton *refresh = widget<QPushButton>(*window, "spSkinXFormButton2");
        postClick(refresh, refresh->rect().center());
        // Posted behind the click, so the answer goes out once the click is handled.
        QMetaObject::invokeMethod(
            loop,
            [loop] {
                loop->gated = false;
                loop->release();
            },
            Qt::QueuedConnection);
    }));
    loop = &server;
    const auto form = openWindow(server.authority());
    window = form.get();
    pressLogin(*form);
    QCOMPARE(server.requests.size(), 3);

    QList<bool> pressedWhileWaiting;
    QPushButton *refresh = widget<QPushButton>(*form, "spSkinXFormButton2");
    connect(refresh, &QPushButton::pressed, [&] { pressedWhileWaiting << server.gated; });
    QTest::mouseClick(refresh, Qt::LeftButton);

    // The click reached the button only once the first Refresh had ended, and
    // then ran a Refresh of its own.
    QTRY_COMPARE(server.requests.size(), 5);
    QCOMPARE(pressedWhileWaiting, QList<bool>({false, false}));
}

void TestMainWindow::linkLabelOpensTheMakersSite()
{
    const auto form = openWindow("127.0.0.1:1");
    LinkLabel *link = widget<LinkLabel>(*form, "spSkinLinkLabel1");
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, link->height() / 2));
    QCOMPARE(m_opened, QList<QUrl>{QUrl(u"http://maker.example"_s)});
}

void TestMainWindow::clickDuringCallRunsAfterIt()
{
    TForm1 *window = nullptr;
    int answered = 0;
    LoopServer server(loginAnswers([&] {
        if (answered++ == 0)
            widget<QPushButton>(*window, "spSkinXFormButton1")->click();
    }));
    const auto form = openWindow(server.authority());
    window = form.get();
    pressLogin(*form);

    // Not started inside the first: its probe comes after the first's requests.
    QTRY_COMPARE(server.requests.size(), 6);
    QList<bool> probes;
    for (const QByteArray &request : std::as_const(server.requests))
        probes.append(request.startsWith("GET /refresh/"));
    QCOMPARE(probes, QList<bool>({true, false, false, true, false, false}));
    QCOMPARE(m_messages, QStringList());
}

ORVANE_GUI_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
