#include "tests/support/scripted_server.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>
#include <optional>

using namespace orvane::test;
using Delivery = Exchange::Delivery;
using Then = Exchange::Then;

Q_DECLARE_METATYPE(orvane::test::ConnectionScript)

namespace {

constexpr int kWaitMs = 10000;

QByteArray get(QByteArrayView target)
{
    return QByteArray("GET ") + target.toByteArray() +
           QByteArray(" HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: */*\r\n\r\n");
}

void connectTo(QTcpSocket &socket, const ScriptedServer &server)
{
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), server.port());
    QVERIFY(socket.waitForConnected(kWaitMs));
}

// In two writes, so that the server has to join the pieces.
void sendInTwo(QTcpSocket &socket, const QByteArray &request)
{
    const qsizetype half = request.size() / 2;
    for (const QByteArray &piece : {request.left(half), request.mid(half)}) {
        socket.write(piece);
        QVERIFY(socket.waitForBytesWritten(kWaitMs));
    }
}

QByteArray readUpTo(QTcpSocket &socket, qsizetype size, int *pieces = nullptr)
{
    QByteArray data;
    while (data.size() < size) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(kWaitMs))
            break;
        data += socket.read(size - data.size());
        if (pieces)
            ++*pieces;
    }
    return data;
}

bool seesEndOfStream(QTcpSocket &socket)
{
    return socket.state() == QAbstractSocket::UnconnectedState ||
           socket.waitForDisconnected(kWaitMs);
}

} // namespace

class TestScriptedServer : public QObject {
    Q_OBJECT

private slots:
    void playback_data();
    void playback();
    void connectionsFollowTheirOwnScripts();
    void partialRequestIsRecorded();
    void reportsClosedConnections();
};

void TestScriptedServer::playback_data()
{
    QTest::addColumn<ConnectionScript>("script");
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::addColumn<QList<QByteArray>>("replies"); // what the client gets for each request
    QTest::addColumn<bool>("closed");               // the server closes once the replies are out
    QTest::addColumn<int>("recorded");              // how many of the requests the server records

    const QByteArray r1("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nfirst");
    const QByteArray r2("HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n");
    const QByteArray q1 = get("/login/orvane.php?login=a b&pass=\xc8\xe2#");
    const QByteArray q2 = get("/x");
    const QByteArray large(16 * 1024 * 1024, 'z');

    QTest::newRow("whole, close") << ConnectionScript{{r1, Delivery::Whole, -1, Then::Close}}
                                  << QList{q1} << QList{r1} << true << 1;
    QTest::newRow("dribble, close") << ConnectionScript{{r1, Delivery::Dribble, -1, Then::Close}}
                                    << QList{q1} << QList{r1} << true << 1;
    Exchange tail{r1, Delivery::Dribble, -1, Then::Close};
    tail.dribbleFrom = r1.size() - 3;
    tail.dribblePauseMs = 5;
    QTest::newRow("dribble after a whole part")
        << ConnectionScript{tail} << QList{q1} << QList{r1} << true << 1;
    QTest::newRow("cut") << ConnectionScript{{r1, Delivery::Whole, 20, Then::KeepOpen}} << QList{q1}
                         << QList{r1.left(20)} << true << 1;
    QTest::newRow("dribble, cut") << ConnectionScript{{r1, Delivery::Dribble, 7, Then::Stall}}
                                  << QList{q1} << QList{r1.left(7)} << true << 1;
    QTest::newRow("cut before any byte") << ConnectionScript{{r1, Delivery::Whole, 0}} << QList{q1}
                                         << QList{QByteArray()} << true << 1;
    QTest::newRow("keep open, next request")
        << ConnectionScript{{r1}, {r2, Delivery::Whole, -1, Then::Close}} << QList{q1, q2}
        << QList{r1, r2} << true << 2;
    QTest::newRow("script used up")
        << ConnectionScript{{r1}} << QList{q1, q2} << QList{r1, QByteArray()} << true << 2;
    QTest::newRow("stall ignores later requests")
        << ConnectionScript{{r1, Delivery::Whole, -1, Then::Stall}} << QList{q1, q2}
        << QList{r1, QByteArray()} << false << 1;
    QTest::newRow("never answers") << ConnectionScript{{{}, Delivery::Whole, -1, Then::Stall}}
                                   << QList{q1} << QList{QByteArray()} << false << 1;
    QTest::newRow("large reply") << ConnectionScript{{large, Delivery::Whole, -1, Then::Close}}
                                 << QList{q1} << QList{large} << true << 1;
}

void TestScriptedServer::playback()
{
    QFETCH(ConnectionScript, script);
    QFETCH(QList<QByteArray>, sent);
    QFETCH(QList<QByteArray>, replies);
    QFETCH(bool, closed);
    QFETCH(int, recorded);

    std::optional<ScriptedServer> server(std::in_place, QList<ConnectionScript>{script});
    QTcpSocket socket;
    connectTo(socket, *server);
    for (qsizetype i = 0; i < sent.size(); ++i) {
        sendInTwo(socket, sent[i]);
        int pieces = 0;
        QCOMPARE(readUpTo(socket, replies[i].size(), &pieces), replies[i]);
        if (script.value(i).delivery == Delivery::Dribble)
            QVERIFY2(pieces > 1, "a dribbled reply arrived in one piece");
    }
    // An empty reply gives the client nothing to wait for, so the recording may still lag.
    QTRY_COMPARE(server->requests(), sent.first(recorded));

    if (closed) {
        QVERIFY(seesEndOfStream(socket));
        QCOMPARE(socket.bytesAvailable(), 0);
    } else {
        QVERIFY(!socket.waitForReadyRead(100));
        QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
        server.reset(); // must not wait for the client to let go
        QVERIFY(seesEndOfStream(socket));
    }
}

void TestScriptedServer::connectionsFollowTheirOwnScripts()
{
    const QByteArray r1("one"), r2("two");
    ScriptedServer server(
        {{{r1, Delivery::Whole, -1, Then::Stall}}, {{r2, Delivery::Whole, -1, Then::Close}}});
    QCOMPARE(server.authority(), "127.0.0.1:" + QByteArray::number(server.port()));

    QTcpSocket first, second, third;
    connectTo(first, server);
    sendInTwo(first, get("/1"));
    QCOMPARE(readUpTo(first, r1.size()), r1);

    // Served while the first connection is still held open.
    connectTo(second, server);
    sendInTwo(second, get("/2"));
    QCOMPARE(readUpTo(second, r2.size()), r2);
    QVERIFY(seesEndOfStream(second));

    connectTo(third, server);
    QVERIFY(seesEndOfStream(third));
    QCOMPARE(third.bytesAvailable(), 0);

    QCOMPARE(server.connectionsAccepted(), 3);
    QCOMPARE(server.requests(), (QList{get("/1"), get("/2")}));
}

void TestScriptedServer::partialRequestIsRecorded()
{
    const QByteArray partial("GET /x HTTP/1.1\r\nHost: 1");
    ScriptedServer server({{{QByteArray("unused")}}, {{QByteArray("unused")}}});

    QTcpSocket silent, cut;
    connectTo(silent, server);
    silent.disconnectFromHost();
    connectTo(cut, server);
    cut.write(partial);
    QVERIFY(cut.waitForBytesWritten(kWaitMs));
    cut.disconnectFromHost();

    QTRY_COMPARE(server.requests(), QList{partial});
}

void TestScriptedServer::reportsClosedConnections()
{
    const QByteArray r1("one");
    ScriptedServer server(
        {{{r1, Delivery::Whole, -1, Then::Close}}, {{r1, Delivery::Whole, -1, Then::Stall}}});
    QTcpSocket closing, stalled, extra;
    for (QTcpSocket *socket : {&closing, &stalled}) {
        connectTo(*socket, server);
        sendInTwo(*socket, get("/"));
        QCOMPARE(readUpTo(*socket, r1.size()), r1);
    }
    connectTo(extra, server); // beyond the scripts: closed at once

    QVERIFY(server.waitForClosed(0));
    QVERIFY(server.waitForClosed(2));
    QVERIFY(!server.waitForClosed(1, std::chrono::milliseconds(100)));
    stalled.disconnectFromHost();
    QVERIFY(server.waitForClosed(1));
    QVERIFY(!server.waitForClosed(3, std::chrono::milliseconds(0)));
}

QTEST_GUILESS_MAIN(TestScriptedServer)
#include "test_scripted_server.moc"
