#include "service/http_client.h"
#include "tests/support/http_exchange.h"
#include "tests/support/log_capture.h"
#include "tests/support/scripted_server.h"

#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace orvane::http;
using orvane::test::ConnectionScript;
using orvane::test::Exchange;
using orvane::test::getRequest;
using orvane::test::ok;
using orvane::test::play;
using orvane::test::ScriptedServer;
using Then = Exchange::Then;

Q_DECLARE_METATYPE(QList<orvane::test::ConnectionScript>)

namespace {

const QByteArray kLogin = "/login/orvane.php?login=u&pass=p";

// The request expected on the wire; "{A}" and "{B}" stand for the servers.
QByteArray wire(const QByteArray &target, const QByteArray &host = "{A}",
                const QByteArray &extra = {})
{
    return getRequest(target, host, extra);
}

QByteArray redirect(const QByteArray &location, int status = 302)
{
    return "HTTP/1.1 " + QByteArray::number(status) + " Moved\r\nLocation: " + location +
           "\r\nContent-Length: 5\r\n\r\nmoved";
}

ConnectionScript repeat(const Exchange &exchange, int times)
{
    return ConnectionScript(times, exchange);
}

// The caller's variable after a call that began with "untouched" in it.
QByteArray outcome(const std::optional<HttpFailure> &failure, const QByteArray &text)
{
    const QByteArray shown =
        text.size() <= 40 ? text : '<' + QByteArray::number(text.size()) + " bytes>";
    if (failure)
        return "fail " + QByteArray::number(failure->status) + ' ' + shown;
    return "ok " + shown;
}

HttpSettings shortSettings()
{
    HttpSettings settings;
    settings.connectTimeout = std::chrono::milliseconds(5000);
    settings.silenceTimeout = std::chrono::milliseconds(1000);
    settings.redirectBodyWait = std::chrono::milliseconds(1000);
    settings.refusedBodyWait = std::chrono::milliseconds(1000);
    return settings;
}

quint16 deadPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort(); // closed when `server` goes
}

// A loopback listener whose accept queue is full and never drained: Linux
// drops the SYN of every further connection, so connecting never completes.
class FullBacklog {
public:
    FullBacklog()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        m_filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_listen < 0 || m_filler < 0 ||
            ::bind(m_listen, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0 ||
            ::listen(m_listen, 0) != 0 ||
            ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&address), &length) != 0 ||
            ::connect(m_filler, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            qFatal("FullBacklog: cannot set up the listener");
        m_port = ntohs(address.sin_port);
    }
    ~FullBacklog()
    {
        ::close(m_filler);
        ::close(m_listen);
    }
    FullBacklog(const FullBacklog &) = delete;
    FullBacklog &operator=(const FullBacklog &) = delete;

    QByteArray authority() const { return "127.0.0.1:" + QByteArray::number(m_port); }

private:
    int m_listen = -1;
    int m_filler = -1;
    quint16 m_port = 0;
};

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private slots:
    void exchanges_data();
    void exchanges();
    void noListener();
    void newConnectionAfterServerClosed();
    void connectGivesUp();
    void totalLimit_data();
    void totalLimit();
    void cancel_data();
    void cancel();
    void failureLoggedWithoutPassword_data();
    void failureLoggedWithoutPassword();
    void worksOnThreadWithoutEventLoop();
    void largeBodyWhole();
};

void TestHttpClient::exchanges_data()
{
    QTest::addColumn<QList<ConnectionScript>>("scriptsA");
    QTest::addColumn<QList<ConnectionScript>>("scriptsB");
    QTest::addColumn<QByteArrayList>("urls");
    QTest::addColumn<QByteArrayList>("outcomes");
    QTest::addColumn<QByteArrayList>("requestsA");
    QTest::addColumn<QByteArrayList>("requestsB");
    QTest::addColumn<int>("connectionsA");

    using Scripts = QList<ConnectionScript>;
    const QByteArray login = "http://{A}" + kLogin;
    const QByteArray hello = ok("hello");

    // What goes on the wire.
    QTest::newRow("raw credentials")
        << Scripts{{play(hello)}} << Scripts{}
        << QByteArrayList{"http://{A}/login/orvane.php?login=a b\\\xc8\xe2&pass=x&y=1#z&w"}
        << QByteArrayList{"ok hello"}
        << QByteArrayList{wire("/login/orvane.php?login=a b/\xc8\xe2&pass=x&y=1")}
        << QByteArrayList{} << 1;
    QTest::newRow("empty credentials")
        << Scripts{{play(hello)}} << Scripts{}
        << QByteArrayList{"http://{A}/login/orvane.php?login=&pass="} << QByteArrayList{"ok hello"}
        << QByteArrayList{wire("/login/orvane.php?login=&pass=")} << QByteArrayList{} << 1;
    QTest::newRow("control bytes encoded")
        << Scripts{{play(hello)}} << Scripts{}
        << QByteArrayList{"http://{A}/l?login=a\r\nX-Evil: 1\x7f&pass=\t"}
        << QByteArrayList{"ok hello"}
        << QByteArrayList{wire("/l?login=a%0D%0AX-Evil: 1%7F&pass=%09")} << QByteArrayList{} << 1;
    QTest::newRow("https refused before sending")
        << Scripts{} << Scripts{} << QByteArrayList{"https://{A}/x"}
        << QByteArrayList{"fail 0 untouched"} << QByteArrayList{} << QByteArrayList{} << 0;

    // Bodies and the caller's variable.
    QTest::newRow("empty body leaves the variable")
        << Scripts{{play(ok({})), play("HTTP/1.1 204 No Content\r\n\r\n")}} << Scripts{}
        << QByteArrayList{login, login} << QByteArrayList{"ok untouched", "ok untouched"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("chunked") << Scripts{{play(
                                    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n")}}
                             << Scripts{} << QByteArrayList{login}
                             << QByteArrayList{"ok hello world"} << QByteArrayList{wire(kLogin)}
                             << QByteArrayList{} << 1;
    QTest::newRow("until close") << Scripts{{play("HTTP/1.1 200 OK\r\n\r\nall of it", Then::Close)}}
                                 << Scripts{} << QByteArrayList{login}
                                 << QByteArrayList{"ok all of it"} << QByteArrayList{wire(kLogin)}
                                 << QByteArrayList{} << 1;
    QTest::newRow("dribbled") << Scripts{{Exchange{ok("dribbled body"),
                                                   Exchange::Delivery::Dribble}}}
                              << Scripts{} << QByteArrayList{login}
                              << QByteArrayList{"ok dribbled body"} << QByteArrayList{wire(kLogin)}
                              << QByteArrayList{} << 1;
    QTest::newRow("cut short of its length is a prefix")
        << Scripts{{play(ok("0123456789"), Then::Close, 42)}} << Scripts{} << QByteArrayList{login}
        << QByteArrayList{"ok 012"} << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("chunked cut hands back the part")
        << Scripts{{play(
                       "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n4\r\nwo",
                       Then::Close)},
                   {play(hello)}}
        << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"fail 200 hellowo", "ok hello"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 2;
    QTest::newRow("closed before the status line")
        << Scripts{{play("HTTP/1.1 200", Then::Close)}} << Scripts{} << QByteArrayList{login}
        << QByteArrayList{"fail 0 untouched"} << QByteArrayList{wire(kLogin)} << QByteArrayList{}
        << 1;
    QTest::newRow("2xx headers cut off")
        << Scripts{{play("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", Then::Close)}} << Scripts{}
        << QByteArrayList{login} << QByteArrayList{"fail 200 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;

    // Refused statuses.
    QTest::newRow("404 with a body, connection kept")
        << Scripts{{play("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"),
                    play(hello)}}
        << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"fail 404 untouched", "ok hello"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("unreadable status")
        << Scripts{{play("HTTP/1.1 OK\r\nContent-Length: 2\r\n\r\nhi")}} << Scripts{}
        << QByteArrayList{login} << QByteArrayList{"fail -1 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("3xx without Location")
        << Scripts{{play("HTTP/1.1 302 Found\r\nContent-Length: 2\r\n\r\nhi")}} << Scripts{}
        << QByteArrayList{login} << QByteArrayList{"fail 302 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("304 is refused")
        << Scripts{{play("HTTP/1.1 304 Not Modified\r\nContent-Length: 0\r\n\r\n")}} << Scripts{}
        << QByteArrayList{login} << QByteArrayList{"fail 304 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("refused body waited for, not forever")
        << Scripts{{play("HTTP/1.1 500 Oops\r\nContent-Length: 100\r\n\r\npart", Then::Stall)},
                   {play(hello)}}
        << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"fail 500 untouched", "ok hello"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 2;

    // Redirects.
    QTest::newRow("200 with Location is a redirect")
        << Scripts{{play(ok("junk", "Location: /next\r\n")), play(hello)}} << Scripts{}
        << QByteArrayList{login} << QByteArrayList{"ok hello"}
        << QByteArrayList{wire(kLogin), wire("/next")} << QByteArrayList{} << 1;
    QTest::newRow("relative, parent and root-relative")
        << Scripts{{play(redirect("page.php?a=1")), play(redirect("../up/./x")),
                    play(redirect("/root", 301)), play(hello)}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"ok hello"}
        << QByteArrayList{wire(kLogin), wire("/login/page.php?a=1"), wire("/up/x"), wire("/root")}
        << QByteArrayList{} << 1;
    {
        ConnectionScript fourteen = repeat(play(redirect("/r")), 14);
        fourteen.append(play(hello));
        QByteArrayList requests{wire(kLogin)};
        for (int i = 0; i < 14; ++i)
            requests.append(wire("/r"));
        QTest::newRow("14 redirects then 200")
            << Scripts{fourteen} << Scripts{} << QByteArrayList{login} << QByteArrayList{"ok hello"}
            << requests << QByteArrayList{} << 1;
        // The 15th request's redirect ends the call; the next call counts afresh.
        ConnectionScript fifteen = repeat(play(redirect("/r")), 15);
        fifteen.append(fourteen);
        QByteArrayList twice = requests;
        twice.append(requests);
        QTest::newRow("15 redirects succeed empty, count afresh")
            << Scripts{fifteen} << Scripts{} << QByteArrayList{login, login}
            << QByteArrayList{"ok untouched", "ok hello"} << twice << QByteArrayList{} << 1;
    }
    QTest::newRow("https Location fails")
        << Scripts{{play(redirect("https://{A}/secure"))}} << Scripts{} << QByteArrayList{login}
        << QByteArrayList{"fail 0 untouched"} << QByteArrayList{wire(kLogin)} << QByteArrayList{}
        << 1;
    QTest::newRow("absolute redirect leaves its port behind")
        << Scripts{{play(redirect("http://{B}/b"))}} << Scripts{{play(hello), play(ok("again"))}}
        << QByteArrayList{login, "http://127.0.0.1/c"} << QByteArrayList{"ok hello", "ok again"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{wire("/b", "{B}"), wire("/c", "{B}")}
        << 1;
    QTest::newRow("redirect body that never ends")
        << Scripts{{play("HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 50\r\n\r\nab",
                         Then::Stall)},
                   {play(hello)}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"ok hello"}
        << QByteArrayList{wire(kLogin), wire("/x")} << QByteArrayList{} << 2;

    // Connections.
    QTest::newRow("kept between calls")
        << Scripts{{play(hello), play(ok("second"))}} << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"ok hello", "ok second"} << QByteArrayList{wire(kLogin), wire(kLogin)}
        << QByteArrayList{} << 1;
    QTest::newRow("Connection: close")
        << Scripts{{play(ok("one", "Connection: Close\r\n"))},
                   {play(ok("two", "Proxy-Connection:  close \r\n"))},
                   {play(ok("three"))}}
        << Scripts{} << QByteArrayList{login, login, login}
        << QByteArrayList{"ok one", "ok two", "ok three"}
        << QByteArrayList{wire(kLogin), wire(kLogin), wire(kLogin)} << QByteArrayList{} << 3;
    QTest::newRow("stray bytes after a reply")
        << Scripts{{play(hello + "HTTP/1.1 200 OK\r\n\r\nstale")}, {play(ok("fresh"))}} << Scripts{}
        << QByteArrayList{login, login} << QByteArrayList{"ok hello", "ok fresh"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 2;
    QTest::newRow("other host closes the connection")
        << Scripts{{play(hello)}, {play(ok("back"))}} << Scripts{{play(ok("b"))}}
        << QByteArrayList{login, "http://{B}/b", login}
        << QByteArrayList{"ok hello", "ok b", "ok back"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{wire("/b", "{B}")} << 2;
    QTest::newRow("not repeated when dropped")
        << Scripts{{play(hello)}} << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"ok hello", "fail 0 untouched"}
        << QByteArrayList{wire(kLogin), wire(kLogin)} << QByteArrayList{} << 1;

    // Cookies and authorization.
    QTest::newRow("cookie goes with the next request")
        << Scripts{{play(ok("a", "Set-Cookie: sid=42; path=/\r\n"
                                 "Set-Cookie: far=1; Domain=other.example\r\n")),
                    play(ok("b"))}}
        << Scripts{} << QByteArrayList{login, login} << QByteArrayList{"ok a", "ok b"}
        << QByteArrayList{wire(kLogin), wire(kLogin, "{A}", "Cookie: sid=42\r\n")}
        << QByteArrayList{} << 1;
    QTest::newRow("cookie of a redirect and of a refusal kept")
        << Scripts{{play("HTTP/1.1 302 Found\r\nSet-Cookie: r=1; path=/\r\nLocation: /x\r\n"
                         "Content-Length: 0\r\n\r\n"),
                    play("HTTP/1.1 403 No\r\nSet-cookie: f=2; path=/\r\nContent-Length: 0\r\n\r\n"),
                    play(hello)}}
        << Scripts{} << QByteArrayList{login, login}
        << QByteArrayList{"fail 403 untouched", "ok hello"}
        << QByteArrayList{wire(kLogin), wire("/x", "{A}", "Cookie: r=1\r\n"),
                          wire(kLogin, "{A}", "Cookie: r=1; f=2\r\n")}
        << QByteArrayList{} << 1;
    const QByteArray basic = "Authorization: Basic Og==\r\n";
    QTest::newRow("Basic challenge marks the client")
        << Scripts{{play("HTTP/1.1 401 No\r\nWWW-Authenticate: Digest realm=x\r\nContent-Length: "
                         "0\r\n\r\n"),
                    play("HTTP/1.1 401 No\r\nWWW-Authenticate: bAsIc "
                         "realm=\"x\"\r\nContent-Length: 0\r\n\r\n"),
                    play(hello), play(ok("still"))}}
        << Scripts{} << QByteArrayList{login, login, login, login}
        << QByteArrayList{"fail 401 untouched", "fail 401 untouched", "ok hello", "ok still"}
        << QByteArrayList{wire(kLogin), wire(kLogin), wire(kLogin, "{A}", basic),
                          wire(kLogin, "{A}", basic)}
        << QByteArrayList{} << 1;

    // Hostile or dead servers: each fails, bounded.
    QTest::newRow("line over 16384 bytes")
        << Scripts{{play("HTTP/1.1 200 OK\r\nX: " + QByteArray(16382, 'x') + "\r\n\r\n")}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"fail 200 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("endless headers")
        << Scripts{{play("HTTP/1.1 200 OK\r\n" +
                         QByteArray("X-Pad: " + QByteArray(1000, 'p') + "\r\n").repeated(300))}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"fail 200 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("length claims a gigabyte")
        << Scripts{{play("HTTP/1.1 200 OK\r\nContent-Length: 1073741824\r\n\r\nabc", Then::Stall)}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"fail 200 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("endless chunk")
        << Scripts{{play(
               "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n7fffffffffffffff\r\nab",
               Then::Stall)}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"fail 200 untouched"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
    QTest::newRow("silent before the status")
        << Scripts{{play({}, Then::Stall)}} << Scripts{} << QByteArrayList{login}
        << QByteArrayList{"fail 0 untouched"} << QByteArrayList{wire(kLogin)} << QByteArrayList{}
        << 1;
    QTest::newRow("silent inside the body")
        << Scripts{{play("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", Then::Stall)}}
        << Scripts{} << QByteArrayList{login} << QByteArrayList{"fail 200 abc"}
        << QByteArrayList{wire(kLogin)} << QByteArrayList{} << 1;
}

void TestHttpClient::exchanges()
{
    QFETCH(QList<ConnectionScript>, scriptsA);
    QFETCH(QList<ConnectionScript>, scriptsB);
    QFETCH(QByteArrayList, urls);
    QFETCH(QByteArrayList, outcomes);
    QFETCH(QByteArrayList, requestsA);
    QFETCH(QByteArrayList, requestsB);
    QFETCH(int, connectionsA);

    ScriptedServer serverB(scriptsB);
    QByteArray authorityA; // known once A runs; B's scripts never name it
    const auto fill = [&](QByteArray text) {
        return text.replace("{A}", authorityA).replace("{B}", serverB.authority());
    };
    for (ConnectionScript &script : scriptsA) {
        for (Exchange &exchange : script)
            exchange.reply = fill(exchange.reply);
    }
    ScriptedServer serverA(scriptsA);
    authorityA = serverA.authority();

    HttpClient client(shortSettings());
    QByteArrayList got;
    for (const QByteArray &url : urls) {
        QByteArray text = "untouched";
        const std::optional<HttpFailure> failure = HttpGetText(client, fill(url), text);
        got.append(outcome(failure, text));
    }
    QCOMPARE(got, outcomes);

    for (QByteArray &request : requestsA)
        request = fill(request);
    for (QByteArray &request : requestsB)
        request = fill(request);
    QCOMPARE(serverA.requests(), requestsA);
    QCOMPARE(serverB.requests(), requestsB);
    QCOMPARE(serverA.connectionsAccepted(), connectionsA);
}

void TestHttpClient::noListener()
{
    HttpClient client(shortSettings());
    QByteArray text = "untouched";
    const auto failure = HttpGetText(
        client, QByteArray("http://127.0.0.1:" + QByteArray::number(deadPort()) + "/x"), text);
    QVERIFY(failure);
    QCOMPARE(failure->status, 0);
    QVERIFY(!failure->reason.isEmpty());
    QCOMPARE(text, QByteArray("untouched"));
}

void TestHttpClient::newConnectionAfterServerClosed()
{
    ScriptedServer server({{play(ok("hello"), Then::Close)}, {play(ok("two"))}});
    const QByteArray url = "http://" + server.authority() + kLogin;
    HttpClient client(shortSettings());
    QByteArray text;
    QVERIFY(!HttpGetText(client, url, text));
    // Only once the close is on its way can the client's check before reuse see it.
    QVERIFY(server.waitForClosed(0));
    QVERIFY(!HttpGetText(client, url, text));
    QCOMPARE(text, QByteArray("two"));
    QCOMPARE(server.connectionsAccepted(), 2);
    QCOMPARE(server.requests().size(), 2);
}

void TestHttpClient::connectGivesUp()
{
    const FullBacklog listener;
    HttpSettings settings = shortSettings();
    settings.connectTimeout = std::chrono::milliseconds(300);
    settings.totalTimeout = std::chrono::minutes(10);
    HttpClient client(settings);
    QByteArray text = "untouched";
    const auto failure =
        HttpGetText(client, QByteArray("http://" + listener.authority() + "/x"), text);
    QCOMPARE(outcome(failure, text), QByteArray("fail 0 untouched"));
    QVERIFY2(failure->reason.contains(u"within 300 ms"), qPrintable(failure->reason));
    QVERIFY(!failure->cancelled);
}

// Every byte comes well within the silence limit, but the whole would take
// far longer than the call may.
void TestHttpClient::totalLimit_data()
{
    QTest::addColumn<QByteArray>("reply"); // empty: the connection never completes
    QTest::addColumn<qsizetype>("dribbleFrom");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>(
        "body"); // the caller's variable holds a part of it; null: untouched

    const QByteArray pad(1500, 'x');
    const QByteArray body(1500, 'b');
    const auto head = [](const QByteArray &status, qsizetype length) -> QByteArray {
        return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(length) + "\r\n";
    };

    QTest::newRow("connection never completes")
        << QByteArray() << qsizetype(0) << 0 << QByteArray();
    QTest::newRow("status line") << QByteArray("HTTP/1.1 200 " + pad + "\r\n\r\n") << qsizetype(0)
                                 << 0 << QByteArray();
    const QByteArray headers = "HTTP/1.1 200 OK\r\nX-Pad: " + pad + "\r\n\r\n";
    QTest::newRow("headers") << headers << qsizetype(17) << 200 << QByteArray();
    const QByteArray okHead = head("200 OK", body.size()) + "\r\n";
    QTest::newRow("body") << okHead + body << okHead.size() << 200 << body;
    const QByteArray moved = head("302 Found", body.size()) + "Location: /next\r\n\r\n";
    QTest::newRow("redirect body") << moved + body << moved.size() << 302 << QByteArray();
    const QByteArray refused = head("500 Oops", body.size()) + "\r\n";
    QTest::newRow("refused body") << refused + body << refused.size() << 500 << QByteArray();
}

void TestHttpClient::totalLimit()
{
    QFETCH(QByteArray, reply);
    QFETCH(qsizetype, dribbleFrom);
    QFETCH(int, status);
    QFETCH(QByteArray, body);

    const FullBacklog listener;
    Exchange exchange{reply, Exchange::Delivery::Dribble};
    exchange.dribbleFrom = dribbleFrom;
    exchange.dribblePauseMs = 20; // the whole takes 30 s
    ScriptedServer server({{exchange}});
    const QByteArray authority = reply.isEmpty() ? listener.authority() : server.authority();

    HttpSettings settings;
    settings.connectTimeout = settings.silenceTimeout = std::chrono::minutes(10);
    settings.redirectBodyWait = settings.refusedBodyWait = std::chrono::minutes(10);
    settings.totalTimeout = std::chrono::milliseconds(500);
    HttpClient client(settings);
    QByteArray text = "untouched";
    const auto failure = HttpGetText(client, QByteArray("http://" + authority + kLogin), text);

    QVERIFY(failure);
    QCOMPARE(failure->status, status);
    QVERIFY2(failure->reason.contains(u"500 ms in all"), qPrintable(failure->reason));
    QVERIFY(!failure->cancelled);
    if (body.isNull())
        QCOMPARE(text, QByteArray("untouched"));
    else
        QVERIFY(!text.isEmpty() && text.size() < body.size() && body.startsWith(text));
    QVERIFY(!client.isConnected());
    if (!reply.isEmpty())
        QVERIFY(server.waitForClosed(0));
}

// Where the call stands when the cancel comes from another thread. Only the
// first row can say exactly how far the client got; the others accept any
// point after the request went out.
void TestHttpClient::cancel_data()
{
    QTest::addColumn<QList<ConnectionScript>>("scripts");
    QTest::addColumn<int>("requestsFirst"); // -1: cancelled before the call
    QTest::addColumn<QByteArray>("body");   // the variable holds a part of it, or is untouched

    using Scripts = QList<ConnectionScript>;
    QTest::newRow("before the call") << Scripts{{play(ok("never"))}} << -1 << QByteArray();
    QTest::newRow("waiting for the status")
        << Scripts{{play({}, Then::Stall)}} << 1 << QByteArray();
    QTest::newRow("inside the body")
        << Scripts{{play("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", Then::Stall)}} << 1
        << QByteArray("abcdefghij");
    QTest::newRow("redirect body")
        << Scripts{{play("HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 9\r\n\r\nab",
                         Then::Stall)}}
        << 1 << QByteArray();
    QTest::newRow("after a redirect")
        << Scripts{{play(redirect("/x")), play({}, Then::Stall)}} << 2 << QByteArray();
}

void TestHttpClient::cancel()
{
    QFETCH(QList<ConnectionScript>, scripts);
    QFETCH(int, requestsFirst);
    QFETCH(QByteArray, body);

    ScriptedServer server(scripts);
    HttpSettings settings;
    settings.silenceTimeout = settings.redirectBodyWait = std::chrono::seconds(20);
    HttpClient client(settings);
    CancelToken token;
    if (requestsFirst < 0)
        token.cancel();
    QByteArray text = "untouched";
    std::optional<HttpFailure> failure;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        failure =
            HttpGetText(client, QByteArray("http://" + server.authority() + kLogin), text, &token);
    }));
    thread->start();
    if (requestsFirst >= 0) {
        QTRY_COMPARE(server.requests().size(), requestsFirst);
        token.cancel();
    }
    QVERIFY(thread->wait());

    QVERIFY(failure);
    QVERIFY(failure->cancelled);
    QVERIFY(text == "untouched" || (!text.isEmpty() && body.startsWith(text)));
    QVERIFY(!client.isConnected());
    if (requestsFirst < 0) {
        QCOMPARE(server.connectionsAccepted(), 0);
    } else {
        QCOMPARE(server.requests().size(), requestsFirst);
        QVERIFY(server.waitForClosed(0));
    }
}

void TestHttpClient::failureLoggedWithoutPassword_data()
{
    QTest::addColumn<QList<ConnectionScript>>("scripts"); // none: nothing listens
    QTest::addColumn<QByteArray>("scheme");
    QTest::addColumn<int>("status");

    using Scripts = QList<ConnectionScript>;
    QTest::newRow("refused connection") << Scripts() << QByteArray("http") << 0;
    QTest::newRow("refused status")
        << Scripts{{play("HTTP/1.1 403 Forbidden pass=Sup3rSecret\r\nContent-Length: 0\r\n\r\n")}}
        << QByteArray("http") << 403;
    QTest::newRow("closed inside the body")
        << Scripts{{play("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nab",
                         Then::Close)}}
        << QByteArray("http") << 200;
    QTest::newRow("https") << Scripts() << QByteArray("https") << 0;
}

void TestHttpClient::failureLoggedWithoutPassword()
{
    QFETCH(QList<ConnectionScript>, scripts);
    QFETCH(QByteArray, scheme);
    QFETCH(int, status);

    ScriptedServer server(scripts);
    const QByteArray authority =
        scripts.isEmpty() ? "127.0.0.1:" + QByteArray::number(deadPort()) : server.authority();
    const QByteArray url = scheme + "://" + authority + kLogin.first(kLogin.indexOf('?')) +
                           "?login=user&pass=Sup3rSecret";
    HttpClient client(shortSettings());
    QByteArray text;
    std::optional<HttpFailure> failure;
    QList<orvane::test::LogCapture::Entry> entries;
    {
        const orvane::test::LogCapture capture;
        failure = HttpGetText(client, url, text);
        entries = capture.entries();
    }

    QVERIFY(failure);
    QCOMPARE(failure->status, status);
    QCOMPARE(entries.size(), 1);
    const orvane::test::LogCapture::Entry &entry = entries.first();
    QCOMPARE(entry.type, QtWarningMsg);
    QCOMPARE(entry.category, QByteArray("orvane.http"));
    const QString &message = entry.text;
    QVERIFY2(!message.contains(u"Sup3rSecret") && !message.contains(u"login=") &&
                 !message.contains(u'?'),
             qPrintable(message));
    QVERIFY2(message.contains(failure->reason), qPrintable(message));
    if (scheme == "http") {
        QVERIFY2(message.contains(QString::fromLatin1(authority + "/login/orvane.php")),
                 qPrintable(message));
        QVERIFY2(message.contains(u"status " + QString::number(status)), qPrintable(message));
    }
}

void TestHttpClient::worksOnThreadWithoutEventLoop()
{
    ScriptedServer server({{play(ok("from a worker")), play(ok("again"))}});
    QByteArrayList got;
    QThread *worker = QThread::create([&] {
        HttpClient client(shortSettings());
        for (int i = 0; i < 2; ++i) {
            QByteArray text;
            const auto failure =
                HttpGetText(client, QByteArray("http://" + server.authority() + "/"), text);
            got.append(outcome(failure, text));
        }
    });
    worker->start();
    QVERIFY(worker->wait(20000));
    delete worker;
    QCOMPARE(got, (QByteArrayList{"ok from a worker", "ok again"}));
    QCOMPARE(server.connectionsAccepted(), 1);
}

void TestHttpClient::largeBodyWhole()
{
    QByteArray body(16 * 1024 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 + (i >> 12));
    const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" +
                               QByteArray::number(body.size(), 16) + "\r\n" + body +
                               "\r\n0\r\n\r\n";
    ScriptedServer server({{play(ok(body)), play(chunked)}});
    HttpClient client(shortSettings());
    for (int i = 0; i < 2; ++i) {
        QByteArray text;
        QVERIFY(!HttpGetText(client, QByteArray("http://" + server.authority() + "/big"), text));
        QVERIFY(text == body);
    }
}

QTEST_GUILESS_MAIN(TestHttpClient)
#include "test_http_client.moc"
