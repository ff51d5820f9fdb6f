#pragma once

#include <QByteArray>
#include <QList>
#include <chrono>
#include <memory>

namespace orvane::test {

// What the server does for one request that arrives on a connection.
struct Exchange {
    enum class Delivery { Whole, Dribble };
    enum class Then { KeepOpen, Close, Stall };

    QByteArray reply;                    // bytes played back once the whole request has arrived
    Delivery delivery = Delivery::Whole; // Dribble: one byte per write, with a pause between
    qsizetype cutAfter = -1;             // close after this many reply bytes (-1: send them all)
    Then then = Then::KeepOpen;          // after the reply: wait for the next request, close, or
                                         // hold the connection open and send nothing more
    qsizetype dribbleFrom = 0;           // Dribble: the bytes before this go in one write
    int dribblePauseMs = 1;              // Dribble: the pause between two bytes
};

// One accepted connection's script: its exchanges in order. A connection whose
// script is used up is closed when the client sends another request.
using ConnectionScript = QList<Exchange>;

// A loopback HTTP peer that plays back exact bytes and records the exact bytes
// of every request. It runs on a thread of its own, so blocking clients can
// talk to it from the test's thread.
class ScriptedServer {
public:
    // The n-th accepted connection follows scripts[n]; further connections are
    // accepted and closed at once.
    explicit ScriptedServer(QList<ConnectionScript> scripts);
    ~ScriptedServer();

    ScriptedServer(const ScriptedServer &) = delete;
    ScriptedServer &operator=(const ScriptedServer &) = delete;

    quint16 port() const;
    QByteArray authority() const;       // "127.0.0.1:<port>"
    QList<QByteArray> requests() const; // every request's bytes, in order of arrival
    int connectionsAccepted() const;
    // Blocks until the server has closed the `connection`-th accepted
    // connection (from 0), on its script's orders or because the client
    // closed it; false when `timeout` passes first.
    bool waitForClosed(int connection,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace orvane::test
