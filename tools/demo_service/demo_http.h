#pragma once

#include "tools/demo_service/demo_reply.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHostAddress>
#include <optional>

namespace orvane::demo {

// More than this many bytes of request line and headers drops the connection.
inline constexpr qsizetype kMaxHeadBytes = 16 * 1024;

struct RequestHead {
    QByteArray method;
    QByteArray target; // raw bytes: spaces and 8-bit letters included, nothing decoded
    bool keepAlive = true;
    bool hasBody = false; // this service reads no bodies, so such a request ends the connection
};

struct HeadRead {
    enum Status { Incomplete, Complete, Malformed, TooLarge };
    Status status = Incomplete;
    RequestHead head;
    qsizetype length = 0; // bytes taken by the head, its blank line included
};

// Reads one request head from the start of `buffer`. Garbage is told apart
// as early as possible, before the head is complete.
HeadRead readRequestHead(QByteArrayView buffer);

struct Response {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
};

// The service's answer to one request; the demo login gets `forecasts` forecasts.
Response answerRequest(const RequestHead &request, int forecasts = kDefaultForecasts);

// The bytes of a whole response. `close` adds "Connection: close"; a HEAD
// request gets the headers alone.
QByteArray serialize(const Response &response, bool close, bool headOnly = false);

struct Endpoint {
    QHostAddress address;
    quint16 port = 0;
};

// "host:port", "[v6]:port" or a bare host (port 80). The host must be an IP
// address or "localhost"; names are not resolved.
std::optional<Endpoint> parseEndpoint(QByteArrayView authority);

} // namespace orvane::demo
