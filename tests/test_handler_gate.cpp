#include "app/handler_gate.h"

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <optional>

using namespace orvane;
using namespace Qt::Literals::StringLiterals;

namespace {

// A window's worth of handlers around one gate: "A" waits (or not) and does
// the row's actions meanwhile; "B" and "C" only note that they ran.
struct Handlers {
    QObject context;
    int closes = 0;
    int abandons = 0;
    HandlerGate gate{&context, [this] { ++closes; },
                     [this] {
                         ++abandons;
                     }};
    QStringList log;
    QList<bool> allowed; // what each close request was answered
    bool abandonedAfterWait = false;

    void simple(const QString &name)
    {
        const HandlerGate::Running running(gate, [this, name] { simple(name); });
        if (!running)
            return;
        log << name;
    }

    void a(const QString &wait, const QStringList &actions)
    {
        const HandlerGate::Running running(gate, [this, wait, actions] { a(wait, actions); });
        if (!running)
            return;
        log << u"A begins"_s;
        {
            std::optional<HandlerGate::Waiting> waiting;
            if (wait == u"dialog")
                waiting.emplace(gate, HandlerGate::Wait::Dialog);
            else if (wait == u"network")
                waiting.emplace(gate, HandlerGate::Wait::Network);
            for (const QString &action : actions) {
                if (action == u"close")
                    allowed << gate.allowClose();
                else
                    simple(action);
            }
        }
        abandonedAfterWait = gate.abandoned();
        log << u"A ends"_s;
    }
};

} // namespace

class TestHandlerGate : public QObject {
    Q_OBJECT

private slots:
    void duringAHandler_data();
    void duringAHandler();
    void closeWithNoHandlerRunning();
};

void TestHandlerGate::duringAHandler_data()
{
    QTest::addColumn<QString>(
        "wait"); // what A waits for while the actions happen: none, dialog, network
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("log"); // once the queued handlers have run
    QTest::addColumn<QList<bool>>("allowed");
    QTest::addColumn<int>("abandons");
    QTest::addColumn<bool>("abandonedAfterWait");
    QTest::addColumn<int>("closes"); // put-off closes carried out after A

    const QStringList aOnly{u"A begins"_s, u"A ends"_s};
    QTest::newRow("called from a handler, not waiting: at once")
        << u"none"_s << QStringList{u"B"_s} << QStringList{u"A begins"_s, u"B"_s, u"A ends"_s}
        << QList<bool>() << 0 << false << 0;
    QTest::newRow("called during a dialog: after A, in order")
        << u"dialog"_s << QStringList{u"B"_s, u"C"_s}
        << QStringList{u"A begins"_s, u"A ends"_s, u"B"_s, u"C"_s} << QList<bool>() << 0 << false
        << 0;
    QTest::newRow("called during a network wait: after A")
        << u"network"_s << QStringList{u"B"_s} << QStringList{u"A begins"_s, u"A ends"_s, u"B"_s}
        << QList<bool>() << 0 << false << 0;
    QTest::newRow("close from the handler itself: once it has returned")
        << u"none"_s << QStringList{u"close"_s} << aOnly << QList<bool>{false} << 0 << false << 1;
    QTest::newRow("close during a dialog: once A has returned")
        << u"dialog"_s << QStringList{u"close"_s} << aOnly << QList<bool>{false} << 0 << false << 1;
    QTest::newRow("close during a network wait: at once, the call abandoned")
        << u"network"_s << QStringList{u"close"_s} << aOnly << QList<bool>{true} << 1 << true << 0;
    QTest::newRow("a click before a put-off close is dropped")
        << u"dialog"_s << QStringList{u"B"_s, u"close"_s} << aOnly << QList<bool>{false} << 0
        << false << 1;
    QTest::newRow("a click around an abandon is dropped")
        << u"network"_s << QStringList{u"B"_s, u"close"_s, u"C"_s} << aOnly << QList<bool>{true}
        << 1 << true << 0;
}

void TestHandlerGate::duringAHandler()
{
    QFETCH(QString, wait);
    QFETCH(QStringList, actions);
    QFETCH(QStringList, log);
    QFETCH(QList<bool>, allowed);
    QFETCH(int, abandons);
    QFETCH(bool, abandonedAfterWait);
    QFETCH(int, closes);

    Handlers handlers;
    handlers.a(wait, actions);
    QCoreApplication::processEvents();

    QCOMPARE(handlers.log, log);
    QCOMPARE(handlers.allowed, allowed);
    QCOMPARE(handlers.abandons, abandons);
    QCOMPARE(handlers.abandonedAfterWait, abandonedAfterWait);
    QCOMPARE(handlers.closes, closes);
    // The next handler starts afresh.
    QVERIFY(!handlers.gate.abandoned());
    QCOMPARE(handlers.gate.allowClose(), true);
}

void TestHandlerGate::closeWithNoHandlerRunning()
{
    Handlers handlers;
    QVERIFY(handlers.gate.allowClose());
    handlers.simple(u"B"_s);
    QCOMPARE(handlers.log, QStringList{u"B"_s});
    QCOMPARE(handlers.closes, 0);
    QCOMPARE(handlers.abandons, 0);
}

QTEST_GUILESS_MAIN(TestHandlerGate)
#include "test_handler_gate.moc"
