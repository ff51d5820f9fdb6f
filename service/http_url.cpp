#include "service/http_url.h"

#include <algorithm>

namespace orvane::http {

namespace {

bool isControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7f;
}

bool equalsNoCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

UrlPieces cutUrl(QByteArrayView url)
{
    QByteArray s = url.toByteArray();
    s.replace('\\', '/');

    UrlPieces pieces;
    const qsizetype schemeEnd = s.indexOf("://");
    if (schemeEnd < 0) {
        pieces.rest = s;
        return pieces;
    }
    pieces.hasScheme = true;
    pieces.scheme = s.left(schemeEnd);
    const qsizetype start = schemeEnd + 3;
    qsizetype end = start;
    // A "?" ends the authority too: a host name can never hold one.
    while (end < s.size() && s[end] != '/' && s[end] != '?')
        ++end;
    pieces.authority = s.mid(start, end - start);
    pieces.rest = s.mid(end);
    return pieces;
}

Url splitUrl(QByteArrayView url, quint16 defaultPort)
{
    Url result;
    const UrlPieces pieces = cutUrl(url);
    if (!pieces.hasScheme) {
        result.error = QStringLiteral("not an http URL");
        return result;
    }
    if (!equalsNoCase(pieces.scheme, "http")) {
        result.error = equalsNoCase(pieces.scheme, "https")
                           ? QStringLiteral("https is not supported: no TLS layer")
                           : QStringLiteral("unsupported URL scheme");
        return result;
    }

    QByteArrayView hostPort = pieces.authority;
    if (const qsizetype at = hostPort.lastIndexOf('@'); at >= 0)
        hostPort = hostPort.sliced(at + 1);

    QByteArrayView portText;
    bool hasPortText = false;
    if (hostPort.startsWith('[')) {
        const qsizetype close = hostPort.indexOf(']');
        if (close < 0) {
            result.error = QStringLiteral("malformed host");
            return result;
        }
        result.host = hostPort.first(close + 1).toByteArray();
        const QByteArrayView after = hostPort.sliced(close + 1);
        if (!after.isEmpty()) {
            if (after[0] != ':') {
                result.error = QStringLiteral("malformed host");
                return result;
            }
            portText = after.sliced(1);
            hasPortText = true;
        }
    } else if (const qsizetype colon = hostPort.indexOf(':'); colon >= 0) {
        result.host = hostPort.first(colon).toByteArray();
        portText = hostPort.sliced(colon + 1);
        hasPortText = true;
    } else {
        result.host = hostPort.toByteArray();
    }

    if (result.host.isEmpty() || std::any_of(result.host.cbegin(), result.host.cend(), isControl)) {
        result.error = QStringLiteral("malformed host");
        return result;
    }

    result.port = defaultPort;
    if (hasPortText && !portText.isEmpty()) {
        quint32 port = 0;
        for (const char c : portText) {
            if (c < '0' || c > '9' || port > 65535) {
                port = 0;
                break;
            }
            port = port * 10 + quint32(c - '0');
        }
        if (port == 0 || port > 65535) {
            result.error = QStringLiteral("malformed port");
            return result;
        }
        result.port = quint16(port);
        result.explicitPort = true;
    }

    QByteArrayView target = pieces.rest;
    if (const qsizetype query = target.indexOf('?'); query >= 0) {
        if (const qsizetype hash = target.indexOf('#', query); hash >= 0)
            target = target.first(hash);
    }
    if (!target.startsWith('/'))
        result.target = "/";
    result.target.append(encodeControlBytes(target));
    return result;
}

QByteArray encodeControlBytes(QByteArrayView target)
{
    if (std::none_of(target.begin(), target.end(), isControl))
        return target.toByteArray();
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(target.size() + 16);
    for (const char c : target) {
        if (isControl(c)) {
            const auto u = static_cast<unsigned char>(c);
            out.append('%').append(kHex[u >> 4]).append(kHex[u & 0xf]);
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray connectHost(QByteArrayView host)
{
    if (host.size() >= 2 && host.startsWith('[') && host.endsWith(']'))
        return host.sliced(1, host.size() - 2).toByteArray();
    return host.toByteArray();
}

} // namespace orvane::http
