#include "service/http_location.h"
#include "service/http_reply_reader.h"
#include "service/http_request.h"
#include "service/http_url.h"

#include <QTest>

using namespace orvane::http;

Q_DECLARE_METATYPE(orvane::http::ReaderLimits)

namespace {

enum class Body { Keep, Discard, Skip };

// What a reader made of a stream, in one comparable line.
QByteArray outcome(const ReplyReader &reader, qsizetype leftover)
{
    static const char *const kStates[] = {"status-line", "headers", "headers-done",
                                          "body",        "done",    "failed"};
    QByteArray out = kStates[int(reader.state())];
    out += ' ' + QByteArray::number(reader.statusCode());
    if (!reader.error().isEmpty())
        out += " [" + reader.error().toLatin1() + ']';
    if (reader.headersCut())
        out += " headers-cut";
    if (reader.bodyCut())
        out += " body-cut";
    const QByteArrayView body = reader.body();
    out += " body=" + (body.size() <= 40 ? body.toByteArray()
                                         : '<' + QByteArray::number(body.size()) + " bytes>");
    if (reader.bodySize() != body.size())
        out += " read=" + QByteArray::number(reader.bodySize());
    out += " left=" + QByteArray::number(leftover);
    return out;
}

// Feeds `stream` in pieces of `step` bytes; `eof` ends the stream after it.
QByteArray read(const QByteArray &stream, qsizetype step, bool eof, Body mode, ReaderLimits limits,
                HeaderList *headers = nullptr)
{
    ReplyReader reader(limits);
    const auto decide = [&] {
        if (reader.state() != ReplyReader::State::HeadersDone)
            return;
        if (mode == Body::Skip)
            reader.skipBody();
        else
            reader.readBody(mode == Body::Keep ? ReplyReader::BodyMode::Keep
                                               : ReplyReader::BodyMode::Discard);
    };
    qsizetype pos = 0;
    while (pos < stream.size()) {
        const qsizetype n =
            reader.feed(QByteArrayView(stream).sliced(pos, qMin(step, stream.size() - pos)));
        pos += n;
        if (reader.state() == ReplyReader::State::HeadersDone)
            decide();
        else if (n == 0)
            break;
    }
    if (eof) {
        reader.finish();
        decide();
    }
    if (headers)
        *headers = reader.headers();
    return outcome(reader, stream.size() - pos);
}

QByteArray repeated(qsizetype n, char c = 'x')
{
    return QByteArray(n, c);
}

} // namespace

class TestHttpWire : public QObject {
    Q_OBJECT

private slots:
    void splitUrl_data();
    void splitUrl();
    void location_data();
    void location();
    void request_data();
    void request();
    void reply_data();
    void reply();
    void replyHeaders_data();
    void replyHeaders();
    void bodyStraightIntoPlace();
};

void TestHttpWire::splitUrl_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<int>("defaultPort");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("target");

    const auto row = [](const char *name, const QByteArray &url, const QByteArray &host, int port,
                        const QByteArray &target, int defaultPort = 80) {
        QTest::newRow(name) << url << defaultPort << true << host << port << target;
    };
    const auto refused = [](const char *name, const QByteArray &url) {
        QTest::newRow(name) << url << 80 << false << QByteArray() << 0 << QByteArray();
    };

    row("login", "http://127.0.0.1:8780/login/orvane.php?login=u&pass=p", "127.0.0.1", 8780,
        "/login/orvane.php?login=u&pass=p");
    row("space and ampersand raw", "http://h/login/orvane.php?login=a b&pass=x&y=1", "h", 80,
        "/login/orvane.php?login=a b&pass=x&y=1");
    row("hash ends the query", "http://h/l/o.php?login=u&pass=p#rest?x", "h", 80,
        "/l/o.php?login=u&pass=p");
    row("hash in the path is kept", "http://h/a#b", "h", 80, "/a#b");
    row("backslashes become slashes", "http://h/login/o.php?login=a\\b&pass=\\", "h", 80,
        "/login/o.php?login=a/b&pass=/");
    row("backslashes everywhere", "http:\\\\h:81\\x", "h", 81, "/x");
    row("windows-1251 raw", "http://h/o.php?login=\xc8\xe2\xe0\xed&pass=\xff%20+=", "h", 80,
        "/o.php?login=\xc8\xe2\xe0\xed&pass=\xff%20+=");
    row("empty credentials", "http://h/login/orvane.php?login=&pass=", "h", 80,
        "/login/orvane.php?login=&pass=");
    row("no path", "http://h", "h", 80, "/");
    row("query ends the authority", "http://h?a=/b", "h", 80, "/?a=/b");
    row("user info dropped", "http://u:p@w@h:81/x", "h", 81, "/x");
    row("upper-case scheme", "HTTP://h/", "h", 80, "/");
    row("port left by a redirect", "http://h/x", "h", 8080, "/x", 8080);
    row("explicit port wins", "http://h:80/x", "h", 80, "/x", 8080);
    row("empty port is the default", "http://h:/x", "h", 80, "/x");
    row("ipv6 literal", "http://[::1]:8080/x", "[::1]", 8080, "/x");
    row("control bytes encoded", QByteArray("http://h/a\r\nX: y?q=\x01\x7f\x00z", 23), "h", 80,
        "/a%0D%0AX: y?q=%01%7F%00z");

    refused("https", "https://h/x");
    refused("other scheme", "ftp://h/x");
    refused("no scheme", "h/login/orvane.php");
    refused("empty", "");
    refused("empty host", "http:///x");
    refused("control byte in host", "http://h\r\nX: y/");
    refused("port not a number", "http://h:8o/x");
    refused("port zero", "http://h:0/x");
    refused("port too large", "http://h:65536/x");
    refused("unclosed ipv6", "http://[::1/x");
}

void TestHttpWire::splitUrl()
{
    QFETCH(QByteArray, url);
    QFETCH(int, defaultPort);
    const Url split = orvane::http::splitUrl(url, quint16(defaultPort));
    QTEST(split.ok(), "ok");
    if (!split.ok())
        return;
    QTEST(split.host, "host");
    QTEST(int(split.port), "port");
    QTEST(split.target, "target");
}

void TestHttpWire::location_data()
{
    QTest::addColumn<QByteArray>("previous");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray login = "http://h:81/login/orvane.php?login=a/b&pass=c";
    QTest::newRow("relative") << login << QByteArray("page.php")
                              << QByteArray("http://h:81/login/page.php");
    QTest::newRow("root-relative") << login << QByteArray("/x") << QByteArray("http://h:81/x");
    QTest::newRow("root-relative keeps dots")
        << login << QByteArray("/a/../x") << QByteArray("http://h:81/a/../x");
    QTest::newRow("absolute") << login << QByteArray("http://o:9/y?z")
                              << QByteArray("http://o:9/y?z");
    QTest::newRow("absolute https")
        << login << QByteArray("https://o/") << QByteArray("https://o/");
    QTest::newRow("parent") << login << QByteArray("../x") << QByteArray("http://h:81/x");
    QTest::newRow("above the root")
        << login << QByteArray("../../../x") << QByteArray("http://h:81/x");
    QTest::newRow("dots") << login << QByteArray("./a/./b/../c")
                          << QByteArray("http://h:81/login/a/c");
    QTest::newRow("dot alone") << login << QByteArray(".") << QByteArray("http://h:81/login/");
    QTest::newRow("dot-dot alone") << login << QByteArray("..") << QByteArray("http://h:81/");
    QTest::newRow("trailing dot-dot")
        << login << QByteArray("a/b/..") << QByteArray("http://h:81/login/a/");
    QTest::newRow("dots in query untouched")
        << login << QByteArray("x?p=../y") << QByteArray("http://h:81/login/x?p=../y");
    QTest::newRow("query only") << login << QByteArray("?a=1")
                                << QByteArray("http://h:81/login/?a=1");
    QTest::newRow("scheme inside a query")
        << login << QByteArray("/go?to=http://o/") << QByteArray("http://h:81/go?to=http://o/");
    QTest::newRow("backslashes") << login << QByteArray("..\\x") << QByteArray("http://h:81/x");
    QTest::newRow("previous without path")
        << QByteArray("http://h") << QByteArray("a") << QByteArray("http://h/a");
    QTest::newRow("slash in previous query ignored")
        << QByteArray("http://h/a/b?c=/d/e") << QByteArray("x") << QByteArray("http://h/a/x");
    QTest::newRow("double slash stays on this host")
        << login << QByteArray("//o/x") << QByteArray("http://h:81//o/x");
}

void TestHttpWire::location()
{
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, location);
    QTEST(resolveLocation(previous, location), "expected");
}

void TestHttpWire::request_data()
{
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<bool>("basicAuth");
    QTest::addColumn<QByteArray>("cookie");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray tail =
        QByteArray("Accept: text/html, */*\r\nUser-Agent: ") + kUserAgent + "\r\n";
    QTest::newRow("port 80 not named")
        << QByteArray("http://h/login/orvane.php?login=a b&pass=\xc8") << false << QByteArray()
        << "GET /login/orvane.php?login=a b&pass=\xc8 HTTP/1.1\r\nContent-Type: text/html\r\n"
           "Host: h\r\n" +
               tail + "\r\n";
    QTest::newRow("other port named") << QByteArray("http://h:8780/") << false << QByteArray()
                                      << "GET / HTTP/1.1\r\nContent-Type: text/html\r\n"
                                         "Host: h:8780\r\n" +
                                             tail + "\r\n";
    QTest::newRow("443 named too") << QByteArray("http://h:443/") << false << QByteArray()
                                   << "GET / HTTP/1.1\r\nContent-Type: text/html\r\n"
                                      "Host: h:443\r\n" +
                                          tail + "\r\n";
    QTest::newRow("authorization then cookie")
        << QByteArray("http://h/x") << true << QByteArray("a=1; b=2")
        << "GET /x HTTP/1.1\r\nContent-Type: text/html\r\nHost: h\r\n" + tail +
               "Authorization: Basic Og==\r\nCookie: a=1; b=2\r\n\r\n";
    const QByteArray longCookie = "k=" + repeated(3000, 'v') + "; m=, \"q r\"";
    QTest::newRow("long cookie line unfolded")
        << QByteArray("http://h/x") << false << longCookie
        << "GET /x HTTP/1.1\r\nContent-Type: text/html\r\nHost: h\r\n" + tail +
               "Cookie: " + longCookie + "\r\n\r\n";
}

void TestHttpWire::request()
{
    QFETCH(QByteArray, url);
    QFETCH(bool, basicAuth);
    QFETCH(QByteArray, cookie);
    const Url split = orvane::http::splitUrl(url);
    QVERIFY(split.ok());
    QTEST(buildGetRequest(split, basicAuth, cookie), "expected");
}

void TestHttpWire::reply_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<bool>("eof");
    QTest::addColumn<int>("mode");
    QTest::addColumn<ReaderLimits>("limits");
    QTest::addColumn<QByteArray>("outcome");

    const ReaderLimits defaults;
    const ReaderLimits small{64, 256, 16};
    const ReaderLimits roomyLines{1024, 256, 16};
    const auto row = [](const char *name, const QByteArray &stream, bool eof, Body mode,
                        ReaderLimits limits, const QByteArray &outcome) {
        QTest::newRow(name) << stream << eof << int(mode) << limits << outcome;
    };
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";

    // Framing.
    row("length", ok + "Content-Length: 5\r\n\r\nhello", false, Body::Keep, defaults,
        "done 200 body=hello left=0");
    row("lines end at LF", "HTTP/1.1 200 OK\nContent-Length: 2\n\nhi", false, Body::Keep, defaults,
        "done 200 body=hi left=0");
    row("length trimmed, name in any case", ok + "content-LENGTH:  3 \r\n\r\nabcdef", false,
        Body::Keep, defaults, "done 200 body=abc left=3");
    row("zero bytes kept", ok + "Content-Length: 3\r\n\r\n" + QByteArray("a\0b", 3), false,
        Body::Keep, defaults, QByteArray("done 200 body=a\0b left=0", 24));
    row("length cut by close", ok + "Content-Length: 10\r\n\r\nabc", true, Body::Keep, defaults,
        "done 200 body-cut body=abc left=0");
    row("length not a number reads to close", ok + "Content-Length: 5x\r\n\r\nabcdefg", true,
        Body::Keep, defaults, "done 200 body=abcdefg left=0");
    row("length zero is empty", ok + "Content-Length: 0\r\n\r\nxyz", false, Body::Keep, defaults,
        "done 200 body= left=3");
    row("until close", ok + "\r\nsome text", true, Body::Keep, defaults,
        "done 200 body=some text left=0");
    row("until close, still open", ok + "\r\nsome", false, Body::Keep, defaults,
        "body 200 body=some left=0");
    row("chunked", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\nX",
        false, Body::Keep, defaults, "done 200 body=hello world left=1");
    row("chunk sizes in hex, extensions, LF only",
        ok + "Transfer-Encoding: gzip, chunked\r\n\r\nA;x=y\n0123456789\nb "
             "junk\r\nabcdefghijk\r\n0\n\n",
        false, Body::Keep, defaults, "done 200 body=0123456789abcdefghijk left=0");
    row("chunk size not hex ends the body",
        ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0x4\r\nTRAILER\r\nrest", false,
        Body::Keep, defaults, "done 200 body=abc left=4");
    row("line after chunk data read whatever it holds",
        ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nabEXTRA\r\n1\r\nc\r\n0\r\n\r\n", false,
        Body::Keep, defaults, "done 200 body=abc left=0");
    row("chunked cut inside data", ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhel", true,
        Body::Keep, defaults,
        "failed 200 [connection closed inside a chunked body] body=hel left=0");
    row("chunked cut before last chunk", ok + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n",
        true, Body::Keep, defaults,
        "failed 200 [connection closed inside a chunked body] body=abc left=0");
    row("chunked closed after last chunk", ok + "Transfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n",
        true, Body::Keep, defaults, "done 200 body=a left=0");
    row("chunked only in lower case", ok + "Transfer-Encoding: Chunked\r\n\r\n1\r\na\r\n0\r\n\r\n",
        true, Body::Keep, defaults, "done 200 body=1\r\na\r\n0\r\n\r\n left=0");
    row("length wins over chunked",
        ok + "Transfer-Encoding: chunked\r\nContent-Length: 3\r\n\r\n1\r\na", false, Body::Keep,
        defaults, "done 200 body=1\r\n left=1");
    row("length zero with chunked is chunked",
        ok + "Content-Length: 0\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n", false,
        Body::Keep, defaults, "done 200 body=a left=0");

    // Body decisions of the caller.
    row("skipped body stays unread", "HTTP/1.1 204 No Content\r\nContent-Length: 4\r\n\r\nabcd",
        false, Body::Skip, defaults, "done 204 body= left=4");
    row("discarded body counted", "HTTP/1.1 302 Found\r\nContent-Length: 4\r\n\r\nabcd", false,
        Body::Discard, defaults, "done 302 body= read=4 left=0");
    row("discarded chunked body",
        "HTTP/1.1 404 NF\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n", false,
        Body::Discard, defaults, "done 404 body= read=2 left=0");

    // Status lines and interim replies.
    row("interim 100 passed over",
        "HTTP/1.1 100 Continue\r\nX: 1\r\n\r\nHTTP/1.1 100 Continue\r\n\r\n" + ok +
            "Content-Length: 1\r\n\r\nz",
        false, Body::Keep, defaults, "done 200 body=z left=0");
    row("other 1xx is final", "HTTP/1.1 102 Processing\r\n\r\n", true, Body::Discard, defaults,
        "done 102 body= left=0");
    row("status word not a number", "HTTP/1.1 2OO OK\r\nContent-Length: 1\r\n\r\nz", false,
        Body::Keep, defaults, "done -1 body=z left=0");
    row("status with trailing letters", "HTTP/1.1 200x\r\n\r\n", true, Body::Keep, defaults,
        "done -1 body= left=0");
    row("no second word", "HTTP/1.1\r\n\r\n", true, Body::Keep, defaults, "done -1 body= left=0");
    row("runs of spaces", "HTTP/1.1   404   Not Found\r\n\r\n", true, Body::Keep, defaults,
        "done 404 body= left=0");
    row("not http at all", "hello world\r\n\r\n", true, Body::Keep, defaults,
        "done -1 body= left=0");

    // The stream ending early.
    row("nothing at all", "", true, Body::Keep, defaults,
        "failed -1 [connection closed before the status line] body= left=0");
    row("status line unfinished", "HTTP/1.1 200 OK", true, Body::Keep, defaults,
        "failed -1 [connection closed before the status line] body= left=0");
    row("closed after interim 100", "HTTP/1.1 100 Continue\r\n\r\n", true, Body::Keep, defaults,
        "failed -1 [connection closed before the status line] body= left=0");
    row("closed inside headers", ok + "Content-Length: 5\r\nX-Half: ab", true, Body::Keep, defaults,
        "done 200 headers-cut body-cut body= left=0");
    row("closed inside headers, chunked", ok + "Transfer-Encoding: chunked\r\n", true, Body::Keep,
        defaults, "failed 200 [connection closed inside a chunked body] headers-cut body= left=0");
    row("headers not over yet", ok + "Content-Length: 5\r\n", false, Body::Keep, defaults,
        "headers 200 body= left=0");

    // Bounds.
    row("line at the limit", ok + "X: " + repeated(16381) + "\r\nContent-Length: 1\r\n\r\nz", false,
        Body::Keep, defaults, "done 200 body=z left=0");
    row("line over the limit", ok + "X: " + repeated(16382) + "\r\n\r\n", false, Body::Keep,
        defaults, "failed 200 [reply line too long] body= left=0");
    row("line over the limit, no CR", ok + "X: " + repeated(16382) + "\n\n", false, Body::Keep,
        defaults, "failed 200 [reply line too long] body= left=0");
    row("endless status line", repeated(20000), false, Body::Keep, defaults,
        "failed -1 [reply line too long] body= left=0");
    row("endless headers", ok + QByteArray("X-Pad: " + repeated(1000) + "\r\n").repeated(300),
        false, Body::Keep, defaults, "failed 200 [reply headers too large] body= left=0");
    row("headers at the bound", "HTTP/1.1 200 OK\r\n" + repeated(235) + "\r\n\r\n", true,
        Body::Keep, roomyLines, "done 200 body= left=0");
    row("headers one over the bound", "HTTP/1.1 200 OK\r\n" + repeated(236) + "\r\n\r\n", false,
        Body::Keep, roomyLines, "failed 200 [reply headers too large] body= left=0");
    row("endless interim replies", QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(20), false,
        Body::Keep, small, "failed -1 [reply headers too large] body= left=0");
    row("length claims a gigabyte", ok + "Content-Length: 1073741824\r\n\r\nabc", false, Body::Keep,
        defaults, "failed 200 [reply body too large] body= left=0");
    row("length of endless digits", ok + "Content-Length: " + repeated(40, '9') + "\r\n\r\n", false,
        Body::Keep, defaults, "failed 200 [reply body too large] body= left=0");
    row("length at the bound", ok + "Content-Length: 16\r\n\r\n" + repeated(16), false, Body::Keep,
        small, "done 200 body=xxxxxxxxxxxxxxxx left=0");
    row("until close over the bound", ok + "\r\n" + repeated(40), false, Body::Keep, small,
        "failed 200 [reply body too large] body=xxxxxxxxxxxxxxxx left=0");
    row("endless chunk", ok + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFFFF\r\nab",
        false, Body::Keep, defaults, "failed 200 [reply body too large] body= left=0");
    row("chunks over the bound",
        ok + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray("5\r\nabcde\r\n").repeated(4), false,
        Body::Keep, small, "failed 200 [reply body too large] body=abcdeabcdeabcde left=0");
    row("endless chunk size line", ok + "Transfer-Encoding: chunked\r\n\r\n" + repeated(70, '0'),
        false, Body::Keep, small, "failed 200 [reply line too long] body= left=0");
    row("discarded body bounded too", ok + "\r\n" + repeated(40), false, Body::Discard, small,
        "failed 200 [reply body too large] body= read=16 left=0");
}

void TestHttpWire::reply()
{
    QFETCH(QByteArray, stream);
    QFETCH(bool, eof);
    QFETCH(int, mode);
    QFETCH(ReaderLimits, limits);
    QFETCH(QByteArray, outcome);
    // The leftover is only defined for a reply read to its end; a failed
    // reader may stop anywhere.
    const auto comparable = [](QByteArray text) {
        if (text.startsWith("failed"))
            text.truncate(text.lastIndexOf(" left="));
        return text;
    };
    for (const qsizetype step : {stream.size() + 1, qsizetype(1), qsizetype(7)}) {
        const QByteArray got = read(stream, step, eof, Body(mode), limits);
        if (comparable(got) != comparable(outcome))
            qWarning("fed %lld bytes at a time", qlonglong(step));
        QCOMPARE(comparable(got), comparable(outcome));
    }
}

void TestHttpWire::replyHeaders_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArrayList>("expected"); // name, value, name, value...

    QTest::newRow("trimmed") << QByteArray("HTTP/1.1 200 OK\r\nA :  1 \r\nB:2\r\n\r\n")
                             << QByteArrayList{"A", "1", "B", "2"};
    QTest::newRow("folded") << QByteArray(
                                   "HTTP/1.1 200 OK\r\nX: one\r\n two \r\n\tthree\r\nY: 4\r\n\r\n")
                            << QByteArrayList{"X", "one two three", "Y", "4"};
    QTest::newRow("fold onto an empty value")
        << QByteArray("HTTP/1.1 200 OK\r\nX:\r\n two\r\n\r\n") << QByteArrayList{"X", "two"};
    QTest::newRow("fold with nothing before ignored")
        << QByteArray("HTTP/1.1 200 OK\r\n lost\r\nX: 1\r\n\r\n") << QByteArrayList{"X", "1"};
    QTest::newRow("lines without a name ignored")
        << QByteArray("HTTP/1.1 200 OK\r\nno colon\r\n: empty\r\nX: a:b\r\n\r\n")
        << QByteArrayList{"X", "a:b"};
    QTest::newRow("inner CR kept")
        << QByteArray("HTTP/1.1 200 OK\r\nX: a\rb\r\r\n\r\n") << QByteArrayList{"X", "a\rb"};
    QTest::newRow("repeated names kept in order")
        << QByteArray("HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\nset-cookie: b=2\r\n\r\n")
        << QByteArrayList{"Set-Cookie", "a=1", "set-cookie", "b=2"};
    QTest::newRow("interim headers dropped")
        << QByteArray("HTTP/1.1 100 Continue\r\nX: 1\r\n\r\nHTTP/1.1 200 OK\r\nY: 2\r\n\r\n")
        << QByteArrayList{"Y", "2"};
    QTest::newRow("unfinished line dropped at close")
        << QByteArray("HTTP/1.1 200 OK\r\nX: 1\r\nLocation: /ha") << QByteArrayList{"X", "1"};
}

void TestHttpWire::replyHeaders()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArrayList, expected);
    for (const qsizetype step : {stream.size(), qsizetype(1)}) {
        HeaderList headers;
        read(stream, step, true, Body::Skip, ReaderLimits{}, &headers);
        QByteArrayList flat;
        for (const HeaderField &field : headers)
            flat << field.name << field.value;
        QCOMPARE(flat, expected);
    }
}

void TestHttpWire::bodyStraightIntoPlace()
{
    // The client's fast path: the socket fills the body's room directly.
    ReplyReader reader;
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123";
    QCOMPARE(reader.feed(head), head.size() - 4);
    reader.readBody(ReplyReader::BodyMode::Keep);
    QCOMPARE(reader.feed(QByteArrayView(head).last(4)), 4);
    std::span<char> space = reader.bodySpace();
    QCOMPARE(qsizetype(space.size()), 6);
    std::memcpy(space.data(), "4567", 4);
    reader.commitBody(4);
    QCOMPARE(reader.state(), ReplyReader::State::Body);
    QCOMPARE(reader.feed("89xx"), 2);
    QCOMPARE(reader.state(), ReplyReader::State::Done);
    QVERIFY(reader.bodySpace().empty());
    QCOMPARE(reader.takeBody(), QByteArray("0123456789"));
}

QTEST_APPLESS_MAIN(TestHttpWire)
#include "test_http_wire.moc"
