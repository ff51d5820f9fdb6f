#include "service/login_address.h"
#include "service/version_probe.h"
#include "tests/support/log_capture.h"
#include "tests/support/scripted_server.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <memory>
#include <vector>

using namespace orvane;
using namespace orvane::test;
using namespace std::chrono_literals;
using namespace Qt::Literals::StringLiterals;
using Then = Exchange::Then;

Q_DECLARE_METATYPE(orvane::test::ConnectionScript)
Q_DECLARE_METATYPE(orvane::ProbeResult)

namespace {

Exchange reply(QByteArray bytes, Then then = Then::Close)
{
    return {std::move(bytes), Exchange::Delivery::Whole, -1, then};
}

QByteArray head(QByteArrayView statusLine, QByteArrayView fields = {}, qsizetype bodySize = 0)
{
    return QByteArray("HTTP/1.1 ") + statusLine.toByteArray() + "\r\n" + fields.toByteArray() +
           "Content-Length: " + QByteArray::number(bodySize) + "\r\n\r\n";
}

// "{next}" in a Location stands for the next hop's server.
Exchange redirect(QByteArrayView status, qsizetype bodySize = 0)
{
    return reply(head(status, "Location: http://{next}/next\r\n", bodySize) +
                 QByteArray(bodySize, 'b'));
}

} // namespace

class TestVersionProbe : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void address_data();
    void address();
    void outcome_data();
    void outcome();
    void requestOnTheWire_data();
    void requestOnTheWire();
    void fromThreadWithoutEventLoop();
    void cancel_data();
    void cancel();
    void failureLoggedWithoutQuery_data();
    void failureLoggedWithoutQuery();

private:
    // Bound but not listening: connections to its port are refused, and no
    // server of a later test can be given that port.
    QTcpSocket m_refused;
};

void TestVersionProbe::initTestCase()
{
    // The probe honours the system's proxy settings; these exchanges stay on loopback.
    for (const char *name :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        qunsetenv(name);
    m_refused.setProxy(QNetworkProxy::NoProxy);
    QVERIFY(m_refused.bind(QHostAddress::LocalHost, 0));
}

void TestVersionProbe::address_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("capitals kept") << QByteArray("HTTP://Host/x") << QByteArray("HTTP://Host/x");
    QTest::newRow("mixed case") << QByteArray("hTtP://h/") << QByteArray("hTtP://h/");
    QTest::newRow("bare host") << QByteArray("h:80/refresh/orvane5.txt")
                               << QByteArray("http://h:80/refresh/orvane5.txt");
    QTest::newRow("http later on")
        << QByteArray("h/x?from=HTTP://y") << QByteArray("h/x?from=HTTP://y");
    QTest::newRow("secure scheme") << QByteArray("https://h/x") << QByteArray("http://https://h/x");
    QTest::newRow("one slash") << QByteArray("http:/h") << QByteArray("http://http:/h");
    QTest::newRow("8-bit") << QByteArray("h/\xc8\xe2") << QByteArray("http://h/\xc8\xe2");
    QTest::newRow("empty") << QByteArray() << QByteArray("http://");
}

void TestVersionProbe::address()
{
    QFETCH(QByteArray, url);
    QFETCH(QByteArray, expected);
    QCOMPARE(probeAddress(url), expected);
}

// Each hop of a redirect chain is a server of its own: a client may send the
// next request on a new connection.
void TestVersionProbe::outcome_data()
{
    QTest::addColumn<QList<Exchange>>("hops");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<ProbeResult>("expected");
    QTest::addColumn<int>("requests");

    const auto row = [&](const char *name, QList<Exchange> hops, ProbeResult expected,
                         std::chrono::milliseconds timeout = kProbeTimeout) {
        const auto requests = int(hops.size());
        QTest::newRow(name) << hops << int(timeout.count()) << expected << requests;
    };
    const Exchange ok = reply(head("200 OK"));
    const Exchange missing = reply(head("404 Not Found"));

    row("200", {ok}, ProbeResult::Current);
    row("302 without Location", {reply(head("302 Found"))}, ProbeResult::Current);
    row("302 to 200", {redirect("302 Found"), ok}, ProbeResult::Current);
    row("302 to 404", {redirect("302 Found"), missing}, ProbeResult::Outdated);
    row("301 to 200", {redirect("301 Moved"), ok}, ProbeResult::Current);
    row("302, 303, 404", {redirect("302 Found"), redirect("303 See Other"), missing},
        ProbeResult::Outdated);
    row("302 with a body, to 200", {redirect("302 Found", 256 * 1024), ok}, ProbeResult::Current);
    row("301 without Location", {reply(head("301 Moved"))}, ProbeResult::Outdated);
    row("304", {reply("HTTP/1.1 304 Not Modified\r\n\r\n")}, ProbeResult::Outdated);
    row("307 without Location", {reply(head("307 Temporary"))}, ProbeResult::Outdated);
    row("307 to 404", {redirect("307 Temporary"), missing}, ProbeResult::Outdated);
    row("404", {missing}, ProbeResult::Outdated);
    // A server error says nothing of the version; the statuses around it still do.
    row("499", {reply(head("499 Client Closed"))}, ProbeResult::Outdated);
    row("500", {reply(head("500 Internal Server Error"))}, ProbeResult::ServerError);
    row("599", {reply(head("599 Network Timeout"))}, ProbeResult::ServerError);
    row("600", {reply(head("600 Unknown"))}, ProbeResult::Outdated);
    row("302 to 503", {redirect("302 Found"), reply(head("503 Service Unavailable"))},
        ProbeResult::ServerError);
    row("redirect limit: the last 302 counts",
        QList<Exchange>(kProbeRedirectLimit + 1, redirect("302 Found")), ProbeResult::Current);

    // The body is never waited for: these would otherwise run into the timeout.
    const QByteArray endless = QByteArray(64 * 1024, 'b');
    row("200 whose body never ends", {reply(head("200 OK", {}, 1 << 30) + endless, Then::Stall)},
        ProbeResult::Current);
    row("404 whose body never ends",
        {reply(head("404 Not Found", {}, 1 << 30) + endless, Then::Stall)}, ProbeResult::Outdated);

    row("never answers", {reply({}, Then::Stall)}, ProbeResult::Unreachable, 300ms);
    row("headers cut off", {reply("HTTP/1.1 200 OK\r\nContent-Le", Then::Stall)},
        ProbeResult::Unreachable, 300ms);
    row("302 whose body never ends",
        {reply(head("302 Found", "Location: /x\r\n", 1 << 30), Then::Stall)},
        ProbeResult::Unreachable, 300ms);
    row("refused", {}, ProbeResult::Unreachable);
    row("closed without a reply", {reply({})}, ProbeResult::Unreachable);
    row("redirect to a refused port", {redirect("302 Found")}, ProbeResult::Unreachable);
}

void TestVersionProbe::outcome()
{
    QFETCH(QList<Exchange>, hops);
    QFETCH(int, timeoutMs);
    QFETCH(ProbeResult, expected);
    QFETCH(int, requests);

    std::vector<std::unique_ptr<ScriptedServer>> servers(hops.size());
    QByteArray next =
        "127.0.0.1:" + QByteArray::number(m_refused.localPort()); // after the last hop
    for (qsizetype i = hops.size() - 1; i >= 0; --i) {
        Exchange hop = hops.at(i);
        hop.reply.replace("{next}", next);
        servers[i] = std::make_unique<ScriptedServer>(QList<ConnectionScript>{{hop}});
        next = servers[i]->authority();
    }
    QCOMPARE(ProbeUrl(versionFileAddress(next), std::chrono::milliseconds(timeoutMs)), expected);
    int sent = 0;
    for (const auto &server : servers)
        sent += int(server->requests().size());
    QCOMPARE(sent, requests);
}

void TestVersionProbe::requestOnTheWire_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("requestLine");

    QTest::newRow("version file") << QByteArray("/refresh/orvane5.txt")
                                  << QByteArray("GET /refresh/orvane5.txt HTTP/1.1\r\n");
    QTest::newRow("8-bit and space")
        << QByteArray("/a b\xc8?q=\xe2") << QByteArray("GET /a%20b%C8?q=%E2 HTTP/1.1\r\n");
}

void TestVersionProbe::requestOnTheWire()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, requestLine);

    ScriptedServer server({{reply(head("200 OK"))}});
    // No scheme: the probe puts "http://" in front.
    QCOMPARE(ProbeUrl(QByteArray(server.authority() + path)), ProbeResult::Current);
    const QList<QByteArray> requests = server.requests();
    QCOMPARE(requests.size(), 1);
    const QByteArray request = requests.first();
    QVERIFY2(request.startsWith(requestLine), request.constData());
    QVERIFY2(request.contains("\r\nUser-Agent: InetURL:/1.0\r\n"), request.constData());
    QVERIFY2(request.toLower().contains("\r\ncache-control: no-cache\r\n"), request.constData());
}

void TestVersionProbe::fromThreadWithoutEventLoop()
{
    ScriptedServer server({{reply(head("302 Found"))}});
    ProbeResult result = ProbeResult::Unreachable;
    std::unique_ptr<QThread> thread(
        QThread::create([&] { result = ProbeUrl(versionFileAddress(server.authority())); }));
    thread->start();
    QVERIFY(thread->wait(60'000));
    QCOMPARE(result, ProbeResult::Current);
}

void TestVersionProbe::cancel_data()
{
    QTest::addColumn<bool>("first"); // cancelled before the probe starts

    QTest::newRow("before the probe") << true;
    QTest::newRow("waiting for the reply") << false;
}

void TestVersionProbe::cancel()
{
    QFETCH(bool, first);

    ScriptedServer server({{reply({}, Then::Stall)}});
    http::CancelToken token;
    if (first)
        token.cancel();
    ProbeResult result = ProbeResult::Current;
    const std::unique_ptr<QThread> thread(QThread::create(
        [&] { result = ProbeUrl(versionFileAddress(server.authority()), 20s, &token); }));
    thread->start();
    if (!first) {
        QTRY_COMPARE(server.requests().size(), 1);
        token.cancel();
    }
    QVERIFY(thread->wait());
    QCOMPARE(result, ProbeResult::Cancelled);
    if (first)
        QCOMPARE(server.connectionsAccepted(), 0);
    else
        QVERIFY(server.waitForClosed(0));
}

void TestVersionProbe::failureLoggedWithoutQuery_data()
{
    QTest::addColumn<ConnectionScript>("script"); // empty: refused
    QTest::addColumn<ProbeResult>("expected");
    QTest::addColumn<QString>("says");

    QTest::newRow("refused") << ConnectionScript() << ProbeResult::Unreachable
                             << u"ConnectionRefused"_s;
    QTest::newRow("404") << ConnectionScript{reply(head("404 Not Found"))} << ProbeResult::Outdated
                         << u"status 404"_s;
    QTest::newRow("503") << ConnectionScript{reply(head("503 Service Unavailable"))}
                         << ProbeResult::ServerError << u"server error 503"_s;
    QTest::newRow("never answers") << ConnectionScript{reply({}, Then::Stall)}
                                   << ProbeResult::Unreachable << u"within 300 ms"_s;
}

void TestVersionProbe::failureLoggedWithoutQuery()
{
    QFETCH(ConnectionScript, script);
    QFETCH(ProbeResult, expected);
    QFETCH(QString, says);

    ScriptedServer server({script});
    const QByteArray authority = script.isEmpty()
                                     ? "127.0.0.1:" + QByteArray::number(m_refused.localPort())
                                     : server.authority();
    const QByteArray url = "http://" + authority + "/refresh/orvane5.txt?pass=Sup3rSecret";
    QList<LogCapture::Entry> entries;
    {
        const LogCapture capture;
        QCOMPARE(ProbeUrl(url, 300ms), expected);
        entries = capture.entries();
    }

    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].type, QtWarningMsg);
    QCOMPARE(entries[0].category, QByteArray("orvane.probe"));
    const QString &message = entries[0].text;
    QVERIFY2(message.contains(QString::fromLatin1(authority + "/refresh/orvane5.txt")),
             qPrintable(message));
    QVERIFY2(message.contains(says), qPrintable(message));
    QVERIFY2(!message.contains(u"Sup3rSecret") && !message.contains(u'?'), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestVersionProbe)
#include "test_version_probe.moc"
