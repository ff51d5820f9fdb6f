#include "service/cookie_store.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <array>

namespace orvane::http {

namespace {

// Far enough for any real cookie, near enough that the arithmetic cannot overflow.
constexpr qint64 kMaxAgeCapSeconds = qint64(100) * 365 * 24 * 3600;

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalsCi(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

bool endsWithCi(QByteArrayView text, QByteArrayView suffix)
{
    return text.size() >= suffix.size() && equalsCi(text.last(suffix.size()), suffix);
}

QByteArray lowered(QByteArrayView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = asciiLower(text[i]);
    return out;
}

QByteArrayView trimBlanks(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool hasControlByte(QByteArrayView text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = quint8(c);
        return byte < 0x20 || byte == 0x7f;
    });
}

// Dotted digits, or anything with a colon (IPv6, bracketed or not). Names
// never consist of digits alone, so treating such a name as an address only
// makes matching stricter.
bool isIpAddress(QByteArrayView host)
{
    if (host.isEmpty())
        return false;
    if (host.contains(':'))
        return true;
    return std::all_of(host.begin(), host.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

QByteArrayView pathPart(QByteArrayView target)
{
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.first(query);
}

// A cookie's default path: the request path up to, not including, its last "/".
QByteArrayView defaultPath(QByteArrayView target)
{
    const QByteArrayView path = pathPart(target);
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArrayView() : path.first(slash);
}

// What a cookie's path must be a prefix of: the target up to and including its last "/".
QByteArrayView directoryOf(QByteArrayView target)
{
    const QByteArrayView path = pathPart(target);
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArrayView() : path.first(slash + 1);
}

bool domainAccepted(QByteArrayView domain, QByteArrayView host)
{
    if (equalsCi(domain, host))
        return true;
    // A numeric domain would let a named host set cookies for an address.
    if (isIpAddress(host) || isIpAddress(domain) || !domain.startsWith('.'))
        return false;
    // A domain with no dot inside (".com") would reach every site under it.
    if (domain.sliced(1).indexOf('.') < 0)
        return false;
    const qsizetype dot = host.indexOf('.');
    return dot >= 0 && equalsCi(host.sliced(dot), domain);
}

std::optional<qint64> parseSeconds(QByteArrayView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = std::min(value * 10 + (c - '0'), kMaxAgeCapSeconds);
    }
    return negative ? -value : value;
}

// Date tokens are separated by the delimiters of RFC 6265's date grammar.
bool isDateDelimiter(char c)
{
    const auto b = quint8(c);
    return b == 0x09 || (b >= 0x20 && b <= 0x2f) || (b >= 0x3b && b <= 0x40) ||
           (b >= 0x5b && b <= 0x60) || (b >= 0x7b && b <= 0x7e);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads 1 to `maxDigits` digits from the front of `token`; the count read, 0 on no match.
qsizetype leadingNumber(QByteArrayView token, qsizetype maxDigits, int &value)
{
    qsizetype n = 0;
    value = 0;
    while (n < token.size() && isDigit(token[n])) {
        if (n == maxDigits)
            return 0;
        value = value * 10 + (token[n] - '0');
        ++n;
    }
    return n;
}

bool readTime(QByteArrayView token, int &hour, int &minute, int &second)
{
    std::array<int, 3> parts{};
    for (int i = 0; i < 3; ++i) {
        const qsizetype n = leadingNumber(token, 2, parts[size_t(i)]);
        if (n == 0)
            return false;
        token = token.sliced(n);
        if (i < 2) {
            if (token.isEmpty() || token.front() != ':')
                return false;
            token = token.sliced(1);
        }
    }
    hour = parts[0];
    minute = parts[1];
    second = parts[2];
    return true;
}

int monthOf(QByteArrayView token)
{
    static constexpr std::array<QByteArrayView, 12> kMonths{
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() < 3)
        return 0;
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (equalsCi(token.first(3), kMonths[i]))
            return int(i) + 1;
    }
    return 0;
}

} // namespace

bool domainMatches(QByteArrayView host, QByteArrayView domain)
{
    if (host.isEmpty() || domain.isEmpty())
        return false;
    if (equalsCi(host, domain))
        return true;
    if (isIpAddress(host) || isIpAddress(domain))
        return false;
    if (domain.startsWith('.'))
        return endsWithCi(host, domain);
    return host.size() > domain.size() && host[host.size() - domain.size() - 1] == '.' &&
           endsWithCi(host, domain);
}

// Token by token, the first time, day, month and year found win; the order of
// the fields and the week day do not matter, so all three HTTP forms read alike.
QDateTime parseHttpDate(QByteArrayView text)
{
    int hour = -1, minute = 0, second = 0, day = 0, month = 0, year = -1;
    qsizetype i = 0;
    while (i < text.size()) {
        while (i < text.size() && isDateDelimiter(text[i]))
            ++i;
        qsizetype end = i;
        while (end < text.size() && !isDateDelimiter(text[end]))
            ++end;
        const QByteArrayView token = text.sliced(i, end - i);
        i = end;
        if (token.isEmpty())
            continue;
        int number = 0;
        if (hour < 0 && readTime(token, hour, minute, second))
            continue;
        if (day == 0 && leadingNumber(token, 2, number) > 0) {
            day = number;
            continue;
        }
        if (month == 0 && (month = monthOf(token)) != 0)
            continue;
        if (year < 0 && leadingNumber(token, 4, number) >= 2)
            year = number;
    }
    if (hour < 0 || day == 0 || month == 0 || year < 0)
        return {};
    if (year < 70)
        year += 2000;
    else if (year < 100)
        year += 1900;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (year < 1601 || !date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

std::optional<CookieStore::Cookie> CookieStore::parse(QByteArrayView line, QByteArrayView host,
                                                      QByteArrayView target, qint64 nowMs) const
{
    const qsizetype firstEnd = line.indexOf(';');
    const QByteArrayView pair = firstEnd < 0 ? line : line.first(firstEnd);
    const qsizetype eq = pair.indexOf('=');
    Cookie cookie;
    cookie.name = trimBlanks(eq < 0 ? pair : pair.first(eq)).toByteArray();
    if (eq >= 0)
        cookie.value = trimBlanks(pair.sliced(eq + 1)).toByteArray();
    // Control bytes would let a server write its own lines into our requests.
    if (cookie.name.isEmpty() || hasControlByte(cookie.name) || hasControlByte(cookie.value) ||
        cookie.name.size() + cookie.value.size() > m_limits.maxNameValueBytes)
        return std::nullopt;

    std::optional<QByteArrayView> domain;
    std::optional<QByteArrayView> path;
    std::optional<qint64> maxAge;
    qsizetype start = firstEnd;
    while (start >= 0) {
        const qsizetype next = line.indexOf(';', start + 1);
        const QByteArrayView attribute =
            line.sliced(start + 1, (next < 0 ? line.size() : next) - start - 1);
        start = next;
        const qsizetype attrEq = attribute.indexOf('=');
        const QByteArrayView name = trimBlanks(attrEq < 0 ? attribute : attribute.first(attrEq));
        const QByteArrayView value =
            attrEq < 0 ? QByteArrayView() : trimBlanks(attribute.sliced(attrEq + 1));
        if (equalsCi(name, "path")) {
            path = value.size() >= 2 && value.front() == '"' && value.back() == '"'
                       ? value.sliced(1, value.size() - 2)
                       : value;
        } else if (equalsCi(name, "domain")) {
            domain = value;
        } else if (equalsCi(name, "expires")) {
            const QDateTime expires = parseHttpDate(value);
            if (expires.isValid())
                cookie.expiresMs = expires.toMSecsSinceEpoch();
        } else if (equalsCi(name, "max-age")) {
            if (const auto seconds = parseSeconds(value))
                maxAge = seconds;
        } else if (equalsCi(name, "secure")) {
            cookie.secure = true;
        }
        // Version, Comment, CommentURL, Discard and Port change nothing for an
        // in-memory store that never sends attributes back.
    }

    if (domain) {
        if (!domainAccepted(*domain, host))
            return std::nullopt;
        cookie.domain = lowered(*domain);
    } else {
        if (host.isEmpty())
            return std::nullopt;
        cookie.domain = lowered(host);
    }
    cookie.path = (path ? *path : defaultPath(target)).toByteArray();
    if (!cookie.expiresMs && maxAge)
        cookie.expiresMs = *maxAge <= 0 ? nowMs : nowMs + *maxAge * 1000;
    return cookie;
}

void CookieStore::dropExpired(qint64 nowMs)
{
    m_cookies.removeIf([nowMs](const Cookie &c) { return c.expiresMs && *c.expiresMs <= nowMs; });
}

void CookieStore::storeFromReply(const HeaderList &headers, QByteArrayView host,
                                 QByteArrayView target, const QDateTime &now)
{
    const qint64 nowMs = now.toMSecsSinceEpoch();
    dropExpired(nowMs); // frees room before the limits are judged
    int stored = 0;
    for (const HeaderField &field : headers) {
        if (stored >= m_limits.perReply)
            break;
        if (!equalsCi(field.name, "set-cookie") && !equalsCi(field.name, "set-cookie2"))
            continue;
        std::optional<Cookie> cookie = parse(field.value, host, target, nowMs);
        if (!cookie)
            continue;
        const auto same = std::find_if(m_cookies.begin(), m_cookies.end(), [&](const Cookie &c) {
            return c.name == cookie->name && c.domain == cookie->domain;
        });
        // An already expired cookie is how a server deletes one: never store it.
        if (cookie->expiresMs && *cookie->expiresMs <= nowMs) {
            if (same != m_cookies.end())
                m_cookies.erase(same);
            continue;
        }
        if (same != m_cookies.end()) {
            *same = std::move(*cookie); // keeps its place in the order of storing
        } else {
            // A full store keeps what it has and drops the newcomer, so a flood
            // of cookies cannot push out the session cookie stored earlier.
            if (m_cookies.size() >= m_limits.total)
                continue;
            m_cookies.append(std::move(*cookie));
        }
        ++stored;
    }
}

QByteArray CookieStore::headerFor(QByteArrayView host, QByteArrayView target, const QDateTime &now)
{
    dropExpired(now.toMSecsSinceEpoch());
    const QByteArrayView directory = directoryOf(target);
    QList<const Cookie *> going;
    for (const Cookie &c : std::as_const(m_cookies)) {
        if (!c.secure && !c.value.isEmpty() && directory.startsWith(c.path) &&
            domainMatches(host, c.domain))
            going.append(&c);
    }
    std::stable_sort(going.begin(), going.end(), [](const Cookie *a, const Cookie *b) {
        return a->path.size() > b->path.size();
    });

    // A cookie that would push the header past its bound is left out; shorter
    // ones after it still go when they fit.
    QByteArray header;
    for (const Cookie *c : std::as_const(going)) {
        const qsizetype separator = header.isEmpty() ? 0 : 2;
        if (header.size() + separator + c->name.size() + 1 + c->value.size() >
            kMaxCookieHeaderBytes)
            continue;
        if (separator)
            header += "; ";
        header += c->name + '=' + c->value;
    }
    return header;
}

} // namespace orvane::http
