#include "tools/demo_service/demo_http.h"

#include "tools/demo_service/demo_reply.h"

#include <QString>

namespace orvane::demo {

namespace {

bool isTokenChar(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

bool isDigits(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

bool hasControlByte(QByteArrayView text)
{
    for (char c : text) {
        if ((c >= 0 && c < 0x20) || c == 0x7F)
            return true;
    }
    return false;
}

bool readRequestLine(QByteArrayView line, RequestHead &head, bool &http10)
{
    const qsizetype first = line.indexOf(' ');
    const qsizetype last = line.lastIndexOf(' ');
    if (first <= 0 || last <= first + 1)
        return false;
    const QByteArrayView method = line.first(first);
    const QByteArrayView version = line.sliced(last + 1);
    // Spaces inside the target are the client's raw login bytes, not separators.
    const QByteArrayView target = line.sliced(first + 1, last - first - 1);
    if (!isToken(method) || hasControlByte(target) || version.size() != 8 ||
        !version.startsWith("HTTP/1.") || version[7] < '0' || version[7] > '9')
        return false;
    head.method = method.toByteArray();
    head.target = target.toByteArray();
    http10 = version[7] == '0';
    return true;
}

struct Field {
    QByteArrayView name;
    QByteArray value;
};

bool applyFields(const QList<Field> &fields, bool http10, RequestHead &head)
{
    bool close = false;
    bool keepAlive = false;
    for (const Field &field : fields) {
        const QByteArray name = field.name.toByteArray().toLower();
        const QByteArray value = field.value.trimmed();
        if (name == "connection") {
            for (const QByteArray &option : value.split(',')) {
                const QByteArray token = option.trimmed().toLower();
                close = close || token == "close";
                keepAlive = keepAlive || token == "keep-alive";
            }
        } else if (name == "content-length") {
            if (!isDigits(value))
                return false;
            head.hasBody = head.hasBody || value.count('0') != value.size();
        } else if (name == "transfer-encoding") {
            head.hasBody = true;
        }
    }
    head.keepAlive = !close && (!http10 || keepAlive);
    return true;
}

} // namespace

HeadRead readRequestHead(QByteArrayView buffer)
{
    HeadRead result;
    // Empty lines before a request line are allowed: a client's stray CRLF.
    qsizetype start = 0;
    while (start < buffer.size() && (buffer[start] == '\r' || buffer[start] == '\n'))
        ++start;
    // A method of token characters and a space: a peer speaking anything but
    // HTTP is told apart from its first bytes.
    qsizetype pos = start;
    while (pos < buffer.size() && isTokenChar(buffer[pos]))
        ++pos;
    if (pos < buffer.size() && (pos == start || buffer[pos] != ' ')) {
        result.status = HeadRead::Malformed;
        return result;
    }

    QList<QByteArrayView> lines;
    qsizetype lineStart = start;
    bool complete = false;
    while (!complete) {
        const qsizetype newline = buffer.indexOf('\n', lineStart);
        if (newline < 0)
            break;
        QByteArrayView line = buffer.sliced(lineStart, newline - lineStart);
        if (line.endsWith('\r'))
            line.chop(1);
        lineStart = newline + 1;
        complete = line.isEmpty();
        if (!complete)
            lines.append(line);
    }
    if ((complete ? lineStart : buffer.size()) > kMaxHeadBytes) {
        result.status = HeadRead::TooLarge;
        return result;
    }
    if (!complete)
        return result;

    bool http10 = false;
    QList<Field> fields;
    bool ok = readRequestLine(lines.front(), result.head, http10);
    for (qsizetype i = 1; ok && i < lines.size(); ++i) {
        const QByteArrayView line = lines[i];
        if (line.front() == ' ' || line.front() == '\t') {
            // A folded line continues the field before it.
            ok = !fields.isEmpty();
            if (ok)
                fields.back().value.append(' ').append(line.trimmed());
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        ok = colon > 0 && isToken(line.first(colon));
        if (ok)
            fields.append({line.first(colon), line.sliced(colon + 1).toByteArray()});
    }
    ok = ok && applyFields(fields, http10, result.head);
    result.status = ok ? HeadRead::Complete : HeadRead::Malformed;
    result.length = lineStart;
    return result;
}

Response answerRequest(const RequestHead &request, int forecasts)
{
    const Response notFound{404, "text/plain", "Not Found\n"};
    if (request.method != "GET" && request.method != "HEAD")
        return notFound;

    const qsizetype question = request.target.indexOf('?');
    const QByteArrayView path =
        QByteArrayView(request.target).first(question < 0 ? request.target.size() : question);
    const QByteArrayView query =
        question < 0 ? QByteArrayView() : QByteArrayView(request.target).sliced(question + 1);

    if (path == "/refresh/orvane5.txt")
        return {200, "text/plain", "orvane5: current\n"};
    if (path != "/login/orvane.php")
        return notFound;

    // The client sends the login and password raw, so they are cut out by
    // position and never percent-decoded.
    const Response refused{200, "text/html; charset=windows-1251", refusalReply()};
    if (!query.startsWith("login="))
        return refused;
    const qsizetype pass = query.indexOf("&pass=");
    if (pass < 0)
        return refused;
    const QByteArrayView login = query.sliced(6, pass - 6);
    const QByteArrayView password = query.sliced(pass + 6);
    if (login != kLogin || password != kPassword)
        return refused;
    return {200, "text/html; charset=windows-1251", forecastReply(forecasts)};
}

QByteArray serialize(const Response &response, bool close, bool headOnly)
{
    QByteArrayView reason = "Error";
    switch (response.status) {
    case 200:
        reason = "OK";
        break;
    case 400:
        reason = "Bad Request";
        break;
    case 404:
        reason = "Not Found";
        break;
    case 431:
        reason = "Request Header Fields Too Large";
        break;
    }
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                       reason.toByteArray() +
                       "\r\nServer: orvane-demo-service\r\nContent-Type: " + response.contentType +
                       "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (close)
        bytes += "Connection: close\r\n";
    bytes += "\r\n";
    if (!headOnly)
        bytes += response.body;
    return bytes;
}

std::optional<Endpoint> parseEndpoint(QByteArrayView authority)
{
    QByteArrayView host = authority;
    QByteArrayView port;
    bool hasPort = false;
    if (authority.startsWith('[')) {
        const qsizetype close = authority.indexOf(']');
        if (close < 0)
            return std::nullopt;
        host = authority.sliced(1, close - 1);
        const QByteArrayView rest = authority.sliced(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(':'))
            return std::nullopt;
        hasPort = !rest.isEmpty();
        port = hasPort ? rest.sliced(1) : rest;
    } else if (const qsizetype colon = authority.lastIndexOf(':'); colon >= 0) {
        host = authority.first(colon);
        port = authority.sliced(colon + 1);
        hasPort = true;
    }

    Endpoint endpoint;
    endpoint.port = 80;
    if (hasPort) {
        if (!isDigits(port) || port.size() > 5 || port.toByteArray().toInt() > 65535)
            return std::nullopt;
        endpoint.port = quint16(port.toByteArray().toInt());
    }
    if (host.toByteArray().toLower() == "localhost")
        endpoint.address = QHostAddress(QHostAddress::LocalHost);
    else if (host.isEmpty() || !endpoint.address.setAddress(QString::fromLatin1(host)))
        return std::nullopt;
    return endpoint;
}

} // namespace orvane::demo
