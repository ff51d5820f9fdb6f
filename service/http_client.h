#pragma once

#include "service/cookie_store.h"
#include "service/http_cancel.h"
#include "service/http_reply_reader.h"
#include "service/http_url.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QTcpSocket;

namespace orvane::http {

struct HttpSettings {
    std::chrono::milliseconds connectTimeout{15'000};
    std::chrono::milliseconds silenceTimeout{30'000}; // a reply that sends nothing this long fails
    std::chrono::milliseconds totalTimeout{120'000};  // a whole call, redirects included
    std::chrono::milliseconds redirectBodyWait{4'000};
    std::chrono::milliseconds refusedBodyWait{2'000};
    std::chrono::milliseconds reuseProbe{1}; // wait for a close before reusing a connection
    int redirectMaximum = 15;                // requests per call, the first one included
    ReaderLimits limits;
    CookieStore::Limits cookieLimits;
};

// Why a call failed: the status code (-1 when unreadable) and status line of
// the reply that failed it, or 0 and nothing when no reply did (no
// connection, a URL or Location that cannot be requested, a reply that ended
// or went silent before its status line, a cancelled call).
struct HttpFailure {
    int status = 0;
    QByteArray statusLine;
    QString reason;
    bool cancelled = false; // stopped by its CancelToken
};

// The client object of the forecast requests: at most one open connection,
// the cookie store, the Basic-authorization mark and the port a redirect left
// behind. Its calls block and need no event loop of the caller's (connecting
// runs a local one), and must come from one thread: the connection belongs to
// the thread that opened it, and the client must be destroyed on that thread
// or after it has finished.
class HttpClient {
public:
    explicit HttpClient(HttpSettings settings = {});
    ~HttpClient();
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // GET `url`, following redirects. On success a non-empty body replaces
    // `text` and an empty one leaves it alone; on failure `text` receives the
    // body bytes that had arrived, if any. `cancel`, when given, may be set
    // from any thread: the call then fails soon after and closes its
    // connection. Every failure is logged to lcHttp.
    [[nodiscard]] std::optional<HttpFailure> getText(QByteArrayView url, QByteArray &text,
                                                     const CancelToken *cancel = nullptr);

    const HttpSettings &settings() const { return m_settings; }
    CookieStore &cookies() { return m_cookies; }
    bool isConnected() const;

private:
    // What ended a wait early. None: what was waited for came, or the
    // connection closed (which the caller sees).
    enum class Halt { None, Broken, Silent, PhaseOver, OutOfTime, Cancelled };

    std::optional<HttpFailure> fetch(QByteArrayView url, QByteArray &text);
    std::optional<HttpFailure> sendRequest(const QByteArray &url);
    std::optional<HttpFailure> readHead(ReplyReader &reader);
    QByteArray followRedirect(const QByteArray &current, const QByteArray &location);
    std::optional<HttpFailure> readSuccessBody(ReplyReader &reader, QByteArray &text);
    std::optional<HttpFailure> refuse(ReplyReader &reader);
    std::optional<HttpFailure> discardBody(ReplyReader &reader, std::chrono::milliseconds wait);
    Halt interrupted() const;
    Halt waitFor(QDeadlineTimer silence, QDeadlineTimer phase,
                 const std::function<bool(int ms)> &wait) const;
    Halt connectTo(const Url &url, QString &reason);
    Halt send(const QByteArray &request);
    Halt pump(ReplyReader &reader, QDeadlineTimer phase);
    Halt drainBody(ReplyReader &reader, std::chrono::milliseconds wait);
    void endReply(const ReplyReader &reader);
    void close();
    HttpFailure halted(const ReplyReader *reader, Halt halt, const QString &silence) const;
    void logFailure(const HttpFailure &failure) const;

    HttpSettings m_settings;
    CookieStore m_cookies;
    bool m_basicAuth = false;
    quint16 m_stickyPort = 0;

    std::unique_ptr<QTcpSocket> m_socket;
    QByteArray m_host;
    quint16 m_port = 0;
    QByteArray m_buffer; // bytes read from the socket; [m_bufferPos, m_bufferEnd) not yet taken
    qsizetype m_bufferPos = 0;
    qsizetype m_bufferEnd = 0;

    // Of the call under way.
    const CancelToken *m_cancel = nullptr;
    QDeadlineTimer m_deadline;
    Url m_target; // the request being made
};

// The operation the window calls: `Id.getText(url, text, cancel)`.
[[nodiscard]] std::optional<HttpFailure> HttpGetText(HttpClient &Id, QByteArrayView url,
                                                     QByteArray &text,
                                                     const CancelToken *cancel = nullptr);

} // namespace orvane::http
