#include "service/http_request.h"

namespace orvane::http {

QByteArray buildGetRequest(const Url &url, bool basicAuth, QByteArrayView cookie)
{
    QByteArray request;
    request.reserve(256 + url.target.size() + url.host.size() + cookie.size());
    request.append("GET ").append(url.target).append(" HTTP/1.1\r\n");
    request.append("Content-Type: text/html\r\n");
    request.append("Host: ").append(url.host);
    if (url.port != 80)
        request.append(':').append(QByteArray::number(url.port));
    request.append("\r\n");
    request.append("Accept: text/html, */*\r\n");
    request.append("User-Agent: ").append(kUserAgent).append("\r\n");
    if (basicAuth)
        request.append("Authorization: Basic Og==\r\n"); // Base64 of ":"
    if (!cookie.isEmpty())
        request.append("Cookie: ").append(cookie).append("\r\n");
    request.append("\r\n");
    return request;
}

} // namespace orvane::http
