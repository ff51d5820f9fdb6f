#pragma once

#include "tests/support/scripted_server.h"

#include <QByteArray>

namespace orvane::test {

// Written out here rather than taken from the code under test.
inline const QByteArray kAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like "
    "Gecko) Chrome/37.0.2062.102 Safari/537.36";

// The login transport's GET of `target` as it must appear on the wire.
inline QByteArray getRequest(const QByteArray &target, const QByteArray &host,
                             const QByteArray &extra = {})
{
    return "GET " + target + " HTTP/1.1\r\nContent-Type: text/html\r\nHost: " + host +
           "\r\nAccept: text/html, */*\r\nUser-Agent: " + kAgent + "\r\n" + extra + "\r\n";
}

inline QByteArray ok(const QByteArray &body, const QByteArray &headers = {})
{
    return "HTTP/1.1 200 OK\r\n" + headers + "Content-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

// `reply` played back whole, then `then`; cut after `cutAfter` bytes unless -1.
inline Exchange play(const QByteArray &reply, Exchange::Then then = Exchange::Then::KeepOpen,
                     qsizetype cutAfter = -1)
{
    return {reply, Exchange::Delivery::Whole, cutAfter, then};
}

} // namespace orvane::test
