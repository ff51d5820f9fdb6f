#include "service/http_client.h"

#include "service/http_location.h"
#include "service/http_log.h"
#include "service/http_request.h"

#include <QDateTime>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>

namespace orvane::http {

namespace {

constexpr qsizetype kReadBlock = 256 * 1024;

qint64 ms(std::chrono::milliseconds duration)
{
    return qint64(duration.count());
}

QDeadlineTimer deadlineIn(std::chrono::milliseconds duration)
{
    return duration.count() > 0 ? QDeadlineTimer(ms(duration), Qt::PreciseTimer)
                                : QDeadlineTimer(QDeadlineTimer::Forever);
}

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

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
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

HttpClient::Halt HttpClient::interrupted() const
{
    if (m_cancel && m_cancel->isCancelled())
        return Halt::Cancelled;
    if (m_deadline.hasExpired())
        return Halt::OutOfTime;
    return Halt::None;
}

// Calls `wait` in slices short enough to notice a cancel in time, until it
// reports progress, the connection closes, or a limit is reached.
HttpClient::Halt HttpClient::waitFor(QDeadlineTimer silence, QDeadlineTimer phase,
                                     const std::function<bool(int ms)> &wait) const
{
    for (;;) {
        if (const Halt halt = interrupted(); halt != Halt::None)
            return halt;
        if (phase.hasExpired())
            return Halt::PhaseOver;
        if (silence.hasExpired())
            return Halt::Silent;
        qint64 slice = -1; // -1: no limit
        for (const QDeadlineTimer &limit : {m_deadline, phase, silence}) {
            if (!limit.isForever())
                slice = slice < 0 ? limit.remainingTime() : std::min(slice, limit.remainingTime());
        }
        if (m_cancel)
            slice = slice < 0 ? ms(kCancelSlice) : std::min(slice, ms(kCancelSlice));
        if (wait(int(slice)) || m_socket->state() != QAbstractSocket::ConnectedState)
            return Halt::None;
    }
}

HttpClient::Halt HttpClient::connectTo(const Url &url, QString &reason)
{
    if (m_socket && (m_host != url.host || m_port != url.port))
        close();
    // Reuse only a connection that stays quiet: anything readable now is
    // either the server's close or stray bytes that would pass for a reply.
    if (isConnected() && m_bufferPos == m_bufferEnd &&
        !m_socket->waitForReadyRead(int(m_settings.reuseProbe.count())) && isConnected())
        return Halt::None;
    close();

    m_socket = std::make_unique<QTcpSocket>();
    m_socket->setProxy(QNetworkProxy::NoProxy);
    // Not waitForConnected(): it gives the attempt up when it times out, so it
    // cannot wait in slices. A local loop can, and it leaves a name lookup to
    // Qt's resolver threads, so that a cancel need not wait for the lookup.
    QEventLoop loop;
    Halt halt = Halt::None;
    const QDeadlineTimer limit = deadlineIn(m_settings.connectTimeout);
    QObject::connect(m_socket.get(), &QAbstractSocket::connected, &loop, &QEventLoop::quit);
    QObject::connect(m_socket.get(), &QAbstractSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        halt = interrupted();
        if (halt == Halt::None && limit.hasExpired())
            halt = Halt::Silent;
        if (halt != Halt::None)
            loop.quit();
    });
    const auto connecting = [this] {
        const QAbstractSocket::SocketState state = m_socket->state();
        return state == QAbstractSocket::HostLookupState ||
               state == QAbstractSocket::ConnectingState;
    };

    m_socket->connectToHost(QString::fromLatin1(connectHost(url.host)), url.port,
                            QIODevice::ReadWrite | QIODevice::Unbuffered);
    if (connecting()) {
        ticker.start(kCancelSlice);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (halt == Halt::None && isConnected()) {
        m_host = url.host;
        m_port = url.port;
        return Halt::None;
    }
    const QString where = QString::fromLatin1(url.host) + u':' + QString::number(url.port);
    if (halt == Halt::Silent) {
        reason = QStringLiteral("no connection to %1 within %2 ms")
                     .arg(where)
                     .arg(ms(m_settings.connectTimeout));
    } else if (halt == Halt::None) {
        halt = Halt::Broken;
        reason = QStringLiteral("cannot connect to %1: %2").arg(where, m_socket->errorString());
    }
    close();
    return halt;
}

HttpClient::Halt HttpClient::send(const QByteArray &request)
{
    if (m_socket->write(request) != request.size())
        return Halt::Broken;
    while (m_socket->bytesToWrite() > 0) {
        const Halt halt =
            waitFor(deadlineIn(m_settings.silenceTimeout), QDeadlineTimer(QDeadlineTimer::Forever),
                    [this](int wait) { return m_socket->waitForBytesWritten(wait); });
        if (halt != Halt::None)
            return halt;
        if (!isConnected())
            return Halt::Broken;
    }
    return Halt::None;
}

// Feeds the reader from the connection until it needs a decision, is done or
// has failed, or the stream ends; `phase` bounds the whole of it.
HttpClient::Halt HttpClient::pump(ReplyReader &reader, QDeadlineTimer phase)
{
    while (!reader.atEnd() && reader.state() != ReplyReader::State::HeadersDone) {
        // Also between reads: a server that never pauses must not outlast a cancel.
        if (const Halt halt = interrupted(); halt != Halt::None)
            return halt;
        if (m_bufferPos < m_bufferEnd) {
            m_bufferPos += reader.feed(
                QByteArrayView(m_buffer).sliced(m_bufferPos, m_bufferEnd - m_bufferPos));
            continue;
        }
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            reader.finish();
            break;
        }
        // A body of known length goes straight into place, each read taking
        // all the socket holds: a cap would only add system calls.
        const std::span<char> space = reader.bodySpace();
        if (m_buffer.size() < kReadBlock)
            m_buffer.resize(kReadBlock);
        const qint64 n = space.empty() ? m_socket->read(m_buffer.data(), kReadBlock)
                                       : m_socket->read(space.data(), qint64(space.size()));
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
        const Halt halt = waitFor(deadlineIn(m_settings.silenceTimeout), phase,
                                  [this](int wait) { return m_socket->waitForReadyRead(wait); });
        if (halt != Halt::None)
            return halt;
    }
    return Halt::None;
}

HttpClient::Halt HttpClient::drainBody(ReplyReader &reader, std::chrono::milliseconds wait)
{
    reader.readBody(ReplyReader::BodyMode::Discard);
    return pump(reader, deadlineIn(wait));
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

// The failure for a wait that ended early; `other` is the reason when no
// cancel and no limit of the whole call ended it.
HttpFailure HttpClient::halted(const ReplyReader *reader, Halt halt, const QString &other) const
{
    QString reason = other;
    if (halt == Halt::Cancelled)
        reason = QStringLiteral("cancelled");
    else if (halt == Halt::OutOfTime)
        reason = QStringLiteral("gave up after %1 ms in all").arg(ms(m_settings.totalTimeout));
    HttpFailure result = reader ? failure(*reader, reason) : failure(reason);
    result.cancelled = halt == Halt::Cancelled;
    return result;
}

void HttpClient::logFailure(const HttpFailure &failure) const
{
    // Host, port and path: the query, and so the whole request target, may hold a password.
    QByteArray where = "(no host)";
    if (!m_target.host.isEmpty()) {
        const qsizetype query = m_target.target.indexOf('?');
        where = m_target.host + ':' + QByteArray::number(m_target.port) +
                (query < 0 ? m_target.target : m_target.target.first(query));
    }
    if (failure.cancelled) {
        qCInfo(lcHttp).noquote().nospace() << "GET " << QString::fromLatin1(where) << " cancelled";
        return;
    }
    qCWarning(lcHttp).noquote().nospace()
        << "GET " << QString::fromLatin1(where) << " failed (status " << failure.status
        << "): " << failure.reason;
}

std::optional<HttpFailure> HttpClient::getText(QByteArrayView url, QByteArray &text,
                                               const CancelToken *cancel)
{
    m_cancel = cancel;
    m_deadline = deadlineIn(m_settings.totalTimeout);
    m_target = {};
    std::optional<HttpFailure> result = fetch(url, text);
    if (result)
        logFailure(*result);
    m_cancel = nullptr;
    return result;
}

// One request after another until a reply that is not a redirect, or the
// last redirect allowed, ends the call.
std::optional<HttpFailure> HttpClient::fetch(QByteArrayView url, QByteArray &text)
{
    QByteArray current = url.toByteArray();
    const int maximum = std::max(1, m_settings.redirectMaximum);
    for (int requests = 1;; ++requests) {
        if (std::optional<HttpFailure> failed = sendRequest(current))
            return failed;
        ReplyReader reader(m_settings.limits);
        if (std::optional<HttpFailure> failed = readHead(reader))
            return failed;
        // An empty Location leads nowhere; the reply is judged by its status.
        const QByteArray location = reader.header("Location");
        if (location.isEmpty())
            return isSuccess(reader.statusCode()) ? readSuccessBody(reader, text) : refuse(reader);
        // A redirect body that does not come in time is given up, the call is not.
        if (std::optional<HttpFailure> failed = discardBody(reader, m_settings.redirectBodyWait))
            return failed;
        if (requests >= maximum)
            return std::nullopt;
        current = followRedirect(current, location);
    }
}

// Opens or reuses the connection to the URL's host and sends the GET for it.
std::optional<HttpFailure> HttpClient::sendRequest(const QByteArray &url)
{
    if (const Halt halt = interrupted(); halt != Halt::None) {
        close();
        return halted(nullptr, halt, {});
    }
    m_target = splitUrl(url, m_stickyPort != 0 ? m_stickyPort : 80);
    if (!m_target.ok())
        return failure(m_target.error);
    QString reason;
    if (const Halt halt = connectTo(m_target, reason); halt != Halt::None)
        return halted(nullptr, halt, reason);

    const QByteArray cookie =
        m_cookies.headerFor(m_target.host, m_target.target, QDateTime::currentDateTimeUtc());
    const Halt halt = send(buildGetRequest(m_target, m_basicAuth, cookie));
    if (halt == Halt::None)
        return std::nullopt;
    close();
    return halted(nullptr, halt,
                  halt == Halt::Broken ? QStringLiteral("connection lost while sending the request")
                                       : QStringLiteral("the request could not be sent for %1 ms")
                                             .arg(ms(m_settings.silenceTimeout)));
}

// Reads the status line and headers, and keeps what they set for the next
// requests: cookies, and Basic authorization once a 401 asks for it.
std::optional<HttpFailure> HttpClient::readHead(ReplyReader &reader)
{
    if (const Halt halt = pump(reader, QDeadlineTimer(QDeadlineTimer::Forever));
        halt != Halt::None) {
        close();
        return halted(&reader, halt,
                      QStringLiteral("no reply for %1 ms").arg(ms(m_settings.silenceTimeout)));
    }
    if (reader.state() == ReplyReader::State::Failed) {
        close();
        return failure(reader, reader.error());
    }
    m_cookies.storeFromReply(reader.headers(), m_target.host, m_target.target,
                             QDateTime::currentDateTimeUtc());
    if (reader.statusCode() == 401 && isBasicChallenge(reader.headers()))
        m_basicAuth = true;
    return std::nullopt;
}

// The next URL of a redirect; a port other than the standard ones, once named,
// stays for the rest of the client's requests that name none.
QByteArray HttpClient::followRedirect(const QByteArray &current, const QByteArray &location)
{
    QByteArray next = resolveLocation(current, location);
    const Url target = splitUrl(next, m_stickyPort != 0 ? m_stickyPort : 80);
    if (target.ok() && target.explicitPort && target.port != 80 && target.port != 443)
        m_stickyPort = target.port;
    return next;
}

// A 2xx reply: its body, whole, is the call's text. A failed body still hands
// over what had arrived.
std::optional<HttpFailure> HttpClient::readSuccessBody(ReplyReader &reader, QByteArray &text)
{
    if (reader.headersCut()) {
        close();
        return failure(reader, QStringLiteral("connection closed inside the headers"));
    }
    if (reader.statusCode() == 204) {
        reader.skipBody();
        endReply(reader);
        return std::nullopt;
    }
    reader.readBody(ReplyReader::BodyMode::Keep);
    const Halt halt = pump(reader, QDeadlineTimer(QDeadlineTimer::Forever));
    const bool failed = halt != Halt::None || reader.state() == ReplyReader::State::Failed;
    if (failed)
        close();
    else
        endReply(reader);
    if (reader.bodySize() > 0)
        text = reader.takeBody();
    if (!failed)
        return std::nullopt;
    if (halt == Halt::None)
        return failure(reader, reader.error());
    return halted(
        &reader, halt,
        QStringLiteral("no data for %1 ms inside the body").arg(ms(m_settings.silenceTimeout)));
}

// Refused: 1xx, 3xx without a Location, 304, 4xx, 5xx, unreadable.
std::optional<HttpFailure> HttpClient::refuse(ReplyReader &reader)
{
    if (std::optional<HttpFailure> failed = discardBody(reader, m_settings.refusedBodyWait))
        return failed;
    return failure(reader, QStringLiteral("refused with status %1").arg(reader.statusCode()));
}

// Reads a body that nobody wants, so that the connection can serve again; a
// body slower than `wait` only costs the connection. Only a cancel or the
// call's own time limit fail the call.
std::optional<HttpFailure> HttpClient::discardBody(ReplyReader &reader,
                                                   std::chrono::milliseconds wait)
{
    const Halt halt = drainBody(reader, wait);
    if (halt == Halt::Cancelled || halt == Halt::OutOfTime) {
        close();
        return halted(&reader, halt, {});
    }
    endReply(reader);
    return std::nullopt;
}

std::optional<HttpFailure> HttpGetText(HttpClient &Id, QByteArrayView url, QByteArray &text,
                                       const CancelToken *cancel)
{
    return Id.getText(url, text, cancel);
}

} // namespace orvane::http
