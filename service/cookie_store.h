#pragma once

#include "service/http_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <optional>

namespace orvane::http {

// The Cookie header never grows past this many bytes of value.
inline constexpr qsizetype kMaxCookieHeaderBytes = 8192;

// Whether a cookie bound to `domain` may go to `host`, both compared without
// regard to case: the host equals the domain, or ends with it when the domain
// begins with ".", or ends with "." + domain. A whole-label match only, so a
// cookie of "b.com" never reaches "evilb.com". When either side is an IP
// address, only the exact address matches.
[[nodiscard]] bool domainMatches(QByteArrayView host, QByteArrayView domain);

// Reads an HTTP date in any of the forms servers send (RFC 1123, RFC 850,
// asctime, and the dashed form of old cookies) as UTC; an invalid QDateTime
// when it cannot be read.
[[nodiscard]] QDateTime parseHttpDate(QByteArrayView text);

// The client's in-memory cookie jar: filled from every reply's Set-Cookie and
// Set-Cookie2 lines, read before every request. Never written to disk.
class CookieStore {
public:
    // Bounds that keep a hostile server from growing the store without end.
    struct Limits {
        int perReply = 50;
        int total = 150;
        int maxNameValueBytes = 4096;
    };

    CookieStore() = default;
    explicit CookieStore(Limits limits) : m_limits(limits) {}

    // Stores the cookies of one reply that answered a request for `host` with
    // request target `target` (path and query as sent).
    void storeFromReply(const HeaderList &headers, QByteArrayView host, QByteArrayView target,
                        const QDateTime &now);

    // Drops expired cookies, then returns the value of the Cookie header for a
    // request to `host` with `target`: empty when no cookie goes with it.
    [[nodiscard]] QByteArray headerFor(QByteArrayView host, QByteArrayView target,
                                       const QDateTime &now);

    qsizetype count() const { return m_cookies.size(); }

private:
    struct Cookie {
        QByteArray name;
        QByteArray value;
        QByteArray domain; // lower case
        QByteArray path;
        std::optional<qint64> expiresMs; // none: lives as long as the store
        bool secure = false;
    };

    std::optional<Cookie> parse(QByteArrayView line, QByteArrayView host, QByteArrayView target,
                                qint64 nowMs) const;
    void dropExpired(qint64 nowMs);

    Limits m_limits;
    QList<Cookie> m_cookies; // in order of first storing
};

} // namespace orvane::http
