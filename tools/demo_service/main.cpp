// The demo forecast service: serves the version file and the login request on
// loopback, so the client can be tried without the real service.
#include "tools/demo_service/demo_http.h"
#include "tools/demo_service/demo_reply.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <orvane/build_config.h>

using namespace orvane::demo;

namespace {

// Unanswered replies beyond this stop the reading of further requests until
// the peer has taken them.
constexpr qint64 kWriteBacklog = 256 * 1024;
constexpr int kIdleMs = 120'000;
constexpr int kLingerMs = 1'000;

// One accepted connection; deletes itself when the peer goes.
class Connection : public QObject {
public:
    Connection(QTcpSocket *socket, int forecasts, QFile *requestLog, QObject *parent)
        : QObject(parent), m_socket(socket), m_forecasts(forecasts), m_requestLog(requestLog)
    {
        m_socket->setParent(this);
        m_socket->setReadBufferSize(2 * kMaxHeadBytes);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &Connection::timedOut);
        connect(m_socket, &QTcpSocket::readyRead, this, &Connection::serve);
        connect(m_socket, &QTcpSocket::bytesWritten, this, &Connection::serve);
        connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        serve();
    }

private:
    void serve()
    {
        if (m_lingering) {
            m_socket->readAll();
            return;
        }
        m_timer.start(kIdleMs);
        while (!m_closing && m_socket->state() == QAbstractSocket::ConnectedState &&
               m_socket->bytesToWrite() <= kWriteBacklog) {
            const HeadRead read = readRequestHead(m_buffer);
            switch (read.status) {
            case HeadRead::Incomplete:
                if (m_socket->bytesAvailable() == 0)
                    return;
                m_buffer += m_socket->read(kMaxHeadBytes + 1 - m_buffer.size());
                break;
            case HeadRead::Malformed:
                m_socket->write(serialize({400, "text/plain", "Bad Request\n"}, true));
                linger();
                return;
            case HeadRead::TooLarge:
                m_socket->write(
                    serialize({431, "text/plain", "Request Header Fields Too Large\n"}, true));
                linger();
                return;
            case HeadRead::Complete: {
                if (m_requestLog) {
                    m_requestLog->write(m_buffer.first(read.length));
                    m_requestLog->flush();
                }
                m_buffer.remove(0, read.length);
                const RequestHead &head = read.head;
                const bool close = !head.keepAlive || head.hasBody;
                m_socket->write(
                    serialize(answerRequest(head, m_forecasts), close, head.method == "HEAD"));
                if (head.hasBody) {
                    linger();
                    return;
                }
                if (close) {
                    m_closing = true;
                    m_socket->disconnectFromHost();
                }
                break;
            }
            }
        }
    }

    // Closing with unread input would reset the connection and could destroy
    // the error reply before the peer reads it; so input is read and dropped
    // until the peer closes, or for a moment.
    void linger()
    {
        m_lingering = true;
        m_buffer.clear();
        m_socket->readAll();
        m_timer.start(kLingerMs);
    }

    void timedOut()
    {
        if (m_socket->bytesToWrite() > 0)
            m_socket->abort();
        else
            m_socket->disconnectFromHost();
    }

    QTcpSocket *m_socket;
    int m_forecasts;
    QFile *m_requestLog;
    QByteArray m_buffer;
    QTimer m_timer;
    bool m_closing = false;
    bool m_lingering = false;
};

int fail(const QString &message)
{
    std::fprintf(stderr, "orvane-demo-service: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane-demo-service"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Demo forecast service for the Orvane client, on loopback only."));
    parser.addHelpOption();
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Listen on HOST:PORT (a loopback address; port 0 picks a free one) in "
                       "place of the build's service host %1.")
            .arg(QString::fromLatin1(orvane::build::kServiceHost)),
        QStringLiteral("HOST:PORT"));
    parser.addOption(listen);
    const QCommandLineOption requestLog(
        QStringLiteral("request-log"),
        QStringLiteral("Append the head of every request, byte for byte as received, to FILE."),
        QStringLiteral("FILE"));
    parser.addOption(requestLog);
    const QCommandLineOption forecasts(
        QStringLiteral("forecasts"),
        QStringLiteral("Answer the demo login with N forecasts (default %1), for benchmarks.")
            .arg(kDefaultForecasts),
        QStringLiteral("N"), QString::number(kDefaultForecasts));
    parser.addOption(forecasts);
    parser.process(app);

    bool countOk = false;
    const int count = parser.value(forecasts).toInt(&countOk);
    if (!countOk || count < 0)
        return fail(
            QStringLiteral("\"%1\" is not a number of forecasts").arg(parser.value(forecasts)));

    const QByteArray authority = parser.isSet(listen) ? parser.value(listen).toLatin1()
                                                      : QByteArray(orvane::build::kServiceHost);
    const std::optional<Endpoint> endpoint = parseEndpoint(authority);
    if (!endpoint)
        return fail(QStringLiteral("\"%1\" is not HOST:PORT with an IP address")
                        .arg(QString::fromLatin1(authority)));
    // A demo that accepts any login must not be reachable from other machines.
    if (!endpoint->address.isLoopback())
        return fail(QStringLiteral("refusing to listen on %1: not a loopback address")
                        .arg(endpoint->address.toString()));
    if (forecastReply(count).isEmpty())
        return fail(QStringLiteral("this Qt cannot encode Windows-1251 (it needs ICU)"));

    QFile log;
    if (parser.isSet(requestLog)) {
        log.setFileName(parser.value(requestLog));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            return fail(QStringLiteral("cannot open the request log: %1").arg(log.errorString()));
    }

    QTcpServer server;
    if (!server.listen(endpoint->address, endpoint->port))
        return fail(QStringLiteral("cannot listen on %1: %2")
                        .arg(QString::fromLatin1(authority), server.errorString()));
    QFile *const logFile = log.isOpen() ? &log : nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, count, logFile] {
        while (QTcpSocket *socket = server.nextPendingConnection())
            new Connection(socket, count, logFile, &server);
    });

    QString host = server.serverAddress().toString();
    if (server.serverAddress().protocol() == QAbstractSocket::IPv6Protocol)
        host = u'[' + host + u']';
    std::printf("demo login: %s  password: %s\n", kLogin, kPassword);
    std::printf("listening on %s:%u\n", qPrintable(host), unsigned(server.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
