#include "service/http_location.h"

#include "service/http_url.h"

#include <QList>

namespace orvane::http {

namespace {

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Only a real scheme makes a Location absolute: "/go?to=http://x" stays on
// this server.
bool isAbsolute(QByteArrayView location)
{
    const qsizetype end = location.indexOf("://");
    if (end <= 0 || !isAlpha(location[0]))
        return false;
    for (const char c : location.first(end)) {
        if (!isAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace

QByteArray removeDotSegments(QByteArrayView path)
{
    QList<QByteArrayView> out;
    QByteArrayView remaining = path.startsWith('/') ? path.sliced(1) : path;
    while (true) {
        const qsizetype slash = remaining.indexOf('/');
        const bool last = slash < 0;
        const QByteArrayView segment = last ? remaining : remaining.first(slash);
        if (segment == ".") {
            if (last)
                out.append(QByteArrayView(""));
        } else if (segment == "..") {
            if (!out.isEmpty())
                out.removeLast();
            if (last)
                out.append(QByteArrayView(""));
        } else {
            out.append(segment);
        }
        if (last)
            break;
        remaining = remaining.sliced(slash + 1);
    }
    QByteArray result;
    result.reserve(path.size() + 1);
    for (const QByteArrayView segment : out)
        result.append('/').append(segment);
    if (result.isEmpty())
        result = "/";
    return result;
}

QByteArray resolveLocation(QByteArrayView previousUrl, QByteArrayView location)
{
    QByteArray next = location.toByteArray();
    next.replace('\\', '/');
    if (isAbsolute(next))
        return next;

    const UrlPieces previous = cutUrl(previousUrl);
    QByteArray result = previous.scheme + "://" + previous.authority;
    if (next.startsWith('/'))
        return result + next;

    QByteArrayView directory = previous.rest;
    if (const qsizetype query = directory.indexOf('?'); query >= 0)
        directory = directory.first(query);
    const qsizetype lastSlash = directory.lastIndexOf('/');
    directory = lastSlash >= 0 ? directory.first(lastSlash + 1) : QByteArrayView("/");

    const qsizetype query = next.indexOf('?');
    const QByteArrayView nextPath = query >= 0 ? QByteArrayView(next).first(query) : next;
    result += removeDotSegments(directory.toByteArray().append(nextPath));
    if (query >= 0)
        result += QByteArrayView(next).sliced(query);
    return result;
}

} // namespace orvane::http
