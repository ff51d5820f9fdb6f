#include "service/forecast_reply.h"
#include "service/login_address.h"
#include "service/tag_value.h"

#include <QTest>

using namespace orvane;

class TestForecastReply : public QObject {
    Q_OBJECT

private slots:
    void loginAddress_data();
    void loginAddress();
    void tagValue_data();
    void tagValue();
    void reply_data();
    void reply();
    void matchFields();
    void unclosedForecastsShareLaterFields();
    void manyUnclosedForecastsStayLinear();
};

void TestForecastReply::loginAddress_data()
{
    QTest::addColumn<QByteArray>("login");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("plain") << QByteArray("user") << QByteArray("secret")
                           << QByteArray("http://h:1/login/orvane.php?login=user&pass=secret");
    QTest::newRow("empty") << QByteArray() << QByteArray()
                           << QByteArray("http://h:1/login/orvane.php?login=&pass=");
    QTest::newRow("raw bytes") << QByteArray("a b&c") << QByteArray("p#\\\xc8\xe2")
                               << QByteArray(
                                      "http://h:1/login/orvane.php?login=a b&c&pass=p#\\\xc8\xe2");
}

void TestForecastReply::loginAddress()
{
    QFETCH(QByteArray, login);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, expected);
    QCOMPARE(orvane::loginAddress({login, password}, "h:1"), expected);
    QCOMPARE(versionFileAddress("h:1"), QByteArray("http://h:1/refresh/orvane5.txt"));
}

void TestForecastReply::tagValue_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("simple") << QByteArray("x<a>1</a>y") << QByteArray("a") << QByteArray("1");
    QTest::newRow("kept as is") << QByteArray("<a> 1\r\n</a>") << QByteArray("a")
                                << QByteArray(" 1\r\n");
    QTest::newRow("first of two") << QByteArray("<a>1</a><a>2</a>") << QByteArray("a")
                                  << QByteArray("1");
    QTest::newRow("nesting not paired")
        << QByteArray("<a>1<a>2</a>3</a>") << QByteArray("a") << QByteArray("1<a>2");
    QTest::newRow("no open") << QByteArray("a>1</a>") << QByteArray("a") << QByteArray();
    QTest::newRow("no close") << QByteArray("<a>1") << QByteArray("a") << QByteArray();
    QTest::newRow("close before open") << QByteArray("</a><a>1") << QByteArray("a") << QByteArray();
    QTest::newRow("case-sensitive") << QByteArray("<A>1</A>") << QByteArray("a") << QByteArray();
    QTest::newRow("attributes not found")
        << QByteArray("<a x>1</a>") << QByteArray("a") << QByteArray();
    QTest::newRow("longer name") << QByteArray("<ab>1</ab><a>2</a>") << QByteArray("a")
                                 << QByteArray("2");
    QTest::newRow("overlapping lt")
        << QByteArray("<<a>>1</a>") << QByteArray("a") << QByteArray(">1");
    QTest::newRow("empty value") << QByteArray("<a></a>") << QByteArray("a") << QByteArray();
    QTest::newRow("tag at end") << QByteArray("<a>") << QByteArray("a") << QByteArray();
}

void TestForecastReply::tagValue()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, expected);
    QCOMPARE(TagValue(text, name), expected);
}

void TestForecastReply::reply_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QByteArray>("profit");
    QTest::addColumn<bool>("hasForecasts");
    QTest::addColumn<QByteArrayList>("ids");

    const QByteArray head = "<PODPISKA>VIP till 01.01</PODPISKA><profit>120</profit>";
    QTest::newRow("two forecasts")
        << head + "<match><id>1</id></match><match n=\"2\"><id>2</id></match>" << false
        << QByteArray("VIP till 01.01") << QByteArray("120") << true << QByteArrayList{"1", "2"};
    QTest::newRow("no forecast") << head << false << QByteArray("VIP till 01.01")
                                 << QByteArray("120") << false << QByteArrayList{};
    QTest::newRow("refused") << QByteArray("<PODPISKA>x</PODPISKA>Login Failed") << true
                             << QByteArray() << QByteArray() << false << QByteArrayList{};
    QTest::newRow("Fail alone is not refused here")
        << QByteArray("<PODPISKA>Fail</PODPISKA>") << false << QByteArray("Fail") << QByteArray()
        << false << QByteArrayList{};
    QTest::newRow("title cut at first lt")
        << QByteArray("<PODPISKA>a<b>c</PODPISKA>") << false << QByteArray("a") << QByteArray()
        << false << QByteArrayList{};
    QTest::newRow("title without any lt") << QByteArray("<PODPISKA>abc") << false << QByteArray()
                                          << QByteArray() << false << QByteArrayList{};
    QTest::newRow("before subscription not seen")
        << QByteArray("<profit>5</profit><match><id>0</id></match><PODPISKA>t</PODPISKA>") << false
        << QByteArray("t") << QByteArray() << false << QByteArrayList{};
    QTest::newRow("no subscription tag")
        << QByteArray("<profit>5</profit><match><id>1</id></match>") << false << QByteArray()
        << QByteArray() << false << QByteArrayList{};
    QTest::newRow("empty reply") << QByteArray() << false << QByteArray() << QByteArray() << false
                                 << QByteArrayList{};
    QTest::newRow("names that begin with match")
        << head + "<matches><id>7</id></match><matchday>" << false << QByteArray("VIP till 01.01")
        << QByteArray("120") << true << QByteArrayList{"7", ""};
    QTest::newRow("closing tag is no forecast")
        << head + "</match></match>" << false << QByteArray("VIP till 01.01") << QByteArray("120")
        << false << QByteArrayList{};
    QTest::newRow("other letter case")
        << head + "<Match><id>1</id></Match><match><ID>2</ID></match>" << false
        << QByteArray("VIP till 01.01") << QByteArray("120") << true << QByteArrayList{""};
    QTest::newRow("last without close")
        << head + "<match><id>1</id></match><match><id>2</id>" << false
        << QByteArray("VIP till 01.01") << QByteArray("120") << true << QByteArrayList{"1", ""};
    QTest::newRow("cut in the tag") << head + "<matc" << false << QByteArray("VIP till 01.01")
                                    << QByteArray("120") << false << QByteArrayList{};
}

void TestForecastReply::reply()
{
    QFETCH(QByteArray, reply);
    const ForecastReply read = readForecastReply(reply);
    QTEST(read.refused, "refused");
    QTEST(read.title, "title");
    QTEST(read.profit, "profit");
    QTEST(read.hasForecasts, "hasForecasts");
    QByteArrayList ids;
    for (const MatchRecord &match : read.matches)
        ids.append(match.id().toByteArray());
    QTEST(ids, "ids");
}

void TestForecastReply::matchFields()
{
    const QByteArray reply =
        "<PODPISKA>t</PODPISKA><match><musum>-7</musum><orvane>Ann</orvane><liga>\t Spain. Liga "
        "\r\n"
        "</liga><score>2:1</score><bet> 1X </bet><itog>+</itog><kf>1.85</kf><away>\x01 "
        "Real\x20</away>"
        "<home> \xc4\xe8\xed\xe0\xec\xee </home><time>19:00</time><date>01.02</date><id> 5</id>"
        "<id>6</id></match>";
    const ForecastReply read = readForecastReply(reply);
    QCOMPARE(read.matches.size(), 1);
    const MatchRecord &m = read.matches.front();
    const MatchRecord expected =
        MatchRecord::fromValues({" 5", "01.02", "19:00", "\xc4\xe8\xed\xe0\xec\xee", "Real", "1.85",
                                 "+", " 1X ", "2:1", "Spain. Liga", "Ann", "-7"});
    QCOMPARE(m, expected);
}

void TestForecastReply::unclosedForecastsShareLaterFields()
{
    // A forecast without its closing tag runs on into the next one.
    const QByteArray reply = "<PODPISKA>t</PODPISKA>"
                             "<match><id>1</id>"
                             "<match><id>2</id><kf>3.1</kf></match>"
                             "<match><kf>9</kf></match>";
    const ForecastReply read = readForecastReply(reply);
    QCOMPARE(read.matches.size(), 3);
    QCOMPARE(read.matches[0].id().toByteArray(), QByteArray("1"));
    QCOMPARE(read.matches[0].kf().toByteArray(), QByteArray("3.1"));
    QCOMPARE(read.matches[1].id().toByteArray(), QByteArray("2"));
    QCOMPARE(read.matches[1].kf().toByteArray(), QByteArray("3.1"));
    QCOMPARE(read.matches[2].id().toByteArray(), QByteArray());
    QCOMPARE(read.matches[2].kf().toByteArray(), QByteArray("9"));
}

void TestForecastReply::manyUnclosedForecastsStayLinear()
{
    // Every forecast reaches the same long value: they must share it, not copy it.
    QByteArray reply = "<PODPISKA>t</PODPISKA>";
    reply += QByteArray("<match").repeated(20000);
    reply += "<home>" + QByteArray(1 << 20, 'x') + "</home></match>";
    const ForecastReply read = readForecastReply(reply);
    QCOMPARE(read.matches.size(), 20000);
    QCOMPARE(read.matches.back().home().size(), 1 << 20);
    QCOMPARE(read.matches.front().home(), read.matches.back().home());
    QVERIFY(read.matches.front().sharedText() == read.matches.back().sharedText());
}

QTEST_GUILESS_MAIN(TestForecastReply)
#include "test_forecast_reply.moc"
