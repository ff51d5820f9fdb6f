#include "service/cookie_store.h"

#include <QTest>

using namespace orvane::http;

namespace {

const QDateTime kNow(QDate(2024, 3, 1), QTime(12, 0), Qt::UTC);

HeaderList setCookies(const QByteArrayList &lines)
{
    HeaderList headers;
    for (const QByteArray &line : lines)
        headers.append({QByteArray("Set-Cookie"), line});
    return headers;
}

// A "name=vvv..." pair of exactly `pairBytes` bytes.
QByteArray sized(const QByteArray &name, qsizetype pairBytes)
{
    return name + '=' + QByteArray(pairBytes - name.size() - 1, 'v');
}

} // namespace

class TestCookieStore : public QObject {
    Q_OBJECT

private slots:
    void domainMatches_data();
    void domainMatches();
    void httpDate_data();
    void httpDate();
    void domainAccepted_data();
    void domainAccepted();
    void sending_data();
    void sending();
    void headerNames();
    void expiry_data();
    void expiry();
    void expiredLineDeletesStored();
    void replyAndStoreLimits();
    void nameValueLimit();
    void headerStaysWithinBound();
};

void TestCookieStore::domainMatches_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("domain");
    QTest::addColumn<bool>("matches");

    QTest::newRow("equal, any case") << QByteArray("WWW.B.com") << QByteArray("www.b.COM") << true;
    QTest::newRow("subdomain of host") << QByteArray("x.b.com") << QByteArray("b.com") << true;
    QTest::newRow("substring only") << QByteArray("evilb.com") << QByteArray("b.com") << false;
    QTest::newRow("dot domain below") << QByteArray("y.x.b.com") << QByteArray(".b.com") << true;
    QTest::newRow("dot domain bare") << QByteArray("b.com") << QByteArray(".b.com") << false;
    QTest::newRow("dot domain inside")
        << QByteArray("x.b.com.evil") << QByteArray(".b.com") << false;
    QTest::newRow("ip exact") << QByteArray("10.0.0.1") << QByteArray("10.0.0.1") << true;
    QTest::newRow("ip dot tail") << QByteArray("10.0.0.1") << QByteArray(".0.0.1") << false;
    QTest::newRow("name under ip") << QByteArray("x.10.0.0.1") << QByteArray("10.0.0.1") << false;
    QTest::newRow("empty domain") << QByteArray("a.com.") << QByteArray() << false;
}

void TestCookieStore::domainMatches()
{
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, domain);
    QFETCH(bool, matches);
    QCOMPARE(orvane::http::domainMatches(host, domain), matches);
}

void TestCookieStore::httpDate_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime nov6(QDate(1994, 11, 6), QTime(8, 49, 37), Qt::UTC);
    QTest::newRow("rfc 1123") << QByteArray("Sun, 06 Nov 1994 08:49:37 GMT") << nov6;
    QTest::newRow("rfc 850") << QByteArray("Sunday, 06-Nov-94 08:49:37 GMT") << nov6;
    QTest::newRow("asctime") << QByteArray("Sun Nov  6 08:49:37 1994") << nov6;
    QTest::newRow("lower case") << QByteArray("sun, 06 nov 1994 08:49:37 gmt") << nov6;
    QTest::newRow("2-digit year after 2000")
        << QByteArray("Wed, 09-Jun-21 10:18:14 GMT")
        << QDateTime(QDate(2021, 6, 9), QTime(10, 18, 14), Qt::UTC);
    QTest::newRow("no such day") << QByteArray("Thu, 31 Feb 1994 08:49:37 GMT") << QDateTime();
    QTest::newRow("hour 24") << QByteArray("Sun, 06 Nov 1994 24:00:00 GMT") << QDateTime();
    QTest::newRow("no month") << QByteArray("06 1994 08:49:37") << QDateTime();
    QTest::newRow("year too early") << QByteArray("06 Nov 1200 08:49:37") << QDateTime();
}

void TestCookieStore::httpDate()
{
    QFETCH(QByteArray, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(parseHttpDate(text), expected);
}

void TestCookieStore::domainAccepted_data()
{
    QTest::addColumn<QByteArray>("host");
    QTest::addColumn<QByteArray>("domain");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("equal to host")
        << QByteArray("One.two.three") << QByteArray("one.TWO.three") << true;
    QTest::newRow("host from first dot")
        << QByteArray("one.two.three") << QByteArray(".two.three") << true;
    QTest::newRow("wider than first dot")
        << QByteArray("one.two.three") << QByteArray(".three") << false;
    QTest::newRow("parent without dot")
        << QByteArray("one.two.three") << QByteArray("two.three") << false;
    QTest::newRow("different site")
        << QByteArray("one.two.three") << QByteArray("other.site") << false;
    QTest::newRow("empty") << QByteArray("one.two.three") << QByteArray() << false;
    QTest::newRow("top-level domain") << QByteArray("b.com") << QByteArray(".com") << false;
    QTest::newRow("numeric domain") << QByteArray("a.0.0.1") << QByteArray(".0.0.1") << false;
    QTest::newRow("ip exact") << QByteArray("127.0.0.1") << QByteArray("127.0.0.1") << true;
    QTest::newRow("ip from first dot") << QByteArray("127.0.0.1") << QByteArray(".0.0.1") << false;
    QTest::newRow("other ip") << QByteArray("127.0.0.1") << QByteArray("127.0.0.2") << false;
}

void TestCookieStore::domainAccepted()
{
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, domain);
    QFETCH(bool, accepted);

    CookieStore store;
    store.storeFromReply(setCookies({"a=1; Domain=" + domain}), host, "/", kNow);
    QCOMPARE(store.count(), accepted ? 1 : 0);
}

void TestCookieStore::sending_data()
{
    QTest::addColumn<QByteArray>("replyHost");
    QTest::addColumn<QByteArray>("replyTarget");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("requestHost");
    QTest::addColumn<QByteArray>("requestTarget");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray host("one.two.three");
    const QByteArray login("/login/orvane.php?login=a/b&pass=c");
    const auto row = [&](const char *name, const QByteArrayList &lines, const QByteArray &to,
                         const QByteArray &target, const QByteArray &expected) {
        QTest::newRow(name) << host << login << lines << to << target << expected;
    };

    row("login page again", {"sid=1"}, host, login, "sid=1");
    row("default path not elsewhere", {"sid=1"}, host, "/other/x", "");
    QTest::newRow("default path without query")
        << host << QByteArray("/a/b.php?x=/c/d") << QByteArrayList{"sid=1"} << host
        << QByteArray("/a/x") << QByteArray("sid=1");
    QTest::newRow("default path of root document")
        << host << QByteArray("/x.php") << QByteArrayList{"sid=1"} << host
        << QByteArray("/any/where") << QByteArray("sid=1");
    row("path against directory", {"a=1; Path=/login/orvane.php"}, host, "/login/orvane.php", "");
    row("path directory needs slash", {"a=1; Path=/login/"}, host, "/login", "");
    row("query not in directory", {"a=1; Path=/q/"}, host, "/x?y=/q/", "");
    row("quoted path", {"a=1; Path=\"/login\""}, host, "/login/x", "a=1");
    row("attribute names any case", {"a=1; pATH=/only/"}, host, "/login/", "");
    row("replaced", {"a=1", "a=2"}, host, "/login/", "a=2");
    row("replaced across paths", {"a=1; Path=/x", "a=2; Path=/"}, host, "/x/y", "a=2");
    row("same name, two domains", {"a=1", "a=2; Domain=.two.three"}, host, "/login/", "a=1; a=2");
    row("secure never sent", {"a=1; Secure", "b=2"}, host, "/login/", "b=2");
    row("empty value never sent", {"a=", "b", "c=3"}, host, "/login/", "c=3");
    row("empty value replaces", {"a=1", "a="}, host, "/login/", "");
    row("nameless dropped", {"=1", " =2"}, host, "/login/", "");
    row("longer paths first", {"a=1; Path=/", "b=2; Path=/login/x", "c=3; Path=/login"}, host,
        "/login/x/y", "b=2; c=3; a=1");
    row("equal paths keep storing order", {"b=1; Path=/", "a=2; Path=/", "b=3; Path=/"}, host, "/",
        "b=3; a=2");
    row("blanks trimmed, = kept in value", {" a = x=y ;Path=/"}, host, "/", "a=x=y");
    row("control bytes dropped",
        {"a=1\r\nX-Injected: 1", "b\x01=2", "c=3\x7f", QByteArray("d=x\0y", 5), "e=\t4\t5", "f=6"},
        host, "/login/", "f=6");
    row("high bytes kept", {"a=\xc8\xe2"}, host, "/login/", "a=\xc8\xe2");

    // Whole labels only: a cookie of b.com is not one of every name ending in "b.com".
    const auto site = [&](const char *name, const QByteArray &line, const QByteArray &to,
                          const QByteArray &expected) {
        QTest::newRow(name) << QByteArray("b.com") << QByteArray("/") << QByteArrayList{line} << to
                            << QByteArray("/") << expected;
    };
    site("to its own host", "a=1", "b.com", "a=1");
    site("to a host below", "a=1", "x.b.com", "a=1");
    site("not to a name ending alike", "a=1", "evilb.com", "");
    site("Domain attribute, not to a name ending alike", "a=1; Domain=b.com", "evilb.com", "");
}

void TestCookieStore::sending()
{
    QFETCH(QByteArray, replyHost);
    QFETCH(QByteArray, replyTarget);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, requestHost);
    QFETCH(QByteArray, requestTarget);
    QFETCH(QByteArray, expected);

    CookieStore store;
    store.storeFromReply(setCookies(lines), replyHost, replyTarget, kNow);
    QCOMPARE(store.headerFor(requestHost, requestTarget, kNow), expected);
}

void TestCookieStore::headerNames()
{
    CookieStore store;
    store.storeFromReply({{"set-COOKIE", "a=1"},
                          {"Set-Cookie2", "b=2; Version=1; Port=\"80\"; Discard; CommentURL=x"},
                          {"X-Set-Cookie", "c=3"},
                          {"Cookie", "d=4"}},
                         "h", "/", kNow);
    QCOMPARE(store.headerFor("h", "/", kNow), QByteArray("a=1; b=2"));
}

void TestCookieStore::expiry_data()
{
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<int>("secondsLater");
    QTest::addColumn<bool>("sent");

    QTest::newRow("expires ahead")
        << QByteArray("Expires=Fri, 01 Mar 2024 12:00:10 GMT") << 9 << true;
    QTest::newRow("expires reached")
        << QByteArray("Expires=Fri, 01 Mar 2024 12:00:10 GMT") << 10 << false;
    QTest::newRow("max-age ahead") << QByteArray("Max-Age=60") << 59 << true;
    QTest::newRow("max-age reached") << QByteArray("max-age=60") << 60 << false;
    QTest::newRow("max-age zero") << QByteArray("Max-Age=0") << 0 << false;
    QTest::newRow("max-age negative") << QByteArray("Max-Age=-5") << 0 << false;
    QTest::newRow("expires before max-age")
        << QByteArray("Max-Age=3600; Expires=Thu, 29 Feb 2024 12:00:00 GMT") << 0 << false;
    QTest::newRow("bad expires ignored") << QByteArray("Expires=soon") << 100000000 << true;
    QTest::newRow("bad expires, max-age") << QByteArray("Expires=soon; Max-Age=5") << 5 << false;
    QTest::newRow("huge max-age") << QByteArray("Max-Age=99999999999999999999999") << 100000000
                                  << true;
}

void TestCookieStore::expiry()
{
    QFETCH(QByteArray, attributes);
    QFETCH(int, secondsLater);
    QFETCH(bool, sent);

    CookieStore store;
    store.storeFromReply(setCookies({"a=1; Path=/; " + attributes}), "h", "/", kNow);
    QCOMPARE(store.headerFor("h", "/", kNow.addSecs(secondsLater)),
             sent ? QByteArray("a=1") : QByteArray());
    QCOMPARE(store.count(), sent ? 1 : 0);
}

void TestCookieStore::expiredLineDeletesStored()
{
    CookieStore store;
    store.storeFromReply(setCookies({"a=1", "b=2"}), "h", "/", kNow);
    store.storeFromReply(setCookies({"a=x; Max-Age=0"}), "h", "/", kNow);
    QCOMPARE(store.count(), 1);
    QCOMPARE(store.headerFor("h", "/", kNow), QByteArray("b=2"));
}

void TestCookieStore::replyAndStoreLimits()
{
    const auto reply = [](int first) {
        QByteArrayList lines;
        for (int i = first; i < first + 60; ++i)
            lines.append("c" + QByteArray::number(i) + "=1");
        return setCookies(lines);
    };
    CookieStore store;
    store.storeFromReply(reply(0), "h", "/", kNow);
    QCOMPARE(store.count(), 50);
    store.storeFromReply(reply(100), "h", "/", kNow);
    store.storeFromReply(reply(200), "h", "/", kNow);
    QCOMPARE(store.count(), 150);

    // Full: a newcomer is dropped, a replacement still lands.
    store.storeFromReply(setCookies({"late=1; Path=/x", "c0=2; Path=/x"}), "h", "/", kNow);
    QCOMPARE(store.count(), 150);
    const QByteArray header = store.headerFor("h", "/x/", kNow);
    QVERIFY(header.startsWith("c0=2;"));
    QVERIFY(!header.contains("late"));

    // An expired cookie makes room.
    store.storeFromReply(setCookies({"c1=; Max-Age=0", "late=1; Path=/y"}), "h", "/", kNow);
    QVERIFY(store.headerFor("h", "/y/", kNow).startsWith("late=1;"));
}

void TestCookieStore::nameValueLimit()
{
    CookieStore store;
    store.storeFromReply(setCookies({sized("a", 4097), sized("b", 4098)}), "h", "/", kNow);
    QCOMPARE(store.headerFor("h", "/", kNow), sized("a", 4097));
}

void TestCookieStore::headerStaysWithinBound()
{
    CookieStore store({50, 150, 8192});
    store.storeFromReply(
        setCookies({sized("big", 5000) + "; Path=/p/q/", sized("over", 3200) + "; Path=/p/",
                    sized("fits", 3190) + "; Path=/p/", "s=1; Path=/"}),
        "h", "/", kNow);
    const QByteArray header = store.headerFor("h", "/p/q/", kNow);
    QCOMPARE(header.size(), kMaxCookieHeaderBytes);
    QCOMPARE(header, sized("big", 5000) + "; " + sized("fits", 3190));
}

QTEST_GUILESS_MAIN(TestCookieStore)
#include "test_cookie_store.moc"
