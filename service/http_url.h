#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace orvane::http {

// A URL cut into its three pieces as written, after every backslash became a
// forward slash. `rest` is what follows the authority: path, document, query.
struct UrlPieces {
    bool hasScheme = false; // false when the URL has no "://"
    QByteArray scheme;
    QByteArray authority;
    QByteArray rest;
};

[[nodiscard]] UrlPieces cutUrl(QByteArrayView url);

// Where one request goes. Only http URLs split; anything else carries an error
// and must not be sent.
struct Url {
    QString error;   // empty when the URL can be requested
    QByteArray host; // as written, brackets of an IPv6 literal kept
    quint16 port = 80;
    bool explicitPort = false; // the URL named its port
    QByteArray target;         // path, document and query exactly as they go on the wire

    bool ok() const { return error.isEmpty(); }
};

// `defaultPort` is used when the URL names none (80, or the port an earlier
// redirect left behind).
[[nodiscard]] Url splitUrl(QByteArrayView url, quint16 defaultPort = 80);

// Control bytes (0x00-0x1F, 0x7F) become %XX so that nothing in a target can
// end or split a request line; every other byte stays raw.
[[nodiscard]] QByteArray encodeControlBytes(QByteArrayView target);

// The host to hand to the resolver: an IPv6 literal without its brackets.
[[nodiscard]] QByteArray connectHost(QByteArrayView host);

} // namespace orvane::http
