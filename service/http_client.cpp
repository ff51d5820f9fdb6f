#include "http_client.h"

#include "http_location.h"
#include "http_request.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpSocket>

namespace orvane::http {

namespace {

constexpr qsizetype kReadBlock = 256 * 1024;

bool isBasicChallenge(const HeaderList &headers)
{
    for (const HeaderField &field : headers) {
        if (QByteArrayView(field.name).compare("WWW-Authenticate", Qt::CaseInsensitive) != 0)
            continue;
        QByteArrayView scheme = field.value;
        if (const qsizetype blank = scheme.indexOf(' '); blank >= 0)
            scheme = scheme.first(blank);
        if (const qsizetype tab = scheme.indexOf('\t'); tab >= 0)
            scheme = scheme.first(tab);
        if (scheme.compare("Basic", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

HttpFailure failure(QString reason)
{
    return {0, {}, std::move(reason)};
}

HttpFailure failure(const ReplyReader &reader, QString reason)
{
    if (!reader.hasStatus())
        return failure(std::move(reason));
    return {reader.statusCode(), reader.statusLine(), std::move(reason)};
}

} // namespace

HttpClient::HttpClient(HttpSettings settings)
    : m_settings(settings), m_cookies(settings.cookieLimits)
{
}

HttpClient::~HttpClient()
{
    close();
}

bool HttpClient::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void HttpClient::close()
{
    if (m_socket)
        m_socket->abort();
    m_socket.reset();
    m_bufferPos = m_bufferEnd = 0;
}

bool HttpClient::connect(const Url &url, QString &reason)
{
    if (m_socket && (m_host != url.host || m_port != url.port))
        close();
    // Reuse only a connection that stays quiet: anything readable now is
    // either the server's close or stray bytes that would pass for a reply.
    if (isConnected() && m_bufferPos == m_bufferEnd &&
        !m_socket->waitForReadyRead(int(m_settings.reuseProbe.count())) && isConnected())
        return true;
    close();

    m_socket = std::make_unique<QTcpSocket>();
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // Unbuffered: reads go from the kernel straight to where the bytes belong.
    m_socket->connectToHost(QString::fromLatin1(connectHost(url.host)), url.port,
                            QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (!m_socket->waitForConnected(int(m_settings.connectTimeout.count()))) {
        reason = QStringLiteral("cannot connect to %1:%2: %3")
                     .arg(QString::fromLatin1(url.host))
                     .arg(url.port)
                     .arg(m_socket->errorString());
        close();
        return false;
    }
    m_host = url.host;
    m_port = url.port;
    return true;
}

bool HttpClient::send(const QByteArray &request)
{
    if (m_socket->write(request) != request.size())
        return false;
    while (m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(int(m_settings.silenceTimeout.count())))
            return false;
    }
    return true;
}

// Feeds the reader from the connection until it needs a decision, is done or
// has failed, or the stream ends. False when the server went silent too long
// or `total` ran out.
bool HttpClient::pump(ReplyReader &reader, std::optional<std::chrono::milliseconds> total)
{
    const QDeadlineTimer deadline = total ? QDeadlineTimer(*total) : QDeadlineTimer::Forever;
    while (!reader.atEnd() && reader.state() != ReplyReader::State::HeadersDone) {
        if (m_bufferPos < m_bufferEnd) {
            m_bufferPos += reader.feed(
                QByteArrayView(m_buffer).sliced(m_bufferPos, m_bufferEnd - m_bufferPos));
            continue;
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            reader.finish();
            break;
        }
        // A body of known length goes straight into place.
        const std::span<char> space = reader.bodySpace();
        if (m_buffer.size() < kReadBlock)
            m_buffer.resize(kReadBlock);
        const qint64 n =
            space.empty()
                ? m_socket->read(m_buffer.data(), kReadBlock)
                : m_socket->read(space.data(), std::min<qint64>(qint64(space.size()), kReadBlock));
        if (n > 0) {
            if (space.empty()) {
                m_bufferPos = 0;
                m_bufferEnd = qsizetype(n);
            } else {
                reader.commitBody(qsizetype(n));
            }
            continue;
        }
        if (n < 0) { // closed or reset
            reader.finish();
            break;
        }
        std::chrono::milliseconds wait = m_settings.silenceTimeout;
        if (total)
            wait = std::min(wait, std::chrono::duration_cast<std::chrono::milliseconds>(
                                      deadline.remainingTimeAsDuration()));
        if (wait.count() <= 0)
            return false;
        if (!m_socket->waitForReadyRead(int(wait.count())) &&
            m_socket->state() == QAbstractSocket::ConnectedState)
            return false;
    }
    return true;
}

void HttpClient::drainBody(ReplyReader &reader, std::chrono::milliseconds wait)
{
    reader.readBody(ReplyReader::BodyMode::Discard);
    pump(reader, wait);
}

// Keeps the connection only when the reply allows it and was read to its end
// with nothing after it.
void HttpClient::endReply(const ReplyReader &reader)
{
    const bool keep = reader.state() == ReplyReader::State::Done && !reader.ended() &&
                      !wantsClose(reader.headers()) && isConnected() &&
                      m_bufferPos == m_bufferEnd && m_socket->bytesAvailable() == 0;
    if (!keep)
        close();
}

std::optional<HttpFailure> HttpClient::getText(QByteArrayView url, QByteArray &text)
{
    QByteArray current = url.toByteArray();
    const int maximum = std::max(1, m_settings.redirectMaximum);
    for (int requests = 1;; ++requests) {
        const Url target = splitUrl(current, m_stickyPort != 0 ? m_stickyPort : 80);
        if (!target.ok())
            return failure(target.error);
        QString reason;
        if (!connect(target, reason))
            return failure(reason);

        const QByteArray cookie =
            m_cookies.headerFor(target.host, target.target, QDateTime::currentDateTimeUtc());
        if (!send(buildGetRequest(target, m_basicAuth, cookie))) {
            close();
            return failure(QStringLiteral("connection lost while sending the request"));
        }

        ReplyReader reader(m_settings.limits);
        if (!pump(reader, std::nullopt)) {
            close();
            return failure(reader, QStringLiteral("no reply for %1 ms")
                                       .arg(qint64(m_settings.silenceTimeout.count())));
        }
        if (reader.state() == ReplyReader::State::Failed) {
            close();
            return failure(reader, reader.error());
        }

        m_cookies.storeFromReply(reader.headers(), target.host, target.target,
                                 QDateTime::currentDateTimeUtc());
        const int status = reader.statusCode();
        if (status == 401 && isBasicChallenge(reader.headers()))
            m_basicAuth = true;

        // An empty Location leads nowhere; the reply is judged by its status.
        const QByteArray location = reader.header("Location");
        if (!location.isEmpty()) {
            drainBody(reader, m_settings.redirectBodyWait);
            endReply(reader);
            if (requests >= maximum)
                return std::nullopt;
            current = resolveLocation(current, location);
            const Url next = splitUrl(current, m_stickyPort != 0 ? m_stickyPort : 80);
            if (next.ok() && next.explicitPort && next.port != 80 && next.port != 443)
                m_stickyPort = next.port;
            continue;
        }

        if (status >= 200 && status <= 299) {
            if (reader.headersCut()) {
                close();
                return failure(reader, QStringLiteral("connection closed inside the headers"));
            }
            if (status == 204) {
                reader.skipBody();
                endReply(reader);
                return std::nullopt;
            }
            reader.readBody(ReplyReader::BodyMode::Keep);
            const bool inTime = pump(reader, std::nullopt);
            if (!inTime || reader.state() == ReplyReader::State::Failed) {
                close();
                if (reader.bodySize() > 0)
                    text = reader.takeBody();
                return failure(reader, inTime
                                           ? reader.error()
                                           : QStringLiteral("no data for %1 ms inside the body")
                                                 .arg(qint64(m_settings.silenceTimeout.count())));
            }
            endReply(reader);
            if (reader.bodySize() > 0)
                text = reader.takeBody();
            return std::nullopt;
        }

        // Refused: 1xx, 3xx without a Location, 304, 4xx, 5xx, unreadable.
        drainBody(reader, m_settings.refusedBodyWait);
        endReply(reader);
        return failure(reader, QStringLiteral("refused with status %1").arg(status));
    }
}

std::optional<HttpFailure> HttpGetText(HttpClient &Id, QByteArrayView url, QByteArray &text)
{
    return Id.getText(url, text);
}

} // namespace orvane::http
