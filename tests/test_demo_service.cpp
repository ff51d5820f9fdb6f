#include "service/forecast_reply.h"
#include "service/http_client.h"
#include "service/login_address.h"
#include "service/text_codec.h"
#include "service/version_probe.h"

#include <QProcess>
#include <QSet>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>

using namespace orvane;
using namespace orvane::http;

namespace {

// Generous bound on one wait for the service; a healthy service answers at once.
constexpr int kWaitMs = 20'000;

const QByteArray kVersionRequest = "GET /refresh/orvane5.txt HTTP/1.1\r\nHost: h\r\n\r\n";

// The status codes of the replies that arrive on `socket`, until `count` have
// arrived or the service stops sending.
QList<int> readReplies(QTcpSocket &socket, qsizetype count)
{
    QList<int> statuses;
    QByteArray buffer;
    while (statuses.size() < count) {
        const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd >= 0) {
            const QByteArray head = buffer.first(headEnd);
            const qsizetype field = head.indexOf("Content-Length: ");
            const qsizetype length =
                field < 0 ? 0
                          : head.mid(field + 16, head.indexOf('\r', field) - field - 16).toInt();
            if (buffer.size() >= headEnd + 4 + length) {
                statuses.append(head.mid(9, 3).toInt());
                buffer.remove(0, headEnd + 4 + length);
                continue;
            }
        }
        if (!socket.waitForReadyRead(kWaitMs))
            break;
        buffer += socket.readAll();
    }
    return statuses;
}

} // namespace

class TestDemoService : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fetch_data();
    void fetch();
    void versionProbe();
    void demoReply();
    void connection_data();
    void connection();
    void refusesToStart_data();
    void refusesToStart();
    void forecastCount_data();
    void forecastCount();

private:
    QProcess m_service;
    QByteArray m_host; // "127.0.0.1:<port>"
};

void TestDemoService::initTestCase()
{
    m_service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_service.start(QStringLiteral(DEMO_SERVICE_PATH),
                    {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
    QVERIFY(m_service.waitForStarted());
    QByteArray line;
    while (!line.startsWith("listening on ")) {
        while (!m_service.canReadLine())
            QVERIFY2(m_service.waitForReadyRead(kWaitMs), "the service printed no address");
        line = m_service.readLine().trimmed();
    }
    m_host = line.sliced(13);
    QVERIFY(m_host.startsWith("127.0.0.1:"));
}

void TestDemoService::cleanupTestCase()
{
    m_service.kill();
    m_service.waitForFinished();
}

void TestDemoService::fetch_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<int>("failedStatus"); // 0: the call succeeds
    QTest::addColumn<QByteArray>("marker");

    const QByteArray login = "/login/orvane.php";
    QTest::newRow("version file") << QByteArray("/refresh/orvane5.txt") << 0
                                  << QByteArray("current");
    QTest::newRow("unknown path") << QByteArray("/login/other.php?login=demo&pass=demo") << 404
                                  << QByteArray();
    QTest::newRow("wrong password")
        << login + "?login=demo&pass=demo1" << 0 << QByteArray("Failed");
    QTest::newRow("login in capitals")
        << login + "?login=Demo&pass=demo" << 0 << QByteArray("Failed");
    QTest::newRow("percent-encoded")
        << login + "?login=%64emo&pass=demo" << 0 << QByteArray("Failed");
    QTest::newRow("password runs to the end")
        << login + "?login=demo&pass=demo&x=1" << 0 << QByteArray("Failed");
    QTest::newRow("swapped") << login + "?pass=demo&login=demo" << 0 << QByteArray("Failed");
    QTest::newRow("empty") << login + "?login=&pass=" << 0 << QByteArray("Failed");
    QTest::newRow("no query") << login << 0 << QByteArray("Failed");
    // "&", spaces and Windows-1251 letters, raw as the client sends them.
    QTest::newRow("raw bytes") << login + "?login=d&mo \xC4\xE5\xEC\xEE&pass=demo &\xFF" << 0
                               << QByteArray("Failed");
}

void TestDemoService::fetch()
{
    QFETCH(QByteArray, target);
    QFETCH(int, failedStatus);
    QFETCH(QByteArray, marker);

    HttpClient client;
    QByteArray body;
    const std::optional<HttpFailure> failure =
        HttpGetText(client, QByteArray("http://" + m_host + target), body);
    QCOMPARE(failure ? failure->status : 0, failedStatus);
    QVERIFY2(body.contains(marker), body.constData());
    if (marker == "Failed")
        QVERIFY(containsFailMarker(body));
}

void TestDemoService::versionProbe()
{
    // The probe honours the system's proxy settings; this exchange stays on loopback.
    for (const char *name : {"http_proxy", "all_proxy", "HTTP_PROXY", "ALL_PROXY"})
        qunsetenv(name);
    QCOMPARE(ProbeUrl(versionFileAddress(m_host)), ProbeResult::Current);
}

void TestDemoService::demoReply()
{
    HttpClient client;
    const QByteArray url = loginAddress({"demo", "demo"}, m_host);
    QByteArray first;
    QByteArray second;
    QVERIFY(!HttpGetText(client, url, first));
    QVERIFY(client.isConnected());
    QVERIFY(!HttpGetText(client, url, second));
    QCOMPARE(second, first); // the same reply every time: tests and screenshots repeat

    const ForecastReply reply = readForecastReply(first);
    QVERIFY(!reply.refused);
    QVERIFY(!containsFailMarker(first));
    QVERIFY(fromCp1251(reply.title).contains(u"до"));
    QVERIFY(reply.matches.size() >= 40 && reply.matches.size() <= 60);
    QVERIFY(!QUtf8StringView(first).isValidUtf8()); // Windows-1251 bytes, not UTF-8

    QSet<QByteArray> marks;
    QSet<QByteArray> leagues;
    qint64 total = 0;
    int lowest = 0;
    int highest = 0;
    bool cyrillic = false;
    for (const MatchRecord &match : reply.matches) {
        const QByteArray itog = match.itog().toByteArray();
        marks.insert(itog);
        leagues.insert(match.liga().toByteArray());
        QVERIFY(match.liga().contains(". "));
        QVERIFY(match.kf().contains('.') && match.kf().toByteArray().toDouble() > 1.0);
        QCOMPARE(match.score().isEmpty(), itog.isEmpty());
        bool ok = true;
        const int profit = match.musum().isEmpty() ? 0 : match.musum().toByteArray().toInt(&ok);
        QVERIFY(ok);
        if (itog.isEmpty())
            QCOMPARE(profit, 0);
        total += profit;
        lowest = std::min(lowest, profit);
        highest = std::max(highest, profit);
        for (const QChar c : QString(fromCp1251(match.home()) + fromCp1251(match.away())))
            cyrillic = cyrillic || (c >= u'\u0400' && c <= u'\u04FF');
    }
    QCOMPARE(marks, (QSet<QByteArray>{"+", "-", "=", ""}));
    QVERIFY(leagues.size() >= 20);
    QVERIFY(lowest < 0 && highest > 0);
    QVERIFY(cyrillic);
    QCOMPARE(reply.profit.toLongLong(), total);
}

void TestDemoService::connection_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QList<int>>("statuses");
    QTest::addColumn<bool>("closes");

    const QByteArray v = kVersionRequest;
    QTest::newRow("two requests kept alive") << v + v << QList<int>{200, 200} << false;
    QTest::newRow("unknown path kept alive")
        << "GET /nothing HTTP/1.1\r\n\r\n" + v << QList<int>{404, 200} << false;
    QTest::newRow("close honoured")
        << QByteArray("GET /refresh/orvane5.txt HTTP/1.1\r\nConnection: Close\r\n\r\n")
        << QList<int>{200} << true;
    QTest::newRow("HTTP/1.0") << QByteArray("GET /refresh/orvane5.txt HTTP/1.0\r\n\r\n")
                              << QList<int>{200} << true;
    QTest::newRow("HTTP/1.0 keep-alive")
        << QByteArray("GET /refresh/orvane5.txt HTTP/1.0\r\nConnection: keep-alive\r\n\r\n")
        << QList<int>{200} << false;
    QTest::newRow("raw login")
        << QByteArray("GET /login/orvane.php?login=a b&pass=\xC4\xFF HTTP/1.1\r\n\r\n")
        << QList<int>{200} << false;
    QTest::newRow("request body")
        << QByteArray("POST /refresh/orvane5.txt HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc")
        << QList<int>{404} << true;
    QTest::newRow("request body, then a request")
        << "POST /refresh/orvane5.txt HTTP/1.1\r\nContent-Length: 3\r\n\r\nabc" + v
        << QList<int>{404} << true;
    QTest::newRow("not HTTP") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03", 11)
                              << QList<int>{400} << true;
    QTest::newRow("HTTP/2") << QByteArray("GET / HTTP/2.0\r\n\r\n") << QList<int>{400} << true;
    QTest::newRow("control byte") << QByteArray("GET /a\x01 HTTP/1.1\r\n\r\n") << QList<int>{400}
                                  << true;
    QTest::newRow("headers over 16 KiB")
        << "GET / HTTP/1.1\r\nX: " + QByteArray(17 * 1024, 'a') << QList<int>{431} << true;
}

void TestDemoService::connection()
{
    QFETCH(QByteArray, request);
    QFETCH(QList<int>, statuses);
    QFETCH(bool, closes);

    QTcpSocket socket;
    const qsizetype colon = m_host.indexOf(':');
    socket.connectToHost(QString::fromLatin1(m_host.first(colon)),
                         m_host.sliced(colon + 1).toUShort());
    QVERIFY(socket.waitForConnected(kWaitMs));
    socket.write(request);
    // A connection that ends is read to its end: nothing may follow the last reply.
    QCOMPARE(readReplies(socket, closes ? statuses.size() + 1 : statuses.size()), statuses);
    if (closes) {
        QVERIFY(socket.state() == QAbstractSocket::UnconnectedState ||
                socket.waitForDisconnected(kWaitMs));
    } else {
        socket.write(kVersionRequest); // still open: it answers one more
        QCOMPARE(readReplies(socket, 1), QList<int>{200});
    }
}

void TestDemoService::refusesToStart_data()
{
    QTest::addColumn<QString>("listen");

    QTest::newRow("not loopback") << QStringLiteral("192.0.2.7:0");
    QTest::newRow("any address") << QStringLiteral("0.0.0.0:0");
    QTest::newRow("host name") << QStringLiteral("example.com:0");
    QTest::newRow("port out of range") << QStringLiteral("127.0.0.1:65536");
}

void TestDemoService::refusesToStart()
{
    QFETCH(QString, listen);

    QProcess service;
    service.setProcessChannelMode(QProcess::MergedChannels);
    service.start(QStringLiteral(DEMO_SERVICE_PATH), {QStringLiteral("--listen"), listen});
    QVERIFY(service.waitForFinished(kWaitMs));
    QVERIFY(service.exitCode() != 0);
    QVERIFY(!service.readAll().contains("listening on"));
}

void TestDemoService::forecastCount_data()
{
    QTest::addColumn<int>("count");

    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("the fifty again") << 120;
}

void TestDemoService::forecastCount()
{
    QFETCH(int, count);

    QProcess service;
    service.start(QStringLiteral(DEMO_SERVICE_PATH),
                  {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                   QStringLiteral("--forecasts"), QString::number(count)});
    QByteArray line;
    while (!line.startsWith("listening on ")) {
        while (!service.canReadLine())
            QVERIFY2(service.waitForReadyRead(kWaitMs), "the service printed no address");
        line = service.readLine().trimmed();
    }
    HttpClient client;
    QByteArray body;
    QVERIFY(!HttpGetText(client, loginAddress({"demo", "demo"}, line.sliced(13)), body));
    service.kill();
    service.waitForFinished();

    const ForecastReply reply = readForecastReply(body);
    QCOMPARE(reply.hasForecasts, count > 0);
    QCOMPARE(reply.matches.size(), count);
    QSet<QByteArray> ids; // repeated forecasts still have ids of their own
    for (const MatchRecord &match : reply.matches)
        ids.insert(match.id().toByteArray());
    QCOMPARE(ids.size(), count);
}

QTEST_GUILESS_MAIN(TestDemoService)
#include "test_demo_service.moc"
