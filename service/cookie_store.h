#pragma once

#include "http_header.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>

namespace orvane::http {

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
    void StoreFromReply(const HeaderList &headers, QByteArrayView host, QByteArrayView target,
                        const QDateTime &now);

    // Drops expired cookies, then returns the value of the Cookie header for a
    // request to `host` with `target`: empty when no cookie goes with it.
    QByteArray HeaderFor(QByteArrayView host, QByteArrayView target, const QDateTime &now);

    qsizetype count() const { return m_cookies.size(); }

private:
    struct Cookie;
    Limits m_limits;
    QList<Cookie> m_cookies;
};

} // namespace orvane::http
